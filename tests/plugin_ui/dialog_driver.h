// Driving the plug-in's modal dialogs from a second thread, as a user would:
// the test thread runs the modal call, the driver thread finds the windows
// it opens, reads them and presses their buttons.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// Runs `modal` on this thread while `driver` runs on another; returns when
// both are done.
void RunModal(const std::function<void()>& modal, const std::function<void()>& driver);

// The first visible dialog window of this process whose caption is
// `caption` (any caption when null) and that is not `except`; null after
// `timeoutMs`.
HWND WaitForDialog(const char* caption, DWORD timeoutMs = 5000, HWND except = nullptr);
// Waits until `window` is gone; false after `timeoutMs`.
bool WaitUntilClosed(HWND window, DWORD timeoutMs = 5000);

std::string ItemText(HWND dialog, int id);
// The texts of all static controls of a message box, joined.
std::string MessageText(HWND box);
// A button click, through the button itself (BM_CLICK).
void Click(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
bool Checked(HWND dialog, int id);
// The control that has the keyboard focus in the thread that owns `window`.
int FocusedId(HWND window);

// Types `name` into a file dialog's file-name field and presses its OK
// button.
void ChooseFile(HWND fileDialog, const std::string& name);

// The window as it shows on the screen, written as a 24-bit BMP.
bool SaveWindowBmp(HWND window, const std::string& path);

// A whole file as bytes ("" when it cannot be read), and a file written anew
// with exactly these bytes.
std::string FileBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
