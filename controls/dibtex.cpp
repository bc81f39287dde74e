#include "controls/dibtex.h"

#include <cstring>

#include "controls/gdi_scope.h"

namespace {

// Palette-derived headers are sized for 1068 bytes (the header, 256 colours
// and slack); only kInfoSize of them is meaningful.
constexpr SIZE_T kInfoBlock = 1068;

int ColourCount(const BITMAPINFOHEADER* info) {
    return info->biClrUsed ? static_cast<int>(info->biClrUsed) : 256;
}

// Applies `f` to every colour channel of a copy of `normal`.
template <class F>
HGLOBAL MapPalette(HGLOBAL normal, F f) {
    auto* src = static_cast<BITMAPINFO*>(GlobalLock(normal));
    if (!src) return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kInfoBlock);
    auto* dst = block ? static_cast<BITMAPINFO*>(GlobalLock(block)) : nullptr;
    if (dst) {
        std::memcpy(dst, src, DIBTex::kInfoSize);
        for (int i = 0; i < 256; i++) {
            RGBQUAD& q = dst->bmiColors[i];
            q.rgbRed = static_cast<BYTE>(f(q.rgbRed));
            q.rgbGreen = static_cast<BYTE>(f(q.rgbGreen));
            q.rgbBlue = static_cast<BYTE>(f(q.rgbBlue));
        }
        GlobalUnlock(block);
    } else if (block) {
        GlobalFree(block);
        block = nullptr;
    }
    GlobalUnlock(normal);
    return block;
}

// Tile index of coordinate v, rounding toward minus infinity so that
// rectangles left of or above the grid origin are covered too.
int FloorDiv(int v, int d) { return v >= 0 ? v / d : -((-v + d - 1) / d); }

}  // namespace

int DIBTex::LoadDIB(HINSTANCE instance, const char* name, BITMAPINFOHEADER** info,
                    HGLOBAL* resource) {
    *info = nullptr;
    *resource = nullptr;
    HRSRC found = FindResourceA(instance, name, reinterpret_cast<LPCSTR>(RT_BITMAP));
    if (!found) return 0;
    HGLOBAL loaded = LoadResource(instance, found);
    if (!loaded) return 0;
    auto* header = static_cast<BITMAPINFOHEADER*>(LockResource(loaded));
    if (!header) {
        FreeResource(loaded);
        return 0;
    }
    DWORD size = SizeofResource(instance, found);
    bool ok = size >= sizeof(BITMAPINFOHEADER) && header->biSize >= sizeof(BITMAPINFOHEADER) &&
              header->biBitCount == 8 && header->biPlanes == 1 && header->biCompression == BI_RGB &&
              header->biWidth > 0 && header->biHeight != 0 && header->biClrUsed <= 256;
    if (ok) {
        long long stride = ((header->biWidth * 8LL + 31) / 32) * 4;
        long long rows =
            header->biHeight < 0 ? -static_cast<long long>(header->biHeight) : header->biHeight;
        long long need = header->biSize + ColourCount(header) * 4LL + stride * rows;
        ok = need <= size;
    }
    if (!ok) {
        DestroyDIB(loaded);
        return 0;
    }
    *info = header;
    *resource = loaded;
    return 1;
}

void DIBTex::DestroyDIB(HGLOBAL resource) {
    if (resource) FreeResource(resource);
}

// A resource with fewer than 256 colours gets the rest of its table black.
HGLOBAL DIBTex::CopyBMInfo(const BITMAPINFOHEADER* info) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kInfoBlock);
    auto* dst = block ? static_cast<BITMAPINFO*>(GlobalLock(block)) : nullptr;
    if (!dst) {
        if (block) GlobalFree(block);
        return nullptr;
    }
    std::memcpy(&dst->bmiHeader, info, sizeof(BITMAPINFOHEADER));
    dst->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    dst->bmiHeader.biClrUsed = 256;
    std::memcpy(dst->bmiColors, reinterpret_cast<const BYTE*>(info) + info->biSize,
                ColourCount(info) * sizeof(RGBQUAD));
    GlobalUnlock(block);
    return block;
}

