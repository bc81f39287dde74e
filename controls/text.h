// Text controls.  MyTextCtl is a single-line label ("1," = outline text,
// "*" = right-aligned); MyMTextCtl is a word-wrapped block that keeps its
// text in its own 300-character buffer ("*" = left-aligned, "~id" = string
// resource).
#pragma once
#include "controls/control_mgr.h"

class MyTextCtl : public MyControlCtl {
public:
    int OnCreate(HWND window, CREATESTRUCTA* create) override;
    void OnPaint(PAINTSTRUCT* ps) override;
    int OnEraseBackground(HDC dc) override;
    int OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    int outline = 0;
    int rightAligned = 0;
    int creating = 1;
};

class MyMTextCtl : public MyControlCtl {
public:
    static constexpr int kBufferSize = 300;  // at most 299 characters are kept

    ~MyMTextCtl() override;
    int OnCreate(HWND window, CREATESTRUCTA* create) override;
    void OnPaint(PAINTSTRUCT* ps) override;
    int OnEraseBackground(HDC dc) override;
    int OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    char* text = nullptr;
    int centred = 1;
    int creating = 1;
};
