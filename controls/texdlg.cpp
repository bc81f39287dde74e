#include "controls/texdlg.h"

#include <new>

#include "controls/control_class.h"

static const char kTexDlgProp[] = "OBTexDlg";
static const char kDIBTexProp[] = "DIBTexPtr";

TexDlg::TexDlg(HWND dlg, HINSTANCE inst, HINSTANCE resInst, const char* textureName)
    : dialog(dlg), instance(inst), resInstance(resInst), texture(resInst, textureName) {
    previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(dialog, GWLP_WNDPROC));
    SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Tex_SubclassProc));
}

TexDlg::~TexDlg() {
    for (HRGN& region : regions) MyControlCtl::KillObject(region);
    if (previous && IsWindow(dialog))
        SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
}

void TexDlg::ClientRectToScreen(RECT* r) {
    GetClientRect(dialog, r);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(r), 2);
}

void TexDlg::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    if (!IsRectEmpty(&ps.rcPaint)) {
        HPALETTE oldPal = nullptr;
        if (texture.palette) {
            oldPal = SelectPalette(dc, texture.palette, FALSE);
            RealizePalette(dc);
        }
        RECT window, client;
        GetWindowRect(dialog, &window);
        ClientRectToScreen(&client);
        texture.TexMap(dc, client.left - window.left, client.top - window.top, &ps.rcPaint,
                       DIBTex::kNormal, SRCCOPY);
        if (oldPal) SelectPalette(dc, oldPal, FALSE);
    }
    EndPaint(dialog, &ps);
}

void TexDlg::CalcRegions(const RECT& w) {
    RECT client;
    GetClientRect(dialog, &client);
    int W = w.right - w.left, H = w.bottom - w.top;
    int b = (W - client.right) / 2;
    frameWidth = b;
    const POINT corners[4][4] = {
        {{0, 0}, {b, b}, {W - b, b}, {W, 0}},
        {{0, H}, {W, H}, {W - b, H - b}, {b, H - b}},
        {{0, 0}, {b, b}, {b, H - b}, {0, H}},
        {{W, 0}, {W, H}, {W - b, H - b}, {W - b, b}},
    };
    for (int i = 0; i < 4; i++) regions[i] = CreatePolygonRgn(corners[i], 4, ALTERNATE);
}

void TexDlg::OnNCPaint(HRGN) {
    HDC dc = GetWindowDC(dialog);
    if (!dc) return;
    HPALETTE oldPal = nullptr;
    if (texture.palette) {
        oldPal = SelectPalette(dc, texture.palette, FALSE);
        RealizePalette(dc);
    }
    RECT w;
    GetWindowRect(dialog, &w);
    OffsetRect(&w, -w.left, -w.top);
    if (!regions[kTop]) CalcRegions(w);
    int b = frameWidth, W = w.right, H = w.bottom;
    const struct {
        int region;
        RECT band;
        int index;
    } bands[] = {
        {kTop, {0, 0, W, b < H ? b : H}, DIBTex::kHighlight},
        {kBottom, {0, H - b, W, H}, DIBTex::kShadow},
        {kLeft, {0, 0, b, H}, DIBTex::kHighlight},
        {kRight, {W - b, 0, W, H}, DIBTex::kShadow},
    };
    for (const auto& band : bands) {
        if (!regions[band.region]) continue;
        SelectClipRgn(dc, regions[band.region]);
        texture.TexMap(dc, 0, 0, &band.band, band.index, SRCCOPY);
    }
    SelectClipRgn(dc, nullptr);
    if (oldPal) SelectPalette(dc, oldPal, FALSE);
    ReleaseDC(dialog, dc);
}

static TexDlg* TexDlgOf(HWND dialog) {
    HWND control = static_cast<HWND>(GetPropA(dialog, kTexDlgProp));
    if (!control || !IsWindow(control)) return nullptr;
    auto* object = dynamic_cast<MyTexDlgCtl*>(MyControlMgr::GetWindowObject(control));
    return object ? object->texDlg : nullptr;
}

LRESULT CALLBACK Tex_SubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TexDlg* tex = TexDlgOf(window);
    if (!tex || !tex->previous) return 0;
    switch (msg) {
    case WM_PAINT: tex->OnPaint(); return 0;
    case WM_ERASEBKGND: return 0;
    case WM_NCPAINT: {
        LRESULT result = CallWindowProcA(tex->previous, window, msg, wParam, lParam);
        tex->OnNCPaint(reinterpret_cast<HRGN>(wParam));
        return result;
    }
    case WM_NCACTIVATE: {
        // The default activation handling redraws the standard frame; put the
        // bevel back over it.
        LRESULT result = CallWindowProcA(tex->previous, window, msg, wParam, lParam);
        if (IsWindowVisible(window)) tex->OnNCPaint(nullptr);
        return result;
    }
    }
    return CallWindowProcA(tex->previous, window, msg, wParam, lParam);
}

DIBTex* DlgTexture(HWND window) {
    if (!IsWindow(window)) return nullptr;
    HGLOBAL block = static_cast<HGLOBAL>(GetPropA(window, kDIBTexProp));
    if (!block) return nullptr;
    auto* slot = static_cast<DIBTex**>(GlobalLock(block));
    if (!slot) return nullptr;
    DIBTex* texture = *slot;
    GlobalUnlock(block);
    return texture;
}

int SetDlgDIBTex(HWND window, DIBTex* texture) {
    if (!IsWindow(window)) return 0;
    if (HGLOBAL old = static_cast<HGLOBAL>(GetPropA(window, kDIBTexProp))) {
        RemovePropA(window, kDIBTexProp);
        GlobalFree(old);
    }
    if (!texture) return 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DIBTex*));
    if (!block) return 0;
    auto* slot = static_cast<DIBTex**>(GlobalLock(block));
    if (!slot) {
        GlobalFree(block);
        return 0;
    }
    *slot = texture;
    GlobalUnlock(block);
    if (!SetPropA(window, kDIBTexProp, block)) {
        GlobalFree(block);
        return 0;
    }
    return 1;
}

MyControlCtl* NewMyTexDlg(const char* className) {
    return lstrcmpiA(className, OBSIDIA_TEXDLG_CLASS) == 0 ? new (std::nothrow) MyTexDlgCtl
                                                           : nullptr;
}

int MyTexDlgCtl::OnCreate(HWND window, CREATESTRUCTA* create) {
    MyControlCtl::OnCreate(window, create);
    char name[64];
    if (GetWindowTextA(window, name, sizeof name) <= 0) return 0;
    HWND dialog = GetParent(window);
    HINSTANCE inst = MyTexDlg ? MyTexDlg->instance : GetModuleHandleA(nullptr);
    texDlg = new (std::nothrow) TexDlg(dialog, inst, ResourceInstanceOf(MyTexDlg), name);
    if (!texDlg) return 0;
    SetPropA(dialog, kTexDlgProp, window);
    SetDlgDIBTex(dialog, &texDlg->texture);
    return 1;
}

void MyTexDlgCtl::OnPaint(PAINTSTRUCT*) {}

MyTexDlgCtl::~MyTexDlgCtl() {
    if (!texDlg) return;
    HWND dialog = texDlg->dialog;
    delete texDlg;
    texDlg = nullptr;
    RemovePropA(dialog, kTexDlgProp);
    SetDlgDIBTex(dialog, nullptr);
}
