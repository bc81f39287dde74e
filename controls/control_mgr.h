// The control manager and the base of every skinned control.
//
// A window of one of our registered classes is bound to a control object:
// MyControlWndProc asks ControlMgr for an object at WM_CREATE (the registry of
// allocator functions is searched by window class name), keeps the pointer in
// the window's 4 extra bytes and destroys the object at WM_NCDESTROY.  The
// manager also owns the pens, brush and font that all controls share.
#pragma once
#include <windows.h>

class MyControlCtl;

// Returns a new control object when `className` is its own class name
// (compared without regard to case), otherwise null.
using ControlAllocator = MyControlCtl* (*)(const char* className);

class MyControlMgr {
public:
    MyControlMgr() = default;
    ~MyControlMgr();
    MyControlMgr(const MyControlMgr&) = delete;
    MyControlMgr& operator=(const MyControlMgr&) = delete;

    // Shared GDI objects, created on first request; null if creation failed.
    HPEN GetLightGreyPen();
    HPEN GetDarkGreyPen();
    HPEN GetClientPen();
    HBRUSH GetClientBrush();
    HFONT GetFont();
    int FontHeight() const { return fontHeight; }

    int AddAllocator(ControlAllocator allocator);
    int DelAllocator(ControlAllocator allocator);
    MyControlCtl* Allocate(HWND window);

    static MyControlCtl* GetWindowObject(HWND window);
    static void SetWindowObject(HWND window, MyControlCtl* object);

    int SlotCount() const { return slotCount; }
    ControlAllocator Slot(int i) const {
        return (i >= 0 && i < slotCount) ? allocators[i] : nullptr;
    }

private:
    ControlAllocator* allocators = nullptr;  // grows by one slot; empty slots hold null
    int slotCount = 0;
    int fontHeight = 10;
    HPEN lightGreyPen = nullptr;
    HPEN darkGreyPen = nullptr;
    HPEN clientPen = nullptr;
    HBRUSH clientBrush = nullptr;
    HFONT font = nullptr;
};

extern MyControlMgr* ControlMgr;

class MyControlCtl {
public:
    MyControlCtl() = default;
    MyControlCtl(const MyControlCtl&) = delete;
    MyControlCtl& operator=(const MyControlCtl&) = delete;

    virtual int InMe(POINT pt);
    virtual void Repaint();
    virtual int GetTextWidth(HDC dc, const char* text, int length);
    virtual void Ctl3dBox(HDC dc, RECT r, HBRUSH fill);
    virtual ~MyControlCtl() = default;
    virtual int OnCreate(HWND window, CREATESTRUCTA* create);
    virtual void OnPaint(PAINTSTRUCT* ps) = 0;
    virtual int OnEraseBackground(HDC dc);
    virtual void OnEnable(int flag);
    virtual void OnFocus(int value);
    virtual void OnLButtonDown(UINT keys, POINT pt);
    virtual void OnLButtonUp(UINT keys, POINT pt);
    virtual void OnLButtonDblClk(UINT keys, POINT pt);
    virtual void OnRButtonDown(UINT keys, POINT pt);
    virtual void OnRButtonUp(UINT keys, POINT pt);
    virtual void OnMouseMove(UINT keys, POINT pt);
    // Returns nonzero when the message is handled; `*result` is then the
    // window procedure's answer and no default processing happens.
    virtual int OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Copies `text` up to `delim` (at most fieldSize - 2 characters) into
    // `field` and returns the text just past the delimiter, or its end.
    static const char* pickOff(const char* text, char delim, char* field, int fieldSize);
    // Window text "flag,label": keeps the label as the window's text and
    // returns whether the flag asks for outlined lettering. A text without a
    // comma is left alone and yields `outline`.
    static bool TakeOutlineFlag(HWND window, bool outline);
    void SendNotify(int code, int value);
    static void OutlineText(HDC dc, int x, int y, const char* text, COLORREF outline,
                            COLORREF color);
    static void KillIcon(HICON& icon);
    template <class H>
    static void KillObject(H& object) {
        if (object) {
            DeleteObject(object);
            object = nullptr;
        }
    }

    HWND hwnd = nullptr;
    int enabled = 0;
    int focus = 0;
};

LRESULT CALLBACK MyControlWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// Resource loading shared by all controls.
using BitmapLoader = HBITMAP (*)(HINSTANCE instance, const char* name);
HBITMAP SafeLoadBitmap(HINSTANCE instance, const char* name);
HBITMAP LoadBitmapRW(const char* name);
int SafeLoadString(HINSTANCE instance, UINT id, char* buffer, int size);
