#include "controls/button.h"

#include <new>

#include "controls/control_class.h"
#include "controls/dibtex.h"
#include "controls/texdlg.h"

static const COLORREF kMagenta = RGB(255, 0, 255);

MyControlCtl* NewMyButton(const char* className) {
    return lstrcmpiA(className, OBSIDIA_BUTTON_CLASS) == 0 ? new (std::nothrow) MyButtonCtl
                                                           : nullptr;
}

MyControlCtl* NewMyShadowButton(const char* className) {
    return lstrcmpiA(className, OBSIDIA_SHADBUTT_CLASS) == 0 ? new (std::nothrow) MyShadowButtonCtl
                                                             : nullptr;
}

// The window's rectangle in its parent's client coordinates.
static RECT RectInParent(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

MyButtonCtl::~MyButtonCtl() { delete sprite; }

int MyButtonCtl::OnCreate(HWND window, CREATESTRUCTA* create) {
    MyControlCtl::OnCreate(window, create);
    sprite = new (std::nothrow) Sprite;
    if (!sprite) return 0;
    char name[32];
    if (GetWindowTextA(window, name, sizeof name) <= 0) return 0;
    if (!sprite->Load(ResourceInstanceOf(MyButton), name, nullptr, kMagenta, 2, SafeLoadBitmap))
        return 0;
    RECT r = RectInParent(window);
    int frameWidth = sprite->bm.bmWidth;
    int x = r.left + (r.right - r.left - frameWidth) / 2;
    SetWindowPos(window, nullptr, x, r.top, frameWidth, sprite->bm.bmHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    return 1;
}

void MyButtonCtl::OnPaint(PAINTSTRUCT* ps) {
    if (sprite && sprite->image) sprite->Animate(ps->hdc, 0, 0, DrawnPressed() ? 1 : 0);
}

void MyButtonCtl::SetState(int bits, int on) {
    if (on) state |= bits;
    else state &= ~bits;
    Repaint();
}

void MyButtonCtl::ButtonPressed() {
    state &= ~(kHighlighted | kCaptured | kOutside | kKeyPressed);
    Repaint();
    SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), 0),
                 reinterpret_cast<LPARAM>(hwnd));
}

void MyButtonCtl::OnLButtonDown(UINT, POINT pt) {
    if (!enabled || !InMe(pt) || (state & kHighlighted)) return;
    if (GetFocus() != hwnd) SetFocus(hwnd);
    SetState(kCaptured, 1);
    SetCapture(hwnd);
}

void MyButtonCtl::OnLButtonDblClk(UINT keys, POINT pt) { OnLButtonDown(keys, pt); }

// Only a change of side is drawn: the shadow button animates each crossing.
void MyButtonCtl::OnMouseMove(UINT, POINT pt) {
    if (!enabled || !(state & kCaptured)) return;
    int outside = !InMe(pt);
    if (outside != ((state & kOutside) != 0)) SetState(kOutside, outside);
}

void MyButtonCtl::OnLButtonUp(UINT, POINT) {
    if (!enabled || !(state & kCaptured)) return;
    int outside = state & kOutside;
    // Our own release is no lost click: the capture-changed message it
    // sends finds the press already over.
    state &= ~kCaptured;
    ReleaseCapture();
    if (outside) SetState(kOutside, 0);
    else ButtonPressed();
}

// Another window took the mouse in the middle of a click: the press is over,
// without a command.
void MyButtonCtl::OnCaptureChanged(HWND newCapture) {
    if ((state & kCaptured) && newCapture != hwnd) SetState(kCaptured | kOutside, 0);
}

// Space presses the focused button and releasing it clicks, as with a
// standard push button; the dialog manager leaves that key to the control.
void MyButtonCtl::OnKey(UINT msg, WPARAM key, LPARAM flags) {
    if (key != VK_SPACE || !enabled) return;
    bool repeat = (flags & (1 << 30)) != 0;
    if (msg == WM_KEYDOWN && !repeat && !(state & (kKeyPressed | kCaptured))) {
        state |= kKeyPressed;
        SetState(kHighlighted, 1);
    } else if (msg == WM_KEYUP && (state & kKeyPressed)) {
        state &= ~kKeyPressed;
        ButtonPressed();
    }
}

int MyButtonCtl::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (msg) {
    case WM_GETDLGCODE: *result = kDlgCode; return 1;
    case BM_GETSTATE: *result = (state & kHighlighted) ? 1 : 0; return 1;
    case BM_SETSTATE: SetState(kHighlighted, wParam != 0); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(reinterpret_cast<HWND>(lParam)); return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: OnKey(msg, wParam, lParam); return 0;
    case WM_KILLFOCUS:
        // Space held while the focus moves away: the press is dropped.
        if (state & kKeyPressed) {
            state &= ~kKeyPressed;
            SetState(kHighlighted, 0);
        }
        return 0;
    }
    return 0;
}

MyShadowButtonCtl::~MyShadowButtonCtl() { delete shadow; }

int MyShadowButtonCtl::OnCreate(HWND window, CREATESTRUCTA* create) {
    MyControlCtl::OnCreate(window, create);
    shadow = new (std::nothrow) ShadowSprite;
    if (!shadow) return 0;
    char name[32];
    if (GetWindowTextA(window, name, sizeof name) <= 0) return 0;
    if (!shadow->Load(ResourceInstanceOf(MyShadowButton), name, kMagenta, kShadowDepth,
                      SafeLoadBitmap))
        return 0;
    RECT r = RectInParent(window);
    int w = shadow->bm.bmWidth, h = shadow->bm.bmHeight;
    int x = r.left + (r.right - r.left + kShadowDepth - w) / 2;
    SetWindowPos(window, nullptr, x, r.top, w + kShadowDepth, h + kShadowDepth,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    HWND parent = GetParent(window);
    if (DlgTexture(parent)) {
        POINT offset;
        DIBTex::ControlOffset(window, &offset);
        shadow->ShadowTexture(DlgTexture, parent, offset.x, offset.y);
    }
    return 1;
}

void MyShadowButtonCtl::OnPaint(PAINTSTRUCT* ps) {
    if (!shadow || !shadow->image) return;
    if (!animating) depth = DrawnPressed() ? 2 : kShadowDepth;
    shadow->Animate(ps->hdc, kShadowDepth - depth, kShadowDepth - depth, depth);
}

void MyShadowButtonCtl::SetState(int bits, int on) {
    int before = DrawnPressed();
    if (on) state |= bits;
    else state &= ~bits;
    int after = DrawnPressed();
    if (!before && after) AnimateIt(1);
    else if (before && !after) AnimateIt(0);
    else Repaint();
}

void MyShadowButtonCtl::AnimateIt(int press) {
    static const int kPress[] = {8, 6, 4, 2};
    static const int kRelease[] = {2, 5, 8};
    const int* steps = press ? kPress : kRelease;
    int count = press ? 4 : 3;
    animating = 1;
    for (int i = 0; i < count; i++) {
        depth = steps[i];
        Repaint();
        Wait(60);
    }
    animating = 0;
}

void MyShadowButtonCtl::Wait(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
    }
}
