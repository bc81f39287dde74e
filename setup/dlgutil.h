// The installer's dialog utilities and its alert: every dialog of the chain
// runs through these, and the copy's hooks show its errors with ShowAlertStr
// and let messages through between files with MyYield.
#pragma once
#include <windows.h>

// Moves `window`, keeping its size, to the middle of the screen (integer
// halves, rounded toward zero); nothing is repainted by the move.
void CenterDialog(HWND window);

// Runs the template `name` of ghInst modally and returns its result.
INT_PTR ShowModalDialog(const char* name, DLGPROC proc, HWND owner, LPARAM param);

// 1 if `window` is a live dialog and the dialog manager consumed `message`
// for it, else 0 (also for a null or destroyed window).
int ModelessDlgMessage(HWND window, MSG* message);

// Translates and dispatches every waiting message, then returns at once.
// Messages for the Installing dialog (ghStatus) go through the dialog
// manager first, so its Cancel answers the keyboard too.
void MyYield();

// Dialogs with only OK/Continue (1) and Cancel/Exit (2): centred, the focus
// on control 1, ended with the id of the button pressed.
INT_PTR CALLBACK GenericDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// The ALERT dialog with `text`, owned by the window that has the focus. It
// starts and stops the control library around itself, so it works whether
// the library runs or not. Returns the dialog's result (1 for OK or close).
INT_PTR ShowAlertStr(const char* text);

// ShowAlertStr with string `id`, or "Bad error (<id>)" when the string table
// has no text for it.
INT_PTR ShowAlert(UINT id);

INT_PTR CALLBACK AlertDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
