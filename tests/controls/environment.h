// Helpers for driving skinned controls in real windows under Wine.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/controls/controls_test_ids.h"

// The library is started once for the whole program (see support.cpp).
HINSTANCE TestInstance();

// Delivers every waiting message, for at least `ms` milliseconds.
void Pump(DWORD ms = 150);

// WM_COMMAND messages received by dialogs made with OpenDialog.
struct Command {
    WPARAM wParam;
    LPARAM lParam;
};
extern std::vector<Command> gCommands;

// A modeless dialog from the test's templates, shown and painted.
HWND OpenDialog(const char* name);

// Pixels read back through GDI.
struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[y * width + x]; }
    bool SaveBmp(const std::string& path) const;
};
Capture CaptureWindow(HWND window);             // the whole window, frame included
Capture CaptureClient(HWND window);             // the client area
Capture CaptureBitmap(HDC dc, HBITMAP bitmap);  // a device bitmap, through GetDIBits

std::string Hex(COLORREF c);