HGLOBAL DIBTex::HilightPal(HGLOBAL normal, int add, int divisor) {
    return MapPalette(normal, [=](int k) {
        int v = add + k + k / divisor;
        return v > 255 ? 255 : v;
    });
}

HGLOBAL DIBTex::ShadowPal(HGLOBAL normal, int subtract) {
    return MapPalette(normal, [=](int k) {
        int v = k - subtract;
        return v < 0 ? 0 : v;
    });
}

HPALETTE DIBTex::CreateBestPalette(HGLOBAL normal) {
    auto* info = static_cast<BITMAPINFO*>(GlobalLock(normal));
    if (!info) return nullptr;
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } lp = {0x300, 256, {}};
    for (int i = 0; i < 255; i++) {
        const RGBQUAD& q = info->bmiColors[i];
        lp.entries[i] = PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
    }
    lp.entries[255] = PALETTEENTRY{0, 0, 0, 0};
    GlobalUnlock(normal);
    return CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp));
}

DIBTex::DIBTex(HINSTANCE instance, const char* name) {
    BITMAPINFOHEADER* info;
    HGLOBAL resource;
    if (!LoadDIB(instance, name, &info, &resource)) return;
    const BYTE* bits = reinterpret_cast<const BYTE*>(info) + info->biSize + ColourCount(info) * 4;
    int w = info->biWidth;
    int h = info->biHeight < 0 ? -info->biHeight : info->biHeight;

    HGLOBAL headers[3] = {};
    headers[kNormal] = CopyBMInfo(info);
    if (headers[kNormal]) {
        headers[kHighlight] = HilightPal(headers[kNormal], 40, 2);
        headers[kShadow] = ShadowPal(headers[kNormal], 60);
        palette = CreateBestPalette(headers[kNormal]);
    }
    HDC screen = GetDC(nullptr);
    if (MemoryDC mem(screen); mem) {
        HPALETTE oldPal = palette ? SelectPalette(mem, palette, FALSE) : nullptr;
        if (palette) RealizePalette(mem);
        for (int i = 0; i < 3; i++) {
            auto* header = headers[i] ? static_cast<BITMAPINFO*>(GlobalLock(headers[i])) : nullptr;
            if (!header) continue;
            bitmaps[i] = CreateCompatibleBitmap(screen, w, h);
            if (bitmaps[i]) {
                SelectedObject in(mem, bitmaps[i]);
                StretchDIBits(mem, 0, 0, w, h, 0, 0, w, h, bits, header, DIB_RGB_COLORS, SRCCOPY);
            }
            GlobalUnlock(headers[i]);
        }
        if (oldPal) SelectPalette(mem, oldPal, FALSE);
    }
    ReleaseDC(nullptr, screen);
    for (HGLOBAL header : headers)
        if (header) GlobalFree(header);
    DestroyDIB(resource);
    if (bitmaps[0] && bitmaps[1] && bitmaps[2]) {
        width = w;
        height = h;
    }
}

DIBTex::~DIBTex() {
    for (HBITMAP& bitmap : bitmaps)
        if (bitmap) DeleteObject(bitmap);
    if (palette) DeleteObject(palette);
}

int DIBTex::TexMap(HDC dc, int xo, int yo, const RECT* r, int index, DWORD rop) {
    if (width == 0 || height == 0) return 0;
    if (index < 0 || index > 2 || !bitmaps[index]) return 1;
    MemoryDC mem(dc);
    if (!mem) return 1;
    SelectedObject in(mem, bitmaps[index]);
    int i0 = FloorDiv(xo + r->left, width), i1 = FloorDiv(xo + r->right + width - 1, width);
    int j0 = FloorDiv(yo + r->top, height), j1 = FloorDiv(yo + r->bottom + height - 1, height);
    for (int j = j0; j < j1; j++)
        for (int i = i0; i < i1; i++)
            BitBlt(dc, i * width - xo, j * height - yo, width, height, mem, 0, 0, rop);
    return 1;
}

void DIBTex::ControlOffset(HWND control, POINT* out) {
    POINT origin = {0, 0};
    ClientToScreen(control, &origin);
    RECT parent = {};
    GetWindowRect(GetParent(control), &parent);
    out->x = origin.x - parent.left;
    out->y = origin.y - parent.top;
}
