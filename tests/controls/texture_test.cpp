// DIB textures and textured dialogs, checked pixel by pixel against the
// test texture's own definition (testtex.asm).
#include <gtest/gtest.h>

#include <algorithm>

#include "controls/controls.h"
#include "tests/controls/environment.h"

namespace {

constexpr int kTexW = 32, kTexH = 16;

int TexIndex(int x, int y) { return (x * 5 + y * 17) & 255; }
COLORREF TexColour(int i) { return RGB(i, (i * 7) & 255, 255 - i); }
int Bright(int k) { return std::min(40 + k + k / 2, 255); }
int Dark(int k) { return std::max(k - 60, 0); }

COLORREF Version(COLORREF c, int index) {
    if (index == DIBTex::kNormal) return c;
    auto f = index == DIBTex::kHighlight ? Bright : Dark;
    return RGB(f(GetRValue(c)), f(GetGValue(c)), f(GetBValue(c)));
}

// Texture colour at texture coordinate (x, y) in version `index`.
COLORREF Expected(int x, int y, int index) {
    int tx = ((x % kTexW) + kTexW) % kTexW, ty = ((y % kTexH) + kTexH) % kTexH;
    return Version(TexColour(TexIndex(tx, ty)), index);
}

TEST(TexturePalettes, BrightAndDarkChannelsFollowTheTable) {
    const struct {
        int k, bright, dark;
    } rows[] = {{0, 40, 0},     {40, 100, 0},   {60, 130, 0},   {61, 131, 1},
                {143, 254, 83}, {144, 255, 84}, {150, 255, 90}, {255, 255, 195}};
    HGLOBAL normal = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1068);
    auto* info = static_cast<BITMAPINFO*>(GlobalLock(normal));
    info->bmiHeader.biSize = 40;
    for (int i = 0; i < 8; i++)
        info->bmiColors[i] = RGBQUAD{BYTE(rows[i].k), BYTE(rows[i].k), BYTE(rows[i].k), 7};
    GlobalUnlock(normal);
    HGLOBAL bright = DIBTex::HilightPal(normal, 40, 2);
    HGLOBAL dark = DIBTex::ShadowPal(normal, 60);
    auto* b = static_cast<BITMAPINFO*>(GlobalLock(bright));
    auto* d = static_cast<BITMAPINFO*>(GlobalLock(dark));
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(b->bmiColors[i].rgbRed, rows[i].bright) << rows[i].k;
        EXPECT_EQ(b->bmiColors[i].rgbBlue, rows[i].bright) << rows[i].k;
        EXPECT_EQ(d->bmiColors[i].rgbGreen, rows[i].dark) << rows[i].k;
        EXPECT_EQ(b->bmiColors[i].rgbReserved, 7) << "the fourth byte is copied";
    }
    GlobalUnlock(bright);
    GlobalUnlock(dark);
    GlobalFree(bright);
    GlobalFree(dark);
    GlobalFree(normal);
}

TEST(DIBTexture, BuildsThreeVersionsOfEveryPixel) {
    DIBTex tex(TestInstance(), IDB_TESTTEX);
    ASSERT_EQ(tex.width, kTexW);
    ASSERT_EQ(tex.height, kTexH);
    ASSERT_NE(tex.palette, nullptr);
    PALETTEENTRY last = {1, 1, 1, 1}, first = {};
    GetPaletteEntries(tex.palette, 255, 1, &last);
    GetPaletteEntries(tex.palette, 0, 1, &first);
    EXPECT_EQ(RGB(last.peRed, last.peGreen, last.peBlue), RGB(0, 0, 0)) << "entry 255 is black";
    EXPECT_EQ(RGB(first.peRed, first.peGreen, first.peBlue), TexColour(0));

    for (int index : {DIBTex::kShadow, DIBTex::kNormal, DIBTex::kHighlight}) {
        Capture cap = CaptureBitmap(tex.bitmaps[index]);
        int wrong = 0;
        for (int y = 0; y < kTexH; y++)
            for (int x = 0; x < kTexW; x++) wrong += cap.at(x, y) != Expected(x, y, index);
        EXPECT_EQ(wrong, 0) << "version " << index;
    }
}

TEST(DIBTexture, MissingOrUnsupportedResourceGivesAnEmptyTexture) {
    for (const char* name : {"NoSuchBitmap", "OKButton" /* 4 bits per pixel */}) {
        DIBTex tex(TestInstance(), name);
        EXPECT_EQ(tex.width, 0) << name;
        EXPECT_EQ(tex.bitmaps[1], nullptr) << name;
        RECT r = {0, 0, 10, 10};
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(tex.TexMap(screen, 0, 0, &r, 1, SRCCOPY), 0) << name;
        ReleaseDC(nullptr, screen);
    }
}

