// Placeholders until the settings files, the filter maker and the About box
// exist. The About box is a plain message box with the definition's texts.
#include <cstdio>
#include "plugin/plugin.h"
#include "plugin_ui/ui.h"

void RunAboutBox() {
    char text[600];
    std::snprintf(text, sizeof text, "%s\n%s\n%s", gDefinition->title, gDefinition->copyright,
                  gDefinition->author);
    HWND owner = nullptr;
    if (gHost && gHost->aboutPlatform) owner = static_cast<HWND>(gHost->aboutPlatform->mainWindow);
    MessageBoxA(owner, text, gDefinition->title, MB_OK | MB_ICONINFORMATION);
}

static void NotYet(HWND dialog) {
    MessageBoxA(dialog, "Settings files and the filter maker are not available yet.",
                gDefinition->title, MB_OK | MB_ICONINFORMATION);
}

void SaveSettings(HWND dialog) { NotYet(dialog); }
void LoadSettings(HWND dialog) { NotYet(dialog); }
bool RunBuildDialog() {
    NotYet(static_cast<HWND>(gState->dialogWindow));
    return false;
}
void MakeFilter() {}
