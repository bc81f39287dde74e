// The sunken frame panel and the progress graph.
#pragma once
#include "controls/control_mgr.h"

class MyFrameCtl : public MyControlCtl {
public:
    void OnPaint(PAINTSTRUCT* ps) override;
};

// Messages of the progress graph (WM_USER = 0x0400); each answers 1 unless
// it returns a value.
enum GraphMessage : UINT {
    GraphSetRange = WM_USER,    // wParam repaint; lParam low 16 minimum, high 16 maximum (unsigned)
    GraphSetPos = WM_USER + 1,  // wParam repaint; lParam position, clamped to the range
    GraphGetPos = WM_USER + 2,  // returns the position
};

// The progress graph: a sunken bar filled up to the position, with the
// percentage written across it inverted.
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
