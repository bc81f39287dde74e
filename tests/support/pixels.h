// Pixels read back through GDI: from a window, from the screen, from a
// bitmap or from an off-screen surface the test draws into.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[y * width + x]; }
    // A 24-bit BMP file.
    bool SaveBmp(const std::string& path) const;
};
// Window device contexts read the window's own pixels at once, without
// waiting for the display to show them.
Capture CaptureWindow(HWND window);  // the whole window, frame included
Capture CaptureClient(HWND window);  // the client area
// What the screen shows in `r`.
Capture CaptureScreen(const RECT& r);
// A device bitmap, through GetDIBits (it must not be selected into a DC).
Capture CaptureBitmap(HBITMAP bitmap);

// The window as it shows on the screen once redrawn, written as a 24-bit BMP.
bool SaveWindowBmp(HWND window, const std::string& path);

// An off-screen bitmap of the screen's format, selected into `dc`.
class Surface {
public:
    Surface(int width, int height);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    Capture Grab();
    HDC dc;

private:
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

std::string Hex(COLORREF c);
