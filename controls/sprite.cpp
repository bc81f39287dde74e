#include "controls/sprite.h"

#include <cstdlib>

#include "controls/dibtex.h"
#include "controls/gdi_scope.h"

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
    MemoryDC imageDC(nullptr), maskDC(nullptr);
    if (!imageDC || !maskDC) {
        DeleteObject(mask);
        return nullptr;
    }
    SelectedObject imageIn(imageDC, image), maskIn(maskDC, mask);
    SetBkColor(imageDC, transparent);
    BitBlt(maskDC, 0, 0, bm.bmWidth, bm.bmHeight, imageDC, 0, 0, SRCCOPY);
    SetBkColor(imageDC, RGB(0, 0, 0));
    SetTextColor(imageDC, RGB(255, 255, 255));
    BitBlt(imageDC, 0, 0, bm.bmWidth, bm.bmHeight, maskDC, 0, 0, SRCAND);
    return mask;
}

// AND the mask (transparent parts keep the destination), then OR the image.
void MaskBlt2(HDC dc, int x, int y, int w, int h, HDC src, HBITMAP mask, HBITMAP image, int sx) {
    COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    {
        SelectedObject in(src, mask);
        BitBlt(dc, x, y, w, h, src, sx, 0, SRCAND);
        in.Select(image);
        BitBlt(dc, x, y, w, h, src, sx, 0, SRCPAINT);
    }
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
}

}  // namespace

template <class DrawFn>
int SavedBackground::Step(HDC dc, int newX, int newY, int w, int h, DrawFn draw) {
    RECT work;
    if (bitmap) {
        work.left = newX < x ? newX : x;
        work.top = newY < y ? newY : y;
        work.right = work.left + std::abs(x - newX) + w;
        work.bottom = work.top + std::abs(y - newY) + h;
    } else {
        work = RECT{newX, newY, newX + w, newY + h};
    }
    int ww = work.right - work.left, wh = work.bottom - work.top;
    MemoryDC mem(dc), back(dc);
    if (!mem || !back || !mem.Own(CreateCompatibleBitmap(dc, ww, wh))) return 0;
    BitBlt(mem, 0, 0, ww, wh, dc, work.left, work.top, SRCCOPY);
    if (bitmap) {
        SelectedObject in(back, bitmap);
        BitBlt(mem, x - work.left, y - work.top, w, h, back, 0, 0, SRCCOPY);
    } else {
        bitmap = CreateCompatibleBitmap(dc, w, h);
    }
    if (bitmap) {
        SelectedObject in(back, bitmap);
        BitBlt(back, 0, 0, w, h, mem, newX - work.left, newY - work.top, SRCCOPY);
        x = newX;
        y = newY;
    }
    draw(mem, newX - work.left, newY - work.top);
    BitBlt(dc, work.left, work.top, ww, wh, mem, 0, 0, SRCCOPY);
    return 1;
}

void SavedBackground::Done(HDC dc, int restore, int w, int h) {
    if (bitmap && restore && dc) {
        MemoryDC back(dc);
        if (back) {
            SelectedObject in(back, bitmap);
            BitBlt(dc, x, y, w, h, back, 0, 0, SRCCOPY);
        }
    }
    Forget();
}

void SavedBackground::Forget() {
    MyControlCtl::KillObject(bitmap);
    x = y = 0;
}

Sprite::~Sprite() {
    MyControlCtl::KillObject(image);
    MyControlCtl::KillObject(mask);
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
    saved.Forget();
    return 1;
}

void Sprite::Draw(HDC dc, int x, int y, int frame) {
    if (!image) return;
    MemoryDC src(dc);
    if (!src) return;
    int sx = frame * bm.bmWidth;
    if (deviceTransparency) {
        int oldMode = SetBkMode(dc, NEWTRANSPARENT);
        COLORREF oldBk = SetBkColor(dc, transparent);
        {
            SelectedObject in(src, image);
            BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, src, sx, 0, SRCCOPY);
        }
        SetBkColor(dc, oldBk);
        SetBkMode(dc, oldMode);
    } else if (mask) {
        MaskBlt2(dc, x, y, bm.bmWidth, bm.bmHeight, src, mask, image, sx);
    }
}

int Sprite::Animate(HDC dc, int x, int y, int frame) {
    if (!image) return 0;
    return saved.Step(dc, x, y, bm.bmWidth, bm.bmHeight,
                      [&](HDC mem, int px, int py) { Draw(mem, px, py, frame); });
}

void Sprite::AnimateDone(HDC dc, int restore) { saved.Done(dc, restore, bm.bmWidth, bm.bmHeight); }

ShadowSprite::~ShadowSprite() {
    MyControlCtl::KillObject(image);
    MyControlCtl::KillObject(mask);
}

int ShadowSprite::Load(HINSTANCE instance, const char* name, COLORREF colour, int depth,
                       BitmapLoader loader) {
    image = LoadWith(loader, instance, name);
    if (!image || !GetObjectA(image, sizeof bm, &bm)) return 0;
    mask = MakeMask(image, bm, colour);
    shadowDepth = depth;
    saved.Forget();
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
    MemoryDC src(dc);
    if (!src) return;
    COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    {
        SelectedObject in(src, mask);
        BitBlt(dc, x + depth, y + depth, w, h, src, 0, 0, SRCAND);
        if (DIBTex* tex = texture ? texture(textureArg) : nullptr) {
            MemoryDC shadow(dc);
            if (shadow && shadow.Own(CreateCompatibleBitmap(dc, w, h))) {
                SetBkColor(shadow, RGB(255, 255, 255));
                SetTextColor(shadow, RGB(0, 0, 0));
                BitBlt(shadow, 0, 0, w, h, src, 0, 0, NOTSRCCOPY);
                RECT all = {0, 0, w, h};
                tex->TexMap(shadow, texX + shadowDepth, texY + shadowDepth, &all, DIBTex::kShadow,
                            SRCAND);
                BitBlt(dc, x + depth, y + depth, w, h, shadow, 0, 0, SRCPAINT);
            }
        }
    }
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
    MaskBlt2(dc, x, y, w, h, src, mask, image, 0);
}

int ShadowSprite::Animate(HDC dc, int x, int y, int depth) {
    if (!image) return 0;
    return saved.Step(dc, x, y, bm.bmWidth + shadowDepth, bm.bmHeight + shadowDepth,
                      [&](HDC mem, int px, int py) { Draw(mem, px, py, depth); });
}

void ShadowSprite::AnimateDone(HDC dc, int restore) {
    saved.Done(dc, restore, bm.bmWidth + shadowDepth, bm.bmHeight + shadowDepth);
}
