// Sprites and shadow sprites drawn into an off-screen surface.
#include <gtest/gtest.h>

#include "controls/controls.h"
#include "tests/controls/environment.h"

namespace {

constexpr int kW = 40, kH = 24;
constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0);

// A surface filled with a background in which every pixel differs from its
// neighbours, so that any wrongly restored pixel shows.
struct Backdrop : Surface {
    Capture background;
    Backdrop() : Surface(kW, kH) {
        for (int y = 0; y < kH; y++)
            for (int x = 0; x < kW; x++) SetPixel(dc, x, y, RGB(x * 6, y * 10, 100 + (x + y) % 50));
        background = Grab();
    }
};

// Counts pixels that differ from `want(x, y)`.
template <class F>
int Mismatches(const Capture& cap, F want) {
    int wrong = 0;
    for (int y = 0; y < kH; y++)
        for (int x = 0; x < kW; x++) wrong += cap.at(x, y) != want(x, y);
    return wrong;
}

bool Inside(int x, int y, int left, int top, int w, int h) {
    return x >= left && x < left + w && y >= top && y < top + h;
}

TEST(Sprite, LoadsFramesAndBuildsAMaskFromTheTransparentColour) {
    Sprite sprite;
    ASSERT_EQ(
        sprite.Load(TestInstance(), IDB_TESTSPRITE, nullptr, RGB(255, 0, 255), 2, SafeLoadBitmap),
        1);
    EXPECT_EQ(sprite.bm.bmWidth, 8) << "width of one frame";
    EXPECT_EQ(sprite.bm.bmHeight, 8);
    EXPECT_EQ(sprite.saved.bitmap, nullptr);
    Sprite missing;
    EXPECT_EQ(
        missing.Load(TestInstance(), "NoSuchBitmap", nullptr, RGB(255, 0, 255), 2, SafeLoadBitmap),
        0);
}

TEST(Sprite, AnimateRestoresTheBackgroundBetweenFramesAndMoves) {
    Backdrop s;
    Sprite sprite;
    ASSERT_EQ(
        sprite.Load(TestInstance(), IDB_TESTSPRITE, nullptr, RGB(255, 0, 255), 2, SafeLoadBitmap),
        1);
    const Capture& bg = s.background;

    ASSERT_EQ(sprite.Animate(s.dc, 4, 4, 0), 1);
    EXPECT_EQ(
        Mismatches(s.Grab(),
                   [&](int x, int y) { return Inside(x, y, 4, 4, 8, 8) ? kRed : bg.at(x, y); }),
        0)
        << "frame 0 is a solid square";

    sprite.Animate(s.dc, 4, 4, 1);
    EXPECT_EQ(
        Mismatches(s.Grab(),
                   [&](int x, int y) { return Inside(x, y, 7, 7, 2, 2) ? kGreen : bg.at(x, y); }),
        0)
        << "the second frame at the same place leaves no trace of the first";

    sprite.Animate(s.dc, 4, 4, 0);
    sprite.Animate(s.dc, 13, 9, 0);
    EXPECT_EQ(
        Mismatches(s.Grab(),
                   [&](int x, int y) { return Inside(x, y, 13, 9, 8, 8) ? kRed : bg.at(x, y); }),
        0)
        << "moving puts the old background back";

    sprite.AnimateDone(s.dc, 1);
    EXPECT_EQ(sprite.saved.bitmap, nullptr);
    EXPECT_EQ(Mismatches(s.Grab(), [&](int x, int y) { return bg.at(x, y); }), 0)
        << "done with restore";
}

TEST(ShadowSprite, CastsAShadowOfTheDarkTextureUnderTheImage) {
    static DIBTex* texture = nullptr;
    DIBTex tex(TestInstance(), IDB_TESTTEX);
    texture = &tex;
    Backdrop s;
    PatBlt(s.dc, 0, 0, kW, kH, WHITENESS);
    ShadowSprite sprite;
    ASSERT_EQ(sprite.Load(TestInstance(), IDB_TESTSPRITE, RGB(255, 0, 255), 3, SafeLoadBitmap), 1);
    const int tx = 7, ty = 2;
    EXPECT_NE(sprite.ShadowTexture([](HWND) { return texture; }, nullptr, tx, ty), 0);
    sprite.Draw(s.dc, 0, 0, 3);
    Capture cap = s.Grab();
    Capture dark = CaptureBitmap(tex.bitmaps[DIBTex::kShadow]);
    // Shadow pixel (x, y) shows texture coordinate (x - 3 + tx + 3, ...).
    auto shade = [&](int x, int y) { return dark.at((x + tx) % tex.width, (y + ty) % tex.height); };
    EXPECT_EQ(Hex(cap.at(2, 2)), Hex(kRed)) << "image";
    EXPECT_EQ(Hex(cap.at(12, 4)), Hex(kGreen)) << "image dot";
    EXPECT_EQ(Hex(cap.at(9, 9)), Hex(shade(9, 9))) << "shadow of the square";
    EXPECT_EQ(Hex(cap.at(15, 7)), Hex(shade(15, 7))) << "shadow of the dot";
    EXPECT_EQ(Hex(cap.at(18, 4)), Hex(RGB(255, 255, 255))) << "transparent and unshaded";

    ShadowSprite plain;
    ASSERT_EQ(plain.Load(TestInstance(), IDB_TESTSPRITE, RGB(255, 0, 255), 3, SafeLoadBitmap), 1);
    PatBlt(s.dc, 0, 0, kW, kH, WHITENESS);
    plain.Draw(s.dc, 0, 0, 3);
    EXPECT_EQ(Hex(s.Grab().at(9, 9)), Hex(RGB(0, 0, 0))) << "without a texture the shadow is black";
}

}  // namespace
