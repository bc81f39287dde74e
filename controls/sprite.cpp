#include "controls/sprite.h"

#include <cstdlib>

#include "controls/dibtex.h"

namespace {

// Device capabilities of display drivers that draw transparently themselves
// (not in the desktop headers).
constexpr int CAPS1 = 94;
constexpr int C1_TRANSPARENT = 0x0001;
constexpr int NEWTRANSPARENT = 3;

HBITMAP LoadWith(BitmapLoader loader, HINSTANCE instance, const char* name) {
    return loader ? loader(instance, name) : LoadBitmapA(instance, name);
}

// Builds the mask (1 where the image has the transparent colour) and turns
// the transparent pixels of the image black, so that AND mask / OR image
// draws it.
HBITMAP MakeMask(HBITMAP image, const BITMAP& bm, COLORREF transparent) {
    HBITMAP mask = CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr);
    if (!mask) return nullptr;
    HDC screen = GetDC(nullptr);
    HDC imageDC = CreateCompatibleDC(screen);
    HDC maskDC = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!imageDC || !maskDC) {
        if (imageDC) DeleteDC(imageDC);
        if (maskDC) DeleteDC(maskDC);
        DeleteObject(mask);
        return nullptr;
    }
    HGDIOBJ oldImage = SelectObject(imageDC, image);
    HGDIOBJ oldMask = SelectObject(maskDC, mask);
    SetBkColor(imageDC, transparent);
    BitBlt(maskDC, 0, 0, bm.bmWidth, bm.bmHeight, imageDC, 0, 0, SRCCOPY);
    SetBkColor(imageDC, RGB(0, 0, 0));
    SetTextColor(imageDC, RGB(255, 255, 255));
    BitBlt(imageDC, 0, 0, bm.bmWidth, bm.bmHeight, maskDC, 0, 0, SRCAND);
    SelectObject(imageDC, oldImage);
    SelectObject(maskDC, oldMask);
    DeleteDC(imageDC);
    DeleteDC(maskDC);
    return mask;
}

// AND the mask (transparent parts keep the destination), then OR the image.
void MaskBlt2(HDC dc, int x, int y, int w, int h, HDC src, HBITMAP mask, HBITMAP image, int sx) {
    COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(src, mask);
    BitBlt(dc, x, y, w, h, src, sx, 0, SRCAND);
    SelectObject(src, image);
    BitBlt(dc, x, y, w, h, src, sx, 0, SRCPAINT);
    SelectObject(src, old);
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
}

// The flicker-free step shared by both sprite kinds: `w` x `h` is the area
// one drawing covers, `draw` paints the sprite into the off-screen DC.
template <class DrawFn>
int AnimateThrough(HDC dc, int x, int y, int w, int h, int& savedX, int& savedY, HBITMAP& saved,
                   DrawFn draw) {
    RECT work;
    if (saved) {
        work.left = x < savedX ? x : savedX;
        work.top = y < savedY ? y : savedY;
        work.right = work.left + std::abs(savedX - x) + w;
        work.bottom = work.top + std::abs(savedY - y) + h;
    } else {
        work = RECT{x, y, x + w, y + h};
    }
    int ww = work.right - work.left, wh = work.bottom - work.top;
    HDC mem = CreateCompatibleDC(dc);
    HDC back = CreateCompatibleDC(dc);
    HBITMAP off = CreateCompatibleBitmap(dc, ww, wh);
    if (!mem || !back || !off) {
        if (mem) DeleteDC(mem);
        if (back) DeleteDC(back);
        if (off) DeleteObject(off);
        return 0;
    }
    HGDIOBJ oldOff = SelectObject(mem, off);
    BitBlt(mem, 0, 0, ww, wh, dc, work.left, work.top, SRCCOPY);
    HGDIOBJ oldBack;
    if (saved) {
        oldBack = SelectObject(back, saved);
        BitBlt(mem, savedX - work.left, savedY - work.top, w, h, back, 0, 0, SRCCOPY);
    } else {
        saved = CreateCompatibleBitmap(dc, w, h);
        oldBack = SelectObject(back, saved);
    }
    if (saved) {
        BitBlt(back, 0, 0, w, h, mem, x - work.left, y - work.top, SRCCOPY);
        savedX = x;
        savedY = y;
    }
    SelectObject(back, oldBack);
    draw(mem, x - work.left, y - work.top);
    BitBlt(dc, work.left, work.top, ww, wh, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldOff);
    DeleteObject(off);
    DeleteDC(mem);
    DeleteDC(back);
    return 1;
}

void RestoreSaved(HDC dc, int restore, int x, int y, int w, int h, HBITMAP& saved) {
    if (!saved) return;
    if (restore && dc) {
        HDC back = CreateCompatibleDC(dc);
        if (back) {
            HGDIOBJ old = SelectObject(back, saved);
            BitBlt(dc, x, y, w, h, back, 0, 0, SRCCOPY);
            SelectObject(back, old);
            DeleteDC(back);
        }
    }
    DeleteObject(saved);
    saved = nullptr;
}

}  // namespace

Sprite::~Sprite() {
    MyControlCtl::KillObject(image);
    MyControlCtl::KillObject(mask);
    MyControlCtl::KillObject(saved);
}

