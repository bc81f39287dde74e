// The About box (template 102): title, copyright (several lines allowed) and
// author of the current definition. Enter or a click anywhere closes it;
// Escape does not.
#include <windows.h>

#include "plugin/plugin.h"
#include "plugin_ui/ui.h"

namespace {

void AboutDlg_OnInitDialog(HWND dialog) {
    SetDlgItemTextA(dialog, 1100, gDefinition->title);
    SetDlgItemTextA(dialog, 1101, gDefinition->copyright);
    SetDlgItemTextA(dialog, 1102, gDefinition->author);
    CenterOnParent(dialog, 3);
}

}  // namespace

extern "C" INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: AboutDlg_OnInitDialog(dialog); return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK) return FALSE;
        EndDialog(dialog, 0);
        return TRUE;
    case WM_LBUTTONDOWN: EndDialog(dialog, 0); return TRUE;
    }
    return FALSE;
}

void RunAboutBox() {
    // The about request carries the host's window in its own field.
    HWND owner = nullptr;
    if (gHost && gHost->aboutPlatform) owner = static_cast<HWND>(gHost->aboutPlatform->mainWindow);
    DialogBoxParamA(reinterpret_cast<HINSTANCE>(gModule), MAKEINTRESOURCEA(102), owner,
                    AboutDlgProc, 0);
}
