// Centring, modal and modeless dialog plumbing, the message pump of the copy
// loop and the generic OK/Cancel dialog procedure.
#include "setup/dlgutil.h"

#include "setup/state.h"

void CenterDialog(HWND window) {
    RECT r;
    if (!GetWindowRect(window, &r)) return;
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

INT_PTR ShowModalDialog(const char* name, DLGPROC proc, HWND owner, LPARAM param) {
    return DialogBoxParamA(ghInst, name, owner, proc, param);
}

int ModelessDlgMessage(HWND window, MSG* message) {
    if (!window || !IsWindow(window)) return 0;
    return IsDialogMessageA(window, message) ? 1 : 0;
}

void MyYield() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to end: the main loop must still see it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        // The Installing dialog's keys (Esc for Cancel, Tab) need the
        // dialog manager, as in the main loop.
        if (ModelessDlgMessage(ghStatus, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

INT_PTR CALLBACK GenericDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        CenterDialog(dialog);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    case WM_COMMAND:
        if (wParam == IDOK || wParam == IDCANCEL) {
            EndDialog(dialog, wParam);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