int Sprite::Load(HINSTANCE instance, const char* name, const char* maskName, COLORREF colour,
                 int frames, BitmapLoader loader) {
    image = LoadWith(loader, instance, name);
    if (!image || !GetObjectA(image, sizeof bm, &bm)) return 0;
    transparent = colour;
    if (maskName) {
        mask = LoadWith(loader, instance, maskName);
    } else {
        HDC screen = GetDC(nullptr);
        int caps1 = GetDeviceCaps(screen, CAPS1);
        ReleaseDC(nullptr, screen);
        if (caps1 & C1_TRANSPARENT) deviceTransparency = 1;
        else mask = MakeMask(image, bm, colour);
    }
    if (frames > 1) bm.bmWidth /= frames;
    MyControlCtl::KillObject(saved);
    savedX = savedY = 0;
    return 1;
}

void Sprite::Draw(HDC dc, int x, int y, int frame) {
    if (!image) return;
    HDC src = CreateCompatibleDC(dc);
    if (!src) return;
    int sx = frame * bm.bmWidth;
    if (deviceTransparency) {
        int oldMode = SetBkMode(dc, NEWTRANSPARENT);
        COLORREF oldBk = SetBkColor(dc, transparent);
        HGDIOBJ old = SelectObject(src, image);
        BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, src, sx, 0, SRCCOPY);
        SelectObject(src, old);
        SetBkColor(dc, oldBk);
        SetBkMode(dc, oldMode);
    } else if (mask) {
        MaskBlt2(dc, x, y, bm.bmWidth, bm.bmHeight, src, mask, image, sx);
    }
    DeleteDC(src);
}

int Sprite::Animate(HDC dc, int x, int y, int frame) {
    if (!image) return 0;
    return AnimateThrough(dc, x, y, bm.bmWidth, bm.bmHeight, savedX, savedY, saved,
                          [&](HDC mem, int px, int py) { Draw(mem, px, py, frame); });
}

void Sprite::AnimateDone(HDC dc, int restore) {
    RestoreSaved(dc, restore, savedX, savedY, bm.bmWidth, bm.bmHeight, saved);
}

ShadowSprite::~ShadowSprite() {
    MyControlCtl::KillObject(image);
    MyControlCtl::KillObject(mask);
    MyControlCtl::KillObject(saved);
}

int ShadowSprite::Load(HINSTANCE instance, const char* name, COLORREF colour, int depth,
                       BitmapLoader loader) {
    image = LoadWith(loader, instance, name);
    if (!image || !GetObjectA(image, sizeof bm, &bm)) return 0;
    mask = MakeMask(image, bm, colour);
    shadowDepth = depth;
    MyControlCtl::KillObject(saved);
    savedX = savedY = 0;
    return 1;
}

int ShadowSprite::ShadowTexture(TextureCallback callback, HWND argument, int xOffset, int yOffset) {
    texture = callback;
    textureArg = argument;
    texX = xOffset;
    texY = yOffset;
    return callback != nullptr;
}

void ShadowSprite::Draw(HDC dc, int x, int y, int depth) {
    if (!image || !mask) return;
    int w = bm.bmWidth, h = bm.bmHeight;
    HDC src = CreateCompatibleDC(dc);
    if (!src) return;
    COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(src, mask);
    BitBlt(dc, x + depth, y + depth, w, h, src, 0, 0, SRCAND);

    DIBTex* tex = texture ? texture(textureArg) : nullptr;
    if (tex) {
        HDC shadowDC = CreateCompatibleDC(dc);
        HBITMAP shadow = shadowDC ? CreateCompatibleBitmap(dc, w, h) : nullptr;
        if (shadow) {
            HGDIOBJ oldShadow = SelectObject(shadowDC, shadow);
            SetBkColor(shadowDC, RGB(255, 255, 255));
            SetTextColor(shadowDC, RGB(0, 0, 0));
            BitBlt(shadowDC, 0, 0, w, h, src, 0, 0, NOTSRCCOPY);
            RECT all = {0, 0, w, h};
            tex->TexMap(shadowDC, texX + shadowDepth, texY + shadowDepth, &all, DIBTex::kShadow,
                        SRCAND);
            BitBlt(dc, x + depth, y + depth, w, h, shadowDC, 0, 0, SRCPAINT);
            SelectObject(shadowDC, oldShadow);
            DeleteObject(shadow);
        }
        if (shadowDC) DeleteDC(shadowDC);
    }
    SelectObject(src, old);
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
    MaskBlt2(dc, x, y, w, h, src, mask, image, 0);
    DeleteDC(src);
}

int ShadowSprite::Animate(HDC dc, int x, int y, int depth) {
    if (!image) return 0;
    return AnimateThrough(dc, x, y, bm.bmWidth + shadowDepth, bm.bmHeight + shadowDepth, savedX,
                          savedY, saved,
                          [&](HDC mem, int px, int py) { Draw(mem, px, py, depth); });
}

void ShadowSprite::AnimateDone(HDC dc, int restore) {
    RestoreSaved(dc, restore, savedX, savedY, bm.bmWidth + shadowDepth, bm.bmHeight + shadowDepth,
                 saved);
}
