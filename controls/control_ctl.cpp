// MyControlCtl's default handlers and drawing helpers, and the window
// procedure shared by every skinned class.  The procedure only dispatches.
#include "controls/control_mgr.h"

#include <cstring>

int MyControlCtl::InMe(POINT pt) {
    RECT r;
    GetClientRect(hwnd, &r);
    return PtInRect(&r, pt) ? 1 : 0;
}

void MyControlCtl::Repaint() {
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

int MyControlCtl::GetTextWidth(HDC dc, const char* text, int length) {
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, length, &size);
    return size.cx;
}

// A sunken box: dark edges at the top left, light at the bottom right.  Each
// move-to/line-to segment excludes its end point.
void MyControlCtl::Ctl3dBox(HDC dc, RECT r, HBRUSH fill) {
    HPEN light = ControlMgr ? ControlMgr->GetLightGreyPen() : nullptr;
    HPEN dark = ControlMgr ? ControlMgr->GetDarkGreyPen() : nullptr;
    HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
    MoveToEx(dc, r.left + 1, r.bottom - 2, nullptr);
    LineTo(dc, r.left + 1, r.top + 1);
    LineTo(dc, r.right - 1, r.top + 1);
    if (light) {
        SelectObject(dc, light);
        MoveToEx(dc, r.left + 1, r.bottom - 1, nullptr);
        LineTo(dc, r.right - 1, r.bottom - 1);
        LineTo(dc, r.right - 1, r.top);
    }
    SelectObject(dc, GetStockObject(WHITE_PEN));
    MoveToEx(dc, r.left, r.bottom, nullptr);
    LineTo(dc, r.right, r.bottom);
    LineTo(dc, r.right, r.top - 1);
    if (dark) {
        SelectObject(dc, dark);
        MoveToEx(dc, r.left, r.bottom - 1, nullptr);
        LineTo(dc, r.left, r.top);
        LineTo(dc, r.right, r.top);
    }
    SelectObject(dc, old);
    InflateRect(&r, -2, -2);
    r.right++;
    r.bottom++;
    if (fill) FillRect(dc, &r, fill);
}

int MyControlCtl::OnCreate(HWND window, CREATESTRUCTA*) {
    hwnd = window;
    enabled = 1;
    focus = 0;
    return 1;
}

int MyControlCtl::OnEraseBackground(HDC) { return 0; }
void MyControlCtl::OnEnable(int flag) { enabled = flag; }
void MyControlCtl::OnFocus(int value) { focus = value; }
void MyControlCtl::OnLButtonDown(UINT, POINT) {}
void MyControlCtl::OnLButtonUp(UINT, POINT) {}
void MyControlCtl::OnLButtonDblClk(UINT, POINT) {}
void MyControlCtl::OnRButtonDown(UINT, POINT) {}
void MyControlCtl::OnRButtonUp(UINT, POINT) {}
void MyControlCtl::OnMouseMove(UINT, POINT) {}
int MyControlCtl::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) { return 0; }

// A field longer than the buffer is cut; the scan still runs on to the
// delimiter so the next field starts in the right place.
bool MyControlCtl::TakeOutlineFlag(HWND window, bool outline) {
    char text[256];
    GetWindowTextA(window, text, sizeof text);
    if (!std::strchr(text, ',')) return outline;
    char flag[64], label[64];
    const char* rest = pickOff(text, ',', flag, sizeof flag);
    pickOff(rest, ',', label, sizeof label);
    SetWindowTextA(window, label);
    return flag[0] == '1';
}

const char* MyControlCtl::pickOff(const char* text, char delim, char* field, int fieldSize) {
    int room = fieldSize - 2;
    int n = 0;
    while (*text && *text != delim) {
        if (n < room) field[n++] = *text;
        text++;
    }
    if (fieldSize > 0) field[n] = '\0';
    return *text == delim ? text + 1 : text;
}

void MyControlCtl::SendNotify(int code, int value) {
    int id = GetDlgCtrlID(hwnd);
    SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(id, code),
                 static_cast<LPARAM>(static_cast<WORD>(value)));
}

void MyControlCtl::OutlineText(HDC dc, int x, int y, const char* text, COLORREF outline,
                               COLORREF color) {
    int n = lstrlenA(text);
    COLORREF old = SetTextColor(dc, outline);
    TextOutA(dc, x - 1, y, text, n);
    TextOutA(dc, x + 1, y, text, n);
    TextOutA(dc, x, y - 1, text, n);
    TextOutA(dc, x, y + 1, text, n);
    SetTextColor(dc, color);
    TextOutA(dc, x, y, text, n);
    SetTextColor(dc, old);
}

void MyControlCtl::KillIcon(HICON& icon) {
    if (icon) {
        DestroyIcon(icon);
        icon = nullptr;
    }
}

static POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

LRESULT CALLBACK MyControlWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) MyControlMgr::SetWindowObject(window, nullptr);
    MyControlCtl* object = MyControlMgr::GetWindowObject(window);
    if (object && msg != WM_CREATE) {
        LRESULT result = 0;
        if (object->OnMessage(msg, wParam, lParam, &result)) return result;
    }
    switch (msg) {
    case WM_CREATE:
        object = ControlMgr ? ControlMgr->Allocate(window) : nullptr;
        MyControlMgr::SetWindowObject(window, object);
        if (object) object->OnCreate(window, reinterpret_cast<CREATESTRUCTA*>(lParam));
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (object) object->OnFocus(static_cast<int>(wParam));
        break;
    case WM_ENABLE:
        if (object) object->OnEnable(static_cast<int>(wParam));
        break;
    case WM_PAINT:
        if (object) {
            PAINTSTRUCT ps;
            BeginPaint(window, &ps);
            object->OnPaint(&ps);
            EndPaint(window, &ps);
        }
        break;
    case WM_ERASEBKGND:
        if (object) return object->OnEraseBackground(reinterpret_cast<HDC>(wParam));
        break;
    case WM_NCDESTROY: {
        LRESULT held = DefWindowProcA(window, msg, wParam, lParam);
        if (object) {
            delete object;
            MyControlMgr::SetWindowObject(window, nullptr);
        }
        return held;
    }
    case WM_MOUSEMOVE:
        if (object) object->OnMouseMove(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_LBUTTONDOWN:
        if (object) object->OnLButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_LBUTTONUP:
        if (object) object->OnLButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_LBUTTONDBLCLK:
        if (object) object->OnLButtonDblClk(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_RBUTTONDOWN:
        if (object) object->OnRButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_RBUTTONUP:
        if (object) object->OnRButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}
