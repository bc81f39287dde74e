// Placeholders until the editor and the made-filter dialog exist: start
// accepts the stored definition as it stands (the formulas are compiled, the
// slider values kept), as a made filter without a dialog does.
#include "plugin/plugin.h"
#include "plugin_ui/ui.h"

bool RunEditorDialog() {
    CompileChannelFormulas();
    return true;
}

bool RunMadeFilterDialog() {
    if (gDefinition->hasDialog) CompileChannelFormulas();
    return true;
}

void ShowFormulas(HWND) {}
void ReadFormulas(HWND) {}
void ShowSliderValues(HWND) {}
void ReadSliderValues(HWND) {}
void RefreshErrorMarkers(HWND) {}
int TakePreviewSample(HWND) { return 1; }
void DrawPreview(HWND) {}
void CenterOnParent(HWND, int) {}
