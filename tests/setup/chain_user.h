// The installer's user, played from another process: starts setup.exe from
// the test's disk folder, waits for its windows, clicks and types through
// SendInput and reads the controls back with window messages (which Wine
// carries across processes).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The scenario's folder (CHAIN_WORK, a Unix path) as a Windows path, and its
// parts: disk\ (setup.exe and the SZDD files) and expected\ (the same files
// expanded by an independent expander).
std::string WorkDir();
std::string DiskDir();
std::string ExpectedDir();

class SetupRun {
public:
    // Starts disk\setup.exe with `switches` as its command line.
    explicit SetupRun(const std::string& switches);
    ~SetupRun();
    SetupRun(const SetupRun&) = delete;
    SetupRun& operator=(const SetupRun&) = delete;

    // The visible top-level window of class "OBSetupWClass"; null on timeout.
    HWND WaitMain(DWORD ms = 20000);
    // A visible dialog of the program with this caption, given `settle` ms
    // for its first paint; null on timeout.
    HWND WaitDialog(const char* caption, DWORD ms = 20000, DWORD settle = 200);
    // True once no window with this caption is left.
    bool WaitGone(const char* caption, DWORD ms = 20000);
    // The captions of the program's visible dialogs.
    std::vector<std::string> Dialogs();
    // The exit code, or -1 if the program still runs after `ms`.
    int WaitExit(DWORD ms = 20000);

    // Freezes and thaws the program's one thread (the screen keeps what it
    // last drew).
    void Suspend() { SuspendThread(thread); }
    void Resume() { ResumeThread(thread); }

    DWORD pid = 0;
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
};

// A left click in the middle of `window`, through SendInput.
void Click(HWND window);
// Types `text` into the focused control (characters as keyboard input).
void Type(const char* text);
// Presses and releases one key.
void Key(WORD vk);

// WM_GETTEXT sent to the window (the skinned text blocks keep their text
// in a buffer of their own, so the window's caption is not enough).
std::string TextOf(HWND window);
std::string ItemText(HWND dialog, int id);
// The texts of all children of one window class, in creation order.
std::vector<std::string> TextsOfClass(HWND dialog, const char* className);
// A message sent with a time-out; -1 if the program does not answer.
LRESULT Ask(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

// Whole-file helpers.
bool ReadFile(const std::string& path, std::string* bytes);
bool FileExists(const std::string& path);
std::string WindowsDir();
std::string SystemDir();

// Asks chain_run.sh for the picture docs/screenshots/setup-<name>.png of the
// window with `window`'s caption and a margin around it (the whole screen
// for null) and waits for it.
bool Screenshot(const char* name, HWND window, int margin = 0, DWORD settle = 300);
