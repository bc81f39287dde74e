// The installer run from another process: setup.exe started from the test's
// disk folder, and its windows waited for (tests/support/user.h plays the
// user on them).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/user.h"

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
    // Waits for the dialog with this caption and clicks its button `id`;
    // false when it never came.
    bool Answer(const char* caption, int id, DWORD ms = 20000);
    // Walks Welcome and Platform with Continue: the Plug-in location dialog,
    // or null.
    HWND ContinueToPlugin();
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

std::string WindowsDir();
std::string SystemDir();
