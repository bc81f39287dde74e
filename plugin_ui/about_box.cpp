// The About box (template 102): title, copyright (several lines allowed) and
// author of the current definition. Enter or a click anywhere closes it;
// Escape does not.
#include <windows.h>

#include "plugin/plugin.h"
#include "plugin_ui/dialog_ids.h"
#include "plugin_ui/ui.h"

namespace {

void AboutDlg_OnInitDialog(HWND dialog) {
    const FilterDefinition& d = *gDefinition;
    SetSlotText(GetDlgItem(dialog, 1100), d.title, int(sizeof d.title));
    SetSlotText(GetDlgItem(dialog, 1101), d.copyright, int(sizeof d.copyright));
    SetSlotText(GetDlgItem(dialog, 1102), d.author, int(sizeof d.author));
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
