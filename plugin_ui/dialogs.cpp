// Start's and about's hand-overs to the dialogs.
//
// The editor, the made-filter dialog and the About box are not built yet.
// Until they are, start accepts the stored definition as it stands (the
// formulas are compiled, the slider values kept), as a made filter without a
// dialog does, and the About box is a plain message box with the
// definition's texts.
#include <windows.h>
#include <cstdio>
#include "plugin/plugin.h"

bool RunEditorDialog() {
    CompileChannelFormulas();
    return true;
}

bool RunMadeFilterDialog() {
    if (gDefinition->hasDialog) CompileChannelFormulas();
    return true;
}

void RunAboutBox() {
    char text[600];
    std::snprintf(text, sizeof text, "%s\n%s\n%s", gDefinition->title, gDefinition->copyright,
                  gDefinition->author);
    HWND owner = nullptr;
    if (gHost && gHost->aboutPlatform) owner = static_cast<HWND>(gHost->aboutPlatform->mainWindow);
    MessageBoxA(owner, text, gDefinition->title, MB_OK | MB_ICONINFORMATION);
}
