// Sprites: bitmaps drawn with a transparent colour through a monochrome mask
// (1 where transparent), moved flicker-free through one off-screen bitmap
// that also saves and restores the background under the sprite.
#pragma once
#include <windows.h>

#include "controls/control_mgr.h"

class DIBTex;
using TextureCallback = DIBTex* (*)(HWND window);

class Sprite {
public:
    Sprite() = default;
    ~Sprite();
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    // `maskName` may be null: the mask is then made from `transparent`.
    // `loader` may be null: the system bitmap loader is used.
    int Load(HINSTANCE instance, const char* name, const char* maskName, COLORREF transparent,
             int frames, BitmapLoader loader);
    void Draw(HDC dc, int x, int y, int frame);
    int Animate(HDC dc, int x, int y, int frame);
    void AnimateDone(HDC dc, int restore);

    HBITMAP image = nullptr;
    HBITMAP mask = nullptr;
    BITMAP bm = {};  // bmWidth holds the width of one frame after Load
    int savedX = 0, savedY = 0;
    HBITMAP saved = nullptr;
    int deviceTransparency = 0;
    COLORREF transparent = 0;
};

class ShadowSprite {
public:
    ShadowSprite() = default;
    ~ShadowSprite();
    ShadowSprite(const ShadowSprite&) = delete;
    ShadowSprite& operator=(const ShadowSprite&) = delete;

    int Load(HINSTANCE instance, const char* name, COLORREF transparent, int shadowDepth,
             BitmapLoader loader);
    // The shadow shows the dark version of callback(argument), tiled so that it
    // continues the texture around the control at (xOffset, yOffset).
    int ShadowTexture(TextureCallback callback, HWND argument, int xOffset, int yOffset);
    // Image at (x, y), shadow at (x + depth, y + depth).
    void Draw(HDC dc, int x, int y, int depth);
    int Animate(HDC dc, int x, int y, int depth);
    void AnimateDone(HDC dc, int restore);

    HBITMAP image = nullptr;
    HBITMAP mask = nullptr;
    BITMAP bm = {};
    int shadowDepth = 0;
    TextureCallback texture = nullptr;
    HWND textureArg = nullptr;
    int texX = 0, texY = 0;
    int savedX = 0, savedY = 0;
    HBITMAP saved = nullptr;
};
