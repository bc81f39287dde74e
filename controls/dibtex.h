// DIBTex: one 256-colour bitmap resource turned into three device bitmaps -
// shadow (dark), normal and highlight (bright) - that tile any rectangle.
// A tiling offset lets several drawings (frame, client area, shadows) share
// one continuous texture.
#pragma once
#include <windows.h>

class DIBTex {
public:
    enum { kShadow = 0, kNormal = 1, kHighlight = 2 };
    // Size of a header with a full colour table, as the three versions store it.
    static constexpr int kInfoSize = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);
    static_assert(kInfoSize == 1064);

    DIBTex(HINSTANCE instance, const char* name);
    ~DIBTex();
    DIBTex(const DIBTex&) = delete;
    DIBTex& operator=(const DIBTex&) = delete;

    // Tiles `r` with bitmap `index`; tile (i, j) lands at (i*w - xo, j*h - yo).
    int TexMap(HDC dc, int xo, int yo, const RECT* r, int index, DWORD rop);

    // Finds and locks an 8-bit DIB resource.  `*info` points into the resource
    // and is valid until DestroyDIB.  Returns 0 for a missing resource or any
    // layout other than an uncompressed 8-bit DIB that fits its resource.
    static int LoadDIB(HINSTANCE instance, const char* name, BITMAPINFOHEADER** info,
                       HGLOBAL* resource);
    static void DestroyDIB(HGLOBAL resource);
    // New headers with a 256-entry colour table in movable global memory.
    static HGLOBAL CopyBMInfo(const BITMAPINFOHEADER* info);
    static HGLOBAL HilightPal(HGLOBAL normal, int add, int divisor);
    static HGLOBAL ShadowPal(HGLOBAL normal, int subtract);
    static HPALETTE CreateBestPalette(HGLOBAL normal);
    // Screen position of the control's client origin minus the top-left of its
    // parent's window rectangle: the texture coordinate of the control origin.
    static void ControlOffset(HWND control, POINT* out);

    HBITMAP bitmaps[3] = {};
    HPALETTE palette = nullptr;
    int width = 0;
    int height = 0;
};
