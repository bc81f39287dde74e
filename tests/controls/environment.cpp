#include "tests/controls/support.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "controls/controls.h"

std::vector<Command> gCommands;

HINSTANCE TestInstance() { return GetModuleHandleA(nullptr); }

namespace {

// Wine draws the frames and captions of our windows itself (no window
// manager runs under Xvfb); the setting must be in place before the display
// driver starts, hence a static initialiser.
const bool gWineFrames = [] {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER,
                        "Software\\Wine\\AppDefaults\\controls_test.exe\\X11 Driver", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegSetValueExA(key, "Decorated", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    RegCloseKey(key);
    return true;
}();

class ControlsEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(Init_Controls(TestInstance()), 1); }
    void TearDown() override { Terminate_Controls(TestInstance()); }
};
const auto* gEnvironment = ::testing::AddGlobalTestEnvironment(new ControlsEnvironment);

INT_PTR CALLBACK RecordingDlgProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND) {
        gCommands.push_back({wParam, lParam});
        return TRUE;
    }
    return FALSE;
}
}  // namespace

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

HWND OpenDialog(const char* name) {
    HWND dialog = CreateDialogParamA(TestInstance(), name, nullptr, RecordingDlgProc, 0);
    if (!dialog) return nullptr;
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    Pump(300);
    gCommands.clear();
    return dialog;
}

// Reads `w` x `h` pixels at (x, y) of a device context.
static Capture CaptureDC(HDC dc, int x, int y, int w, int h) {
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, w, h, dc, x, y, SRCCOPY);
    SelectObject(mem, old);
    Capture cap = CaptureBitmap(mem, bitmap);
    DeleteObject(bitmap);
    DeleteDC(mem);
    return cap;
}

// Window device contexts read the window's own pixels at once, without
// waiting for the display to show them.
Capture CaptureWindow(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    HDC dc = GetWindowDC(window);
    Capture cap = CaptureDC(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    ReleaseDC(window, dc);
    return cap;
}

Capture CaptureClient(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    HDC dc = GetDC(window);
    Capture cap = CaptureDC(dc, 0, 0, r.right, r.bottom);
    ReleaseDC(window, dc);
    return cap;
}

Capture CaptureBitmap(HDC dc, HBITMAP bitmap) {
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof bm, &bm);
    Capture cap;
    cap.width = bm.bmWidth;
    cap.height = bm.bmHeight;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<DWORD> raw(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    GetDIBits(dc, bitmap, 0, bm.bmHeight, raw.data(), &info, DIB_RGB_COLORS);
    cap.pixels.resize(raw.size());
    for (size_t i = 0; i < raw.size(); i++)
        cap.pixels[i] = RGB((raw[i] >> 16) & 255, (raw[i] >> 8) & 255, raw[i] & 255);
    return cap;
}

bool Capture::SaveBmp(const std::string& path) const {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    int stride = width * 3 + (4 - width * 3 % 4) % 4;
    DWORD bitsSize = static_cast<DWORD>(stride * height);
    BITMAPFILEHEADER fh = {0x4D42, 14 + 40 + bitsSize, 0, 0, 14 + 40};
    BITMAPINFOHEADER ih = {};
    ih.biSize = 40;
    ih.biWidth = width;
    ih.biHeight = height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = bitsSize;
    std::fwrite(&fh, 14, 1, f);
    std::fwrite(&ih, 40, 1, f);
    std::vector<BYTE> row(stride);
    for (int y = height - 1; y >= 0; y--) {
        for (int x = 0; x < width; x++) {
            COLORREF c = at(x, y);
            row[x * 3] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
        std::fwrite(row.data(), stride, 1, f);
    }
    std::fclose(f);
    return true;
}

std::string Hex(COLORREF c) {
    char s[16];
    std::snprintf(s, sizeof s, "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return s;
}
