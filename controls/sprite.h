// Sprites: bitmaps drawn with a transparent colour through a monochrome mask
// (1 where transparent), moved flicker-free through one off-screen bitmap
// that also saves and restores the background under the sprite.
#pragma once
#include <windows.h>

#include "controls/control_mgr.h"

class DIBTex;
using TextureCallback = DIBTex* (*)(HWND window);

// The background under a sprite that moves: saved at each step of the
// movement under the new position, put back at the next step, and given
// back to the screen or dropped when the movement ends.
class SavedBackground {
public:
    SavedBackground() = default;
    ~SavedBackground() { Forget(); }
    SavedBackground(const SavedBackground&) = delete;
    SavedBackground& operator=(const SavedBackground&) = delete;

    // One flicker-free step to (x, y): the work area (old and new place) is
    // composed off-screen - background put back, saved anew, sprite drawn by
    // `draw(mem, x, y)` in the off-screen context's coordinates - and copied
    // to `dc` in one blit.  `w` x `h` is the area one drawing covers.  0 if
    // no off-screen context could be made.  (Defined beside the two sprite
    // kinds that take it, in sprite.cpp.)
    template <class DrawFn>
    int Step(HDC dc, int x, int y, int w, int h, DrawFn draw);
    // Copies the saved background back to `dc` (if `restore` and there is
    // one), then drops it.
    void Done(HDC dc, int restore, int w, int h);
    void Forget();

    HBITMAP bitmap = nullptr;
    int x = 0, y = 0;
};

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
    SavedBackground saved;
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
    SavedBackground saved;
};
