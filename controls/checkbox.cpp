#include "controls/checkbox.h"

#include <cstring>
#include <new>

#include "art/art_names.h"
#include "controls/button.h"
#include "controls/control_class.h"

MyControlCtl* NewMyCheckBox(const char* className) {
    return lstrcmpiA(className, OBSIDIA_CHECKBOX_CLASS) == 0 ? new (std::nothrow) MyCheckBoxCtl
                                                             : nullptr;
}

// The saved background belongs to a window that is going away: drop it.
MyCheckBoxCtl::~MyCheckBoxCtl() { sprite.AnimateDone(nullptr, 0); }

int MyCheckBoxCtl::OnCreate(HWND window, CREATESTRUCTA* create) {
    MyControlCtl::OnCreate(window, create);
    outline = TakeOutlineFlag(window, outline);
    return 1;
}

void MyCheckBoxCtl::OnPaint(PAINTSTRUCT* ps) {
    HDC dc = ps->hdc;
    RECT r;
    GetClientRect(hwnd, &r);
    int m = r.bottom / 2;
    if (!animating) {
        HFONT font = ControlMgr ? ControlMgr->GetFont() : nullptr;
        if (font) {
            char text[64];
            GetWindowTextA(hwnd, text, sizeof text);
            RECT label = r;
            label.left += 22;
            HGDIOBJ oldFont = SelectObject(dc, font);
            int oldMode = SetBkMode(dc, TRANSPARENT);
            if (outline)
                OutlineText(dc, label.left, m - ControlMgr->FontHeight() / 2, text,
                            RGB(255, 255, 255), RGB(0, 0, 0));
            else DrawTextA(dc, text, -1, &label, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
            SetBkMode(dc, oldMode);
            SelectObject(dc, oldFont);
        }
        Ctl3dBox(dc, RECT{7, m - 6, 19, m + 6},
                 ControlMgr ? ControlMgr->GetClientBrush() : nullptr);
    }
    if (!sprite.image && !sprite.Load(ResourceInstanceOf(MyCheckBox), IDB_CHECKBOX, nullptr,
                                      RGB(255, 255, 255), kFrames, SafeLoadBitmap))
        return;
    sprite.Animate(dc, 4, m - 11, frame);
}

void MyCheckBoxCtl::OnLButtonDown(UINT, POINT pt) {
    if (enabled && InMe(pt)) SetState(!checked, 1, 1);
}

void MyCheckBoxCtl::SetState(int value, int notify, int animate) {
    checked = value;
    if (checked && animate) {
        animating = 1;
        for (frame = 1; frame < kFrames; frame++) {
            Repaint();
            if (frame < kFrames - 1) MyShadowButtonCtl::Wait(kFrameDelay);
        }
        frame = kFrames - 1;
        animating = 0;
    } else {
        frame = checked ? kFrames - 1 : 0;
        Repaint();
    }
    if (notify) SendNotify(0, 0);
}

int MyCheckBoxCtl::OnMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT* result) {
    switch (msg) {
    case CheckBoxSetState:
        *result = checked;
        SetState(wParam != 0, 0, 0);
        return 1;
    case CheckBoxGetState: *result = checked; return 1;
    }
    return 0;
}
