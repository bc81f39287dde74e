// Picture buttons.  MyButtonCtl draws a two-frame bitmap (normal, pressed);
// MyShadowButtonCtl draws one image over a cast shadow and sinks into the
// shadow when pressed.  Both send WM_COMMAND (id, code 0, own window) to the
// parent on a completed click.
#pragma once
#include "controls/control_mgr.h"
#include "controls/sprite.h"

class MyButtonCtl : public MyControlCtl {
public:
    // State bits: 1 held by BM_SETSTATE (or by Space, which also sets 16),
    // 4 pressed with the mouse captured, 8 the pointer outside meanwhile.
    enum : int { kHighlighted = 1, kCaptured = 4, kOutside = 8, kKeyPressed = 16 };
    static constexpr LRESULT kDlgCode = DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    static_assert(kDlgCode == 0x2020);

    ~MyButtonCtl() override;
    int OnCreate(HWND window, CREATESTRUCTA* create) override;
    void OnPaint(PAINTSTRUCT* ps) override;
    void OnLButtonDown(UINT keys, POINT pt) override;
    void OnLButtonUp(UINT keys, POINT pt) override;
    void OnLButtonDblClk(UINT keys, POINT pt) override;
    void OnMouseMove(UINT keys, POINT pt) override;
    int OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    virtual void SetState(int bits, int on);
    void OnCaptureChanged(HWND newCapture);
    void OnKey(UINT msg, WPARAM key, LPARAM flags);

    int GetState(int bits) const { return (state & bits) == bits; }
    int DrawnPressed() const {
        return (state & (kHighlighted | kCaptured)) != 0 && (state & kOutside) == 0;
    }
    void ButtonPressed();

    Sprite* sprite = nullptr;
    int state = 0;
};

class MyShadowButtonCtl : public MyButtonCtl {
public:
    static constexpr int kShadowDepth = 8;

    ~MyShadowButtonCtl() override;
    int OnCreate(HWND window, CREATESTRUCTA* create) override;
    void OnPaint(PAINTSTRUCT* ps) override;
    void SetState(int bits, int on) override;
    void AnimateIt(int press);
    static void Wait(DWORD ms);

    ShadowSprite* shadow = nullptr;
    int depth = kShadowDepth;
    int animating = 0;
};
