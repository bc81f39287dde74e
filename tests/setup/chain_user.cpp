#include "tests/setup/chain_user.h"

#include <cstdlib>

std::string WorkDir() {
    const char* work = std::getenv("CHAIN_WORK");
    std::string path = "Z:";
    for (const char* p = work ? work : "/tmp"; *p; ++p) path += *p == '/' ? '\\' : *p;
    return path;
}
std::string DiskDir() { return WorkDir() + "\\disk"; }
std::string ExpectedDir() { return WorkDir() + "\\expected"; }

SetupRun::SetupRun(const std::string& switches) {
    std::string exe = DiskDir() + "\\setup.exe";
    std::string command = "\"" + exe + "\" " + switches;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       DiskDir().c_str(), &si, &pi)) {
        process = pi.hProcess;
        pid = pi.dwProcessId;
        thread = pi.hThread;
    }
}

SetupRun::~SetupRun() {
    if (!process) return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 99);
    CloseHandle(thread);
    CloseHandle(process);
}

HWND SetupRun::WaitMain(DWORD ms) {
    return WaitForWindow({.process = pid, .windowClass = "OBSetupWClass"}, ms, 0);
}

HWND SetupRun::WaitDialog(const char* caption, DWORD ms, DWORD settle) {
    std::vector<HWND> found;
    WaitUntil(
        [&] {
            found = FindWindows({.caption = caption, .process = pid});
            return !found.empty() || WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        },
        ms);
    if (found.empty()) return nullptr;
    Sleep(settle);
    return found.front();
}

bool SetupRun::Answer(const char* caption, int id, DWORD ms) {
    HWND dialog = WaitDialog(caption, ms);
    if (dialog) ClickItem(dialog, id);
    return dialog != nullptr;
}

HWND SetupRun::ContinueToPlugin() {
    if (!Answer("Welcome!", IDOK) || !Answer("Platform", IDOK)) return nullptr;
    return WaitDialog("Plug-in location...");
}

bool SetupRun::WaitGone(const char* caption, DWORD ms) {
    return WaitUntil([&] { return FindWindows({.caption = caption, .process = pid}).empty(); }, ms);
}

std::vector<std::string> SetupRun::Dialogs() {
    std::vector<std::string> captions;
    for (HWND window : FindWindows({.process = pid})) {
        char caption[128] = "";
        GetWindowTextA(window, caption, sizeof caption);
        captions.push_back(caption);
    }
    return captions;
}

int SetupRun::WaitExit(DWORD ms) {
    if (WaitForSingleObject(process, ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return static_cast<int>(code);
}

std::string WindowsDir() {
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, MAX_PATH);
    return dir;
}

std::string SystemDir() {
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, MAX_PATH);
    return dir;
}
