#include "controls/panels.h"

#include <cstdio>
#include <new>

#include "controls/control_class.h"
#include "controls/gdi_scope.h"

MyControlCtl* NewMyFrame(const char* className) {
    return lstrcmpiA(className, OBSIDIA_FRAME_CLASS) == 0 ? new (std::nothrow) MyFrameCtl : nullptr;
}

MyControlCtl* NewMyGraph(const char* className) {
    return lstrcmpiA(className, OBSIDIA_GRAPH_CLASS) == 0 ? new (std::nothrow) MyGraphCtl : nullptr;
}

void MyFrameCtl::OnPaint(PAINTSTRUCT* ps) {
    RECT r;
    GetClientRect(hwnd, &r);
    r.right--;
    r.bottom--;
    Ctl3dBox(ps->hdc, r, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
}

// An empty range (maximum = minimum) would make MulDiv answer -1: the bar
// then stays empty and reads 0%.
int MyGraphCtl::PosToScreen() {
    RECT r;
    GetClientRect(hwnd, &r);
    if (maximum == minimum) return 2;
    return MulDiv(position - minimum, r.right - 4, maximum - minimum) + 2;
}

int MyGraphCtl::Percent() {
    if (maximum == minimum) return 0;
    return MulDiv(position - minimum, 100, maximum - minimum);
}

void MyGraphCtl::OnPaint(PAINTSTRUCT* ps) {
    HDC dc = ps->hdc;
    RECT r;
    GetClientRect(hwnd, &r);
    int w = r.right, h = r.bottom;
    HBRUSH client = ControlMgr ? ControlMgr->GetClientBrush() : nullptr;
    Ctl3dBox(dc, RECT{0, 0, w - 1, h - 1}, client);
    int x = PosToScreen();
    RECT bar = {2, 2, x, h - 2};
    RECT rest = {x, 2, w - 2, h - 2};
    FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
    if (client) FillRect(dc, &rest, client);

    HFONT font = ControlMgr ? ControlMgr->GetFont() : nullptr;
    if (!font) return;
    MemoryDC mem(dc);
    if (!mem || !mem.Own(CreateBitmap(w, h, 1, 1, nullptr))) return;
    char label[16];
    std::snprintf(label, sizeof label, "%d%%", Percent());
    int reference;
    {
        SelectedObject in(dc, font);
        reference = GetTextWidth(dc, "50%", 3);
    }
    PatBlt(mem, 0, 0, w, h, BLACKNESS);
    {
        SelectedObject in(mem, font);
        SetBkMode(mem, TRANSPARENT);
        SetTextColor(mem, RGB(255, 255, 255));
        TextOutA(mem, (w - 1 - reference) / 2, (h - 1 - ControlMgr->FontHeight()) / 2, label,
                 lstrlenA(label));
    }
    // Mono to colour: 1 becomes the background colour (white), 0 the text
    // colour (black), so XOR inverts exactly the glyph pixels.
    COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCINVERT);
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
}

int MyGraphCtl::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (msg) {
    case GraphSetRange:
        minimum = LOWORD(lParam);
        maximum = HIWORD(lParam);
        if (wParam) Repaint();
        *result = 1;
        return 1;
    case GraphSetPos: {
        int value = static_cast<int>(lParam);
        if (value > maximum) value = maximum;
        if (value < minimum) value = minimum;
        position = value;
        if (wParam) Repaint();
        *result = 1;
        return 1;
    }
    case GraphGetPos: *result = position; return 1;
    }
    return 0;
}
