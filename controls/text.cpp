#include "controls/text.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "controls/control_class.h"

MyControlCtl* NewMyText(const char* className) {
    return lstrcmpiA(className, OBSIDIA_TEXT_CLASS) == 0 ? new (std::nothrow) MyTextCtl : nullptr;
}

MyControlCtl* NewMyMText(const char* className) {
    return lstrcmpiA(className, OBSIDIA_MTEXT_CLASS) == 0 ? new (std::nothrow) MyMTextCtl : nullptr;
}

int MyTextCtl::OnCreate(HWND window, CREATESTRUCTA* create) {
    MyControlCtl::OnCreate(window, create);
    outline = TakeOutlineFlag(window, outline);
    char text[256];
    GetWindowTextA(window, text, sizeof text);
    if (text[0] == '*') {
        rightAligned = 1;
        SetWindowTextA(window, text + 1);
    }
    creating = 0;
    return 1;
}

void MyTextCtl::OnPaint(PAINTSTRUCT* ps) {
    HFONT font = ControlMgr ? ControlMgr->GetFont() : nullptr;
    if (!font) return;
    HDC dc = ps->hdc;
    char text[64];
    GetWindowTextA(hwnd, text, sizeof text);
    RECT r;
    GetClientRect(hwnd, &r);
    HGDIOBJ oldFont = SelectObject(dc, font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    if (outline) {
        int y = r.bottom / 2 - ControlMgr->FontHeight() / 2;
        OutlineText(dc, r.left, y, text, RGB(255, 255, 255), RGB(0, 0, 0));
    } else {
        DrawTextA(dc, text, -1, &r,
                  DT_SINGLELINE | DT_VCENTER | (rightAligned ? DT_RIGHT : DT_LEFT));
    }
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

int MyTextCtl::OnEraseBackground(HDC dc) {
    if (outline || creating) return 0;
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    return 1;
}

// The default procedure stores the new text; the label only asks to be redrawn.
int MyTextCtl::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT*) {
    if (msg == WM_SETTEXT && !creating) InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

MyMTextCtl::~MyMTextCtl() { std::free(text); }

int MyMTextCtl::OnCreate(HWND window, CREATESTRUCTA* create) {
    MyControlCtl::OnCreate(window, create);
    text = static_cast<char*>(std::calloc(kBufferSize, 1));
    if (!text) return 0;
    GetWindowTextA(window, text, kBufferSize);
    if (text[0] == '*') {
        centred = 0;
        std::memmove(text, text + 1, std::strlen(text));
    }
    if (text[0] == '~') {
        UINT id = static_cast<UINT>(std::strtoul(text + 1, nullptr, 10));
        SafeLoadString(ResourceInstanceOf(MyMText), id, text, kBufferSize);
    }
    SetWindowTextA(window, text);
    creating = 0;
    return 1;
}

void MyMTextCtl::OnPaint(PAINTSTRUCT* ps) {
    HFONT font = ControlMgr ? ControlMgr->GetFont() : nullptr;
    if (!font || !text) return;
    HDC dc = ps->hdc;
    RECT r;
    GetClientRect(hwnd, &r);
    HGDIOBJ oldFont = SelectObject(dc, font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &r, DT_WORDBREAK | (centred ? DT_CENTER : DT_LEFT));
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

int MyMTextCtl::OnEraseBackground(HDC dc) {
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    return 1;
}

// After creation the text lives in the buffer, not in the window: the window
// text keeps what the template (or the string resource) gave it.
int MyMTextCtl::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (creating) return 0;
    switch (msg) {
    case WM_SETTEXT: {
        if (!text) text = static_cast<char*>(std::calloc(kBufferSize, 1));
        if (!text) return 0;
        const char* src = lParam ? reinterpret_cast<const char*>(lParam) : "";
        lstrcpynA(text, src, kBufferSize);
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
        *result = 1;
        return 1;
    }
    case WM_GETTEXT: {
        if (!text) return 0;
        int size = static_cast<int>(wParam);
        char* dst = reinterpret_cast<char*>(lParam);
        if (size <= 0 || !dst) {
            *result = 0;
            return 1;
        }
        int n = static_cast<int>(std::strlen(text));
        if (n > size - 1) n = size - 1;
        std::memcpy(dst, text, n);
        dst[n] = '\0';
        *result = n;
        return 1;
    }
    case WM_GETTEXTLENGTH:
        if (!text) return 0;
        *result = static_cast<LRESULT>(std::strlen(text));
        return 1;
    }
    return 0;
}
