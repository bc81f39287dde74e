#include "tests/plugin_ui/user_input.h"
#include <cstring>
#include <vector>

namespace {

void Send(INPUT in) {
    SendInput(1, &in, sizeof in);
    Sleep(20);
}

struct BoxSearch {
    const char* words;
    HWND found;
};

BOOL CALLBACK SearchBoxText(HWND child, LPARAM l) {
    auto* s = reinterpret_cast<BoxSearch*>(l);
    if (TextOf(child).find(s->words) != std::string::npos) s->found = GetParent(child);
    return TRUE;
}

BOOL CALLBACK SearchBox(HWND w, LPARAM l) {
    char cls[32];
    GetClassNameA(w, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(w)) return TRUE;
    EnumChildWindows(w, SearchBoxText, l);
    return reinterpret_cast<BoxSearch*>(l)->found ? FALSE : TRUE;
}

}  // namespace

void MouseTo(int x, int y) {
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    // The centre of the pixel, whichever way the normalised scale is read.
    in.mi.dx = LONG((int64_t(2 * x + 1) * 65536) / (2 * sw));
    in.mi.dy = LONG((int64_t(2 * y + 1) * 65536) / (2 * sh));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    Send(in);
}

void MouseButton(bool down, bool right) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    if (right) in.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    else in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    Send(in);
}

void ClickAt(int x, int y) {
    MouseTo(x, y);
    MouseButton(true);
    Sleep(50);
    MouseButton(false);
    Sleep(100);
}

void ClickItem(HWND dialog, int id) {
    RECT r;
    GetWindowRect(GetDlgItem(dialog, id), &r);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void PressKey(WORD vk) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    Send(in);
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    Send(in);
}

void PressKey(WORD modifier, WORD vk) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = modifier;
    Send(in);
    PressKey(vk);
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    Send(in);
}

// Characters arrive as the keyboard's packets, so that the text does not
// depend on the keyboard layout of the display.
void TypeText(const char* text) {
    for (const char* c = text; *c; ++c) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wScan = WORD(static_cast<unsigned char>(*c));
        in.ki.dwFlags = KEYEVENTF_UNICODE;
        Send(in);
        in.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        Send(in);
    }
}

HWND FocusOf(DWORD thread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

std::string TextOf(HWND window) {
    std::vector<char> text(size_t(GetWindowTextLengthA(window)) + 2);
    GetWindowTextA(window, text.data(), int(text.size()));
    return text.data();
}

std::string ItemText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

bool ItemVisible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != 0; }

void Selection(HWND edit, int* start, int* end) {
    DWORD s = 0, e = 0;
    SendMessageA(edit, EM_GETSEL, WPARAM(&s), LPARAM(&e));
    *start = int(s);
    *end = int(e);
}

HWND WaitForMessageBox(DWORD thread, const char* words) {
    BoxSearch search = {words, nullptr};
    for (int i = 0; i < 300 && !search.found; ++i) {
        EnumThreadWindows(thread, SearchBox, LPARAM(&search));
        if (!search.found) Sleep(20);
    }
    return search.found;
}
