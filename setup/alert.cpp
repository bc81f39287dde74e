// The ALERT dialog through which every error reaches the user.
#include <cstdio>

#include "controls/control_class.h"
#include "setup/dlgutil.h"
#include "setup/fittext.h"
#include "setup/resources/setup_ids.h"
#include "setup/state.h"

INT_PTR ShowAlertStr(const char* text) {
    // The pair lets an alert appear before the main window has started the
    // library and after it has stopped it.
    Init_Controls(ghInst);
    INT_PTR result =
        ShowModalDialog(IDD_ALERT, AlertDlgProc, GetFocus(), reinterpret_cast<LPARAM>(text));
    Terminate_Controls(ghInst);
    return result;
}

INT_PTR ShowAlert(UINT id) {
    char text[120];
    if (LoadStringA(ghInst, static_cast<WORD>(id), text, sizeof text) <= 0)
        std::snprintf(text, sizeof text, "Bad error (%d)", static_cast<int>(id));
    return ShowAlertStr(text);
}

INT_PTR CALLBACK AlertDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        // A path in the message cannot be wrapped: it is shortened instead.
        SetItemTextFitted(dialog, IDC_MESSAGE, reinterpret_cast<const char*>(lParam), true);
        CenterDialog(dialog);
        return TRUE;
    case WM_CLOSE:
        // The close box counts as OK.
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        return TRUE;
    case WM_COMMAND:  // OK and Cancel end it, as in every plain dialog
        return GenericDlgProc(dialog, msg, wParam, lParam);
    }
    return FALSE;
}
