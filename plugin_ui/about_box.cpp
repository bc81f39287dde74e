// The About box (IDD_ABOUT): title, copyright (several lines allowed) and
// author of the current definition. Enter or a click anywhere closes it;
// Escape does not.
#include <windows.h>

#include "plugin_ui/dialogs.h"
#include "plugin_ui/ui.h"

namespace {

void AboutDlg_OnInitDialog(HWND dialog) {
    const FilterDefinition& d = *gDefinition;
    SetSlotText(GetDlgItem(dialog, IDC_ABOUT_TITLE), d.title, int(sizeof d.title));
    SetSlotText(GetDlgItem(dialog, IDC_ABOUT_COPYRIGHT), d.copyright, int(sizeof d.copyright));
    SetSlotText(GetDlgItem(dialog, IDC_ABOUT_AUTHOR), d.author, int(sizeof d.author));
    CenterOnParent(dialog);
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
    DialogBoxParamA(reinterpret_cast<HINSTANCE>(gModule), MAKEINTRESOURCEA(IDD_ABOUT), owner,
                    AboutDlgProc, 0);
}
