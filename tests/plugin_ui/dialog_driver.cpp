#include "tests/plugin_ui/dialog_driver.h"

#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace {

struct Search {
    const char* caption;
    HWND except;
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[64] = "", text[256] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (pid != GetCurrentProcessId() || window == s->except || !IsWindowVisible(window) ||
        std::string(cls) != "#32770")
        return TRUE;
    // Asked only of dialogs: the text of a window of this process is a message
    // to its thread, which may be the test's own, waiting for this one.
    GetWindowTextA(window, text, sizeof text);
    if (!s->caption || std::string(text) == s->caption) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
    char cls[32] = "", text[512] = "";
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0)
        *reinterpret_cast<std::string*>(param) += std::string(text) + "\n";
    return TRUE;
}

}  // namespace

void RunModal(const std::function<void()>& modal, const std::function<void()>& driver) {
    std::thread t(driver);
    modal();
    t.join();
}

HWND WaitForDialog(const char* caption, DWORD timeoutMs, HWND except) {
    DWORD start = GetTickCount();
    do {
        Search s{caption, except};
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
        if (s.found) {
            Sleep(100);  // let it finish its initialisation and paint
            return s.found;
        }
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

bool WaitUntilClosed(HWND window, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

std::string ItemText(HWND dialog, int id) {
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string MessageText(HWND box) {
    std::string text;
    EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)); }
bool Checked(HWND dialog, int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int FocusedId(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus)
        return -1;
    return GetDlgCtrlID(info.hwndFocus);
}

void ChooseFile(HWND fileDialog, const std::string& name) {
    // Explorer-style dialogs keep the name in combo box 0x47C, the old style
    // in edit 0x480.
    // A message answered by the dialog's own thread means its initialisation
    // is over: text set before that may be cleared by it.
    DWORD_PTR answer;
    SendMessageTimeoutA(fileDialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
    HWND field = GetDlgItem(fileDialog, 0x47C);
    if (!field) field = GetDlgItem(fileDialog, 0x480);
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageA(fileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(fileDialog, IDOK)));
}

bool SaveWindowBmp(HWND window, const std::string& path) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(200);
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(dc, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> pixels(size_t(stride) * h);
    bool ok = GetDIBits(dc, bitmap, 0, h, pixels.data(), &info, DIB_RGB_COLORS) == h;
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    if (!ok) return false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + DWORD(pixels.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(reinterpret_cast<const char*>(pixels.data()), std::streamsize(pixels.size()));
    return bool(out);
}

std::string FileBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f << bytes;
}
