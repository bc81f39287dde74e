#include "tests/support/user.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <thread>

namespace {

struct Search {
    const WindowQuery& query;
    DWORD process;
    std::vector<HWND> found;
};

struct Words {
    const char* words;
    bool found = false;
};

BOOL CALLBACK HoldsWords(HWND child, LPARAM param) {
    auto* w = reinterpret_cast<Words*>(param);
    w->found = TextOf(child).find(w->words) != std::string::npos;
    return !w->found;
}

BOOL CALLBACK Collect(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    const WindowQuery& q = s->query;
    DWORD process = 0, thread = GetWindowThreadProcessId(window, &process);
    char text[256] = "";
    GetClassNameA(window, text, sizeof text);
    if (process != s->process || (q.thread && thread != q.thread) || window == q.except ||
        !IsWindowVisible(window) || lstrcmpiA(text, q.windowClass) != 0)
        return TRUE;
    // Asked only of windows of the right class: the caption of a window of
    // this program is a message to its thread, which may be waiting for ours.
    if (q.caption && (GetWindowTextA(window, text, sizeof text), lstrcmpA(text, q.caption) != 0))
        return TRUE;
    Words words{q.words};
    if (q.words &&
        (EnumChildWindows(window, HoldsWords, reinterpret_cast<LPARAM>(&words)), !words.found))
        return TRUE;
    s->found.push_back(window);
    return TRUE;
}

void Send(INPUT in) {
    SendInput(1, &in, sizeof in);
    Sleep(20);
}

void Key(WORD vk, WORD scan, DWORD flags) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = flags;
    Send(in);
}

POINT gHand;  // where the mouse is, as far as this program knows

// Every mouse event carries the position: an event without one may be taken
// at a place the display still remembers from before the last move.
void Mouse(DWORD flags) {
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    // The centre of the pixel, whichever way the normalised scale is read.
    in.mi.dx = LONG((int64_t(2 * gHand.x + 1) * 65536) / (2 * sw));
    in.mi.dy = LONG((int64_t(2 * gHand.y + 1) * 65536) / (2 * sh));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    Send(in);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD stepMs) {
    for (DWORD start = GetTickCount();; Sleep(stepMs)) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
    }
}

void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

std::vector<HWND> FindWindows(const WindowQuery& query) {
    Search search{query, query.process ? query.process : GetCurrentProcessId(), {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(const WindowQuery& query, DWORD timeoutMs, DWORD settleMs) {
    std::vector<HWND> found;
    if (!WaitUntil([&] { return !(found = FindWindows(query)).empty(); }, timeoutMs, 20))
        return nullptr;
    Sleep(settleMs);  // let it finish its initialisation and paint
    return found.front();
}

HWND WaitForDialog(const char* caption, DWORD timeoutMs) {
    return WaitForWindow({.caption = caption}, timeoutMs);
}

bool WaitUntilClosed(HWND window, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(window); }, timeoutMs, 20);
}

void RunModal(const char* caption, const std::function<void()>& modal,
              const std::function<void(HWND)>& user) {
    const DWORD self = GetCurrentThreadId();
    bool seen = false;
    std::thread helper([&] {
        HWND dialog = WaitForWindow({.caption = caption, .thread = self}, 10000);
        seen = dialog != nullptr;
        if (dialog) user(dialog);
    });
    modal();
    helper.join();
    EXPECT_TRUE(seen) << "no dialog \"" << (caption ? caption : "(any)") << "\" appeared";
}

LRESULT Ask(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_NORMAL, 10000, &result)) return -1;
    return static_cast<LRESULT>(result);
}

std::string TextOf(HWND window) {
    // Some skinned controls answer the length of their caption, not of their
    // text: room for more than the length.
    std::vector<char> text(size_t(std::max<LRESULT>(Ask(window, WM_GETTEXTLENGTH), 0)) + 1024);
    Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

std::string ItemText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

std::vector<std::string> TextsOfClass(HWND parent, const char* className) {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = "";
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, className) == 0) texts.push_back(TextOf(child));
    }
    return texts;
}

std::string MessageText(HWND box) {
    std::string text;
    for (const std::string& line : TextsOfClass(box, "Static")) text += line + "\n";
    return text;
}

bool ItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }
bool ItemVisible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != 0; }
bool ItemChecked(HWND dialog, int id) {
    return Ask(GetDlgItem(dialog, id), BM_GETCHECK) == BST_CHECKED;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                              : nullptr;
}

std::pair<int, int> SelectionOf(HWND edit) {
    DWORD start = 0, end = 0;
    Ask(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {int(start), int(end)};
}

void MouseTo(int x, int y) {
    gHand = {x, y};
    Mouse(0);
}

void MouseButton(bool down, bool right) {
    if (right) Mouse(down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP);
    else Mouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
}

void ClickAt(int x, int y) {
    MouseTo(x, y);
    MouseButton(true);
    Sleep(50);
    MouseButton(false);
    Sleep(100);
}

void ClickWindow(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void ClickItem(HWND dialog, int id) { ClickWindow(GetDlgItem(dialog, id)); }

void TypeText(const std::string& text) {
    for (unsigned char c : text) {
        Key(0, c, KEYEVENTF_UNICODE);
        Key(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
    }
    Sleep(100);  // the last character reaches its field
}

void PressKey(WORD vk) {
    Key(vk, 0, 0);
    Key(vk, 0, KEYEVENTF_KEYUP);
}

void PressKey(WORD modifier, WORD vk) {
    Key(modifier, 0, 0);
    PressKey(vk);
    Key(modifier, 0, KEYEVENTF_KEYUP);
}

void ClearText(HWND edit) {
    PressKey(VK_END);
    for (size_t n = TextOf(edit).size(); n > 0; --n) PressKey(VK_BACK);
}

void PressButton(HWND dialog, int id) { Ask(GetDlgItem(dialog, id), BM_CLICK); }
void PostButton(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void ReplaceText(HWND dialog, int id, const std::string& text) {
    HWND field = GetDlgItem(dialog, id);
    Ask(field, EM_SETSEL, 0, -1);
    Ask(field, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void ChooseFile(HWND fileDialog, const std::string& name) {
    // A message answered by the dialog's own thread means its initialisation
    // is over: text set before that may be cleared by it.
    Ask(fileDialog, WM_NULL);
    // Explorer-style dialogs keep the name in combo box 0x47C, the old style
    // in edit 0x480.
    HWND field = GetDlgItem(fileDialog, 0x47C);
    if (!field) field = GetDlgItem(fileDialog, 0x480);
    Ask(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageA(fileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(fileDialog, IDOK)));
}

bool DrawOwnFrames() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    std::string key = std::string("Software\\Wine\\AppDefaults\\") + name + "\\X11 Driver";
    HKEY k;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                        nullptr) != ERROR_SUCCESS)
        return false;
    for (const char* value : {"Decorated", "Managed"})
        RegSetValueExA(k, value, 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    RegCloseKey(k);
    return true;
}
