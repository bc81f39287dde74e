#include "tests/setup/chain_user.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

void Sleep10() { Sleep(10); }

struct Search {
    DWORD pid;
    const char* className;  // or null
    const char* caption;    // or null
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window)) return TRUE;
    char name[128] = "";
    if (search->className) {
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpiA(name, search->className) != 0) return TRUE;
    }
    if (search->caption) {
        GetWindowTextA(window, name, sizeof name);
        if (lstrcmpA(name, search->caption) != 0) return TRUE;
    }
    search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopWindows(DWORD pid, const char* className, const char* caption) {
    Search search{pid, className, caption, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

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
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep10()) {
        auto found = TopWindows(pid, "OBSetupWClass", nullptr);
        if (!found.empty()) return found.front();
    }
    return nullptr;
}

HWND SetupRun::WaitDialog(const char* caption, DWORD ms, DWORD settle) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep10()) {
        auto found = TopWindows(pid, "#32770", caption);
        if (!found.empty()) {
            Sleep(settle);
            return found.front();
        }
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

bool SetupRun::WaitGone(const char* caption, DWORD ms) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep10())
        if (TopWindows(pid, "#32770", caption).empty()) return true;
    return false;
}

std::vector<std::string> SetupRun::Dialogs() {
    std::vector<std::string> captions;
    for (HWND window : TopWindows(pid, "#32770", nullptr)) {
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

static void MouseAt(int x, int y, DWORD flags) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
    SendInput(1, &in, sizeof in);
    Sleep(30);
}

void Click(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    MouseAt(x, y, 0);
    MouseAt(x, y, MOUSEEVENTF_LEFTDOWN);
    MouseAt(x, y, MOUSEEVENTF_LEFTUP);
}

void Key(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
    Sleep(30);
}

void Type(const char* text) {
    for (const char* p = text; *p; ++p) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wScan = in[1].ki.wScan = static_cast<unsigned char>(*p);
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof in[0]);
        Sleep(20);
    }
    Sleep(100);
}

LRESULT Ask(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_NORMAL, 10000, &result)) return -1;
    return static_cast<LRESULT>(result);
}

std::string TextOf(HWND window) {
    char text[512] = "";
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_NORMAL, 10000, &copied);
    return text;
}

std::string ItemText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

std::vector<std::string> TextsOfClass(HWND dialog, const char* className) {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = "";
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, className) == 0) texts.push_back(TextOf(child));
    }
    return texts;
}

bool ReadFile(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    *bytes = all.str();
    return true;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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

bool Screenshot(const char* name, HWND window, int margin, DWORD settle) {
    char caption[128] = "";
    if (window) GetWindowTextA(window, caption, sizeof caption);
    Sleep(settle);  // paints and animations settle
    std::string base = WorkDir() + "\\" + name;
    std::string text = std::to_string(margin) + " " + caption + "\n";
    HANDLE file =
        CreateFileA((base + ".tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written;
    WriteFile(file, text.data(), text.size(), &written, nullptr);
    CloseHandle(file);
    // Renamed when complete, so the script never reads half a request.
    if (!MoveFileA((base + ".tmp").c_str(), (base + ".req").c_str())) return false;
    for (int i = 0; i < 300; ++i, Sleep(100))
        if (FileExists(base + ".done")) return true;
    return false;
}
