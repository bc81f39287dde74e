// The user of the window tests: finds and waits for windows, of this program
// or of another, reads what they show and acts on them with synthetic mouse
// and keyboard input (SendInput), the way a person at the display would.
// Texts are read with WM_GETTEXT under a time-out, which Wine carries across
// threads and processes (the skinned controls keep their texts in buffers of
// their own, so a window's caption is not enough).
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// Waits until `done` holds, trying every `stepMs`; false after `timeoutMs`.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000, DWORD stepMs = 10);
// Delivers every waiting message of this thread, for at least `ms` milliseconds.
void Pump(DWORD ms = 150);

// Which visible top-level windows to look for.
struct WindowQuery {
    const char* caption = nullptr;       // the exact caption; null: any
    const char* words = nullptr;         // a child's text holds these; null: any
    DWORD process = 0;                   // 0: this program
    DWORD thread = 0;                    // 0: any thread of it
    HWND except = nullptr;               // never this window
    const char* windowClass = "#32770";  // the dialog class unless said otherwise
};
std::vector<HWND> FindWindows(const WindowQuery& query);
// The first window that answers `query`, given `settleMs` for its first
// paint; null after `timeoutMs`.
HWND WaitForWindow(const WindowQuery& query, DWORD timeoutMs = 5000, DWORD settleMs = 100);
// A dialog of this program with this caption.
HWND WaitForDialog(const char* caption, DWORD timeoutMs = 5000);
// Waits until `window` is gone; false after `timeoutMs`.
bool WaitUntilClosed(HWND window, DWORD timeoutMs = 5000);

// Runs `modal` on this thread while `user` acts, on another thread, on the
// dialog captioned `caption` that `modal` opens; `user` must end it. A
// dialog that never appears fails the test.
void RunModal(const char* caption, const std::function<void()>& modal,
              const std::function<void(HWND)>& user);

// A message sent with a time-out; -1 when the window does not answer.
LRESULT Ask(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
std::string TextOf(HWND window);
std::string ItemText(HWND dialog, int id);
// The texts of the children of one window class, in creation order.
std::vector<std::string> TextsOfClass(HWND parent, const char* className);
// The texts of a message box, one line each.
std::string MessageText(HWND box);
bool ItemEnabled(HWND dialog, int id);
bool ItemVisible(HWND dialog, int id);
bool ItemChecked(HWND dialog, int id);  // a standard button's check
// The window that has the keyboard focus in the thread owning `window`.
HWND FocusOf(HWND window);
// The selected range of an edit field: {start, end}.
std::pair<int, int> SelectionOf(HWND edit);

// The user's hands. Coordinates are screen pixels.
void MouseTo(int x, int y);
void MouseButton(bool down, bool right = false);
void ClickAt(int x, int y);
void ClickWindow(HWND window);        // at its centre
void ClickItem(HWND dialog, int id);  // at the centre of the control
// Characters typed into the focused control, as the keyboard's character
// packets: the text does not depend on the display's keyboard layout.
void TypeText(const std::string& text);
void PressKey(WORD vk);
void PressKey(WORD modifier, WORD vk);  // a chord such as Ctrl+A
// Empties the focused field `edit` with End and Backspace, as a user would.
void ClearText(HWND edit);

// A button pressed through the button itself (BM_CLICK), waiting for what it
// does; PostButton does not wait (for buttons that run a modal loop).
void PressButton(HWND dialog, int id);
void PostButton(HWND dialog, int id);
// Replaces a field's whole text as a paste would: the field's limit applies
// and it reports the change (a multi-line field does not for WM_SETTEXT).
void ReplaceText(HWND dialog, int id, const std::string& text);
// Types `name` into a file dialog's file-name field and presses its OK button.
void ChooseFile(HWND fileDialog, const std::string& name);

// Wine draws the frames and captions of this program's windows itself (no
// window manager runs under Xvfb). Must run before the display driver
// starts: call it from a static initialiser.
bool DrawOwnFrames();