// A rectangle with edges inside tiles gets exactly the tiles that touch it,
// each whole, shifted by the offset.
TEST(DIBTexture, TilingCoversIntersectingTilesWholeWithTheOffset) {
    DIBTex tex(TestInstance(), IDB_TESTTEX);
    const int W = 120, H = 60, xo = 5, yo = 3;
    const RECT r = {40, 20, 75, 30};
    Surface s(W, H);
    PatBlt(s.dc, 0, 0, W, H, WHITENESS);
    EXPECT_EQ(tex.TexMap(s.dc, xo, yo, &r, DIBTex::kNormal, SRCCOPY), 1);
    Capture cap = s.Grab();
    // Columns 1..2 and rows 1..2 of the shifted grid intersect r.
    const RECT covered = {1 * kTexW - xo, 1 * kTexH - yo, 3 * kTexW - xo, 3 * kTexH - yo};
    int wrongInside = 0, wrongOutside = 0;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            POINT p = {x, y};
            if (PtInRect(&covered, p))
                wrongInside += cap.at(x, y) != Expected(x + xo, y + yo, DIBTex::kNormal);
            else wrongOutside += cap.at(x, y) != RGB(255, 255, 255);
        }
    EXPECT_EQ(wrongInside, 0);
    EXPECT_EQ(wrongOutside, 0);
}

TEST(TexturedDialog, ClientAndBevelContinueOneTexture) {
    HWND dialog = OpenDialog(IDD_TEXONLY);
    ASSERT_NE(dialog, nullptr);
    HWND control = static_cast<HWND>(GetPropA(dialog, "OBTexDlg"));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), dialog);
    DIBTex* tex = DlgTexture(dialog);
    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(tex->width, kTexW);
    EXPECT_EQ(GetWindowLongPtrA(dialog, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(Tex_SubclassProc));

    RECT wr, cr;
    GetWindowRect(dialog, &wr);
    GetClientRect(dialog, &cr);
    POINT origin = {0, 0};
    ClientToScreen(dialog, &origin);
    const int W = wr.right - wr.left, H = wr.bottom - wr.top;
    const int b = (W - cr.right) / 2, cx = origin.x - wr.left, cy = origin.y - wr.top;
    ASSERT_GE(b, 2);
    Capture cap = CaptureWindow(dialog);

    int wrongClient = 0;
    for (int y = cy; y < cy + cr.bottom; y++)
        for (int x = cx; x < cx + cr.right; x++)
            wrongClient += cap.at(x, y) != Expected(x, y, DIBTex::kNormal);
    EXPECT_EQ(wrongClient, 0) << "client area continues the frame's texture grid";

    // Bands of width b; one pixel either side of each mitre diagonal is left
    // unchecked.
    int wrongTop = 0, wrongBottom = 0, wrongLeft = 0, wrongRight = 0, checked = 0;
    for (int y = 0; y < b; y++)
        for (int x = y + 1; x <= W - y - 2; x++, checked++)
            wrongTop += cap.at(x, y) != Expected(x, y, DIBTex::kHighlight);
    for (int y = H - b; y < H; y++)
        for (int x = H - y + 1; x <= W - (H - y) - 2; x++, checked++)
            wrongBottom += cap.at(x, y) != Expected(x, y, DIBTex::kShadow);
    for (int x = 0; x < b; x++)
        for (int y = x + 1; y <= H - x - 2; y++, checked++)
            wrongLeft += cap.at(x, y) != Expected(x, y, DIBTex::kHighlight);
    for (int x = W - b; x < W; x++)
        for (int y = W - x + 1; y <= H - (W - x) - 2; y++, checked++)
            wrongRight += cap.at(x, y) != Expected(x, y, DIBTex::kShadow);
    EXPECT_EQ(wrongTop, 0);
    EXPECT_EQ(wrongBottom, 0);
    EXPECT_EQ(wrongLeft, 0);
    EXPECT_EQ(wrongRight, 0);
    EXPECT_GT(checked, 2 * b * (W + H) - 8 * b * b);
    // The mitre: at the top right, the top row is bright up to the corner while
    // the right band below the diagonal is dark.
    EXPECT_EQ(Hex(cap.at(W - 3, 0)), Hex(Expected(W - 3, 0, DIBTex::kHighlight)));
    EXPECT_EQ(Hex(cap.at(W - 1, 3)), Hex(Expected(W - 1, 3, DIBTex::kShadow)));
    // Just inside the band the standard frame and caption remain.
    EXPECT_NE(Hex(cap.at(W / 2, b)), Hex(Expected(W / 2, b, DIBTex::kHighlight)));

    // The texture control gives everything back when it goes.
    DestroyWindow(control);
    EXPECT_NE(GetWindowLongPtrA(dialog, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(Tex_SubclassProc));
    EXPECT_EQ(GetPropA(dialog, "OBTexDlg"), nullptr);
    EXPECT_EQ(GetPropA(dialog, "DIBTexPtr"), nullptr);
    EXPECT_EQ(DlgTexture(dialog), nullptr);
    DestroyWindow(dialog);
}

TEST(TexturedDialog, TextureRegistryStoresReplacesAndClears) {
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                TestInstance(), nullptr);
    DIBTex *a = reinterpret_cast<DIBTex*>(0x1000), *b = reinterpret_cast<DIBTex*>(0x2000);
    EXPECT_EQ(DlgTexture(window), nullptr);
    EXPECT_EQ(SetDlgDIBTex(window, a), 1);
    EXPECT_EQ(DlgTexture(window), a);
    EXPECT_EQ(SetDlgDIBTex(window, b), 1);
    EXPECT_EQ(DlgTexture(window), b);
    EXPECT_EQ(SetDlgDIBTex(window, nullptr), 1);
    EXPECT_EQ(DlgTexture(window), nullptr);
    DestroyWindow(window);
    EXPECT_EQ(SetDlgDIBTex(window, a), 0) << "a window that no longer exists";
    EXPECT_EQ(DlgTexture(window), nullptr);
}

}  // namespace
