// The sunken frame panel and the progress graph.
#pragma once
#include "controls/control_mgr.h"

class MyFrameCtl : public MyControlCtl {
public:
    void OnPaint(PAINTSTRUCT* ps) override;
};

// WM_USER: range (wParam = repaint, lParam = minimum | maximum << 16,
// unsigned); WM_USER+1: position (wParam = repaint, lParam = value, clamped);
// WM_USER+2: returns the position.
class MyGraphCtl : public MyControlCtl {
public:
    void OnPaint(PAINTSTRUCT* ps) override;
    int OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    int PosToScreen();
    int Percent();

    int position = 50;
    int maximum = 100;
    int minimum = 0;
};
