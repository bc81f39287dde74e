// The animated check box: a sunken box with the "CheckBox" sprite (six 30x22
// frames: 0 unchecked, 1-4 the checking animation, 5 checked) and a label.
// A click toggles it and notifies the parent (WM_COMMAND, code 0, lParam 0);
// its messages set and read the state without a notification.
#pragma once
#include "controls/control_mgr.h"
#include "controls/sprite.h"

// Messages (WM_USER = 0x0400).
enum CheckBoxMessage : UINT {
    CheckBoxSetState = WM_USER,      // wParam 0/1, not animated; returns the previous state
    CheckBoxGetState = WM_USER + 1,  // returns the state
};

class MyCheckBoxCtl : public MyControlCtl {
public:
    static constexpr int kFrames = 6;
    static constexpr DWORD kFrameDelay = 90;

    ~MyCheckBoxCtl() override;
    int OnCreate(HWND window, CREATESTRUCTA* create) override;
    void OnPaint(PAINTSTRUCT* ps) override;
    void OnLButtonDown(UINT keys, POINT pt) override;
    int OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void SetState(int value, int notify, int animate);

    Sprite sprite;
    int checked = 0;
    int frame = 0;
    int animating = 0;
    int outline = 0;
};
