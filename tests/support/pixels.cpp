#include "tests/support/pixels.h"

#include <cstdio>

namespace {

// Reads `w` x `h` pixels at (x, y) of a device context.
Capture CaptureDC(HDC dc, int x, int y, int w, int h) {
    Surface copy(w, h);
    BitBlt(copy.dc, 0, 0, w, h, dc, x, y, SRCCOPY);
    return copy.Grab();
}

}  // namespace

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

Capture CaptureScreen(const RECT& r) {
    HDC screen = GetDC(nullptr);
    Capture cap = CaptureDC(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
    ReleaseDC(nullptr, screen);
    return cap;
}

Capture CaptureBitmap(HBITMAP bitmap) {
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
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, bm.bmHeight, raw.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    cap.pixels.resize(raw.size());
    for (size_t i = 0; i < raw.size(); i++)
        cap.pixels[i] = RGB((raw[i] >> 16) & 255, (raw[i] >> 8) & 255, raw[i] & 255);
    return cap;
}

bool SaveWindowBmp(HWND window, const std::string& path) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(200);
    RECT r;
    GetWindowRect(window, &r);
    return CaptureScreen(r).SaveBmp(path);
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
    ih.biHeight = height;  // bottom-up, as BMP files store rows
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = bitsSize;
    bool ok = std::fwrite(&fh, 14, 1, f) == 1 && std::fwrite(&ih, 40, 1, f) == 1;
    std::vector<BYTE> row(stride);
    for (int y = height - 1; y >= 0 && ok; y--) {
        for (int x = 0; x < width; x++) {
            COLORREF c = at(x, y);
            row[x * 3] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
        ok = std::fwrite(row.data(), stride, 1, f) == 1;
    }
    return std::fclose(f) == 0 && ok;
}

Surface::Surface(int width, int height) {
    HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    old_ = SelectObject(dc, bitmap_);
    ReleaseDC(nullptr, screen);
}

Surface::~Surface() {
    SelectObject(dc, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc);
}

Capture Surface::Grab() {
    SelectObject(dc, old_);
    Capture cap = CaptureBitmap(bitmap_);
    SelectObject(dc, bitmap_);
    return cap;
}

std::string Hex(COLORREF c) {
    char s[16];
    std::snprintf(s, sizeof s, "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return s;
}
