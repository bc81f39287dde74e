// The display-pixels callback drawing into a memory device context, checked
// pixel for pixel: interleaved and planar layouts, a selection mask and a
// transparency plane over the checkerboard, clipping, refusals.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "host/display.h"
#include "host/pixmap.h"

namespace {

constexpr uint32_t kUntouched = 0x123456;

// A 32-bit memory bitmap selected into a memory DC, filled with kUntouched.
class MemoryCanvas {
public:
    MemoryCanvas(int w, int h) : w_(w), h_(h) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                   nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < w * h; ++i) bits_[i] = kUntouched;
    }
    ~MemoryCanvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    // 0xRRGGBB
    uint32_t at(int x, int y) const {
        GdiFlush();
        return bits_[y * w_ + x] & 0xFFFFFF;
    }
    int width() const { return w_; }
    int height() const { return h_; }

private:
    int w_, h_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    uint32_t* bits_ = nullptr;
};

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; }

// Light squares of 8 pixels from the map's corner, dark where row and column
// squares differ in parity.
uint32_t Checker(int row, int col) {
    uint32_t grey = ((row / 8) + (col / 8)) % 2 ? 204 : 255;
    return Rgb(grey, grey, grey);
}

uint32_t Over(uint32_t fg, uint32_t bg, uint32_t m) {
    return (fg * m + bg * (255 - m) + 127) / 255;
}

// A w x h RGB(A) picture with per-pixel, per-plane values.
struct Picture {
    int w, h, planes;
    int32_t rowBytes;
    std::vector<uint8_t> bytes;
    Picture(int w_, int h_, int planes_, int32_t padding)
        : w(w_),
          h(h_),
          planes(planes_),
          rowBytes(w_ * planes_ + padding),
          bytes(size_t(rowBytes) * h_, 0xEE) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint8_t* p = &bytes[size_t(y) * rowBytes + size_t(x) * planes];
                p[0] = uint8_t(x * 13 + y);
                p[1] = uint8_t(y * 17 + 5);
                p[2] = uint8_t(x * y + 9);
                if (planes > 3) p[3] = uint8_t((x * 11 + y * 23) % 256);
            }
    }
    const uint8_t* px(int x, int y) const {
        return &bytes[size_t(y) * rowBytes + size_t(x) * planes];
    }
};

HostPixelMap MapOf(Picture& p, int32_t top, int32_t left) {
    HostPixelMap map{};
    map.version = kPixelMapVersion;
    map.top = top;
    map.left = left;
    map.bottom = top + p.h;
    map.right = left + p.w;
    map.imageMode = kImageModeRGB;
    map.rowBytes = p.rowBytes;
    map.colBytes = p.planes;
    map.planeBytes = 1;
    map.baseAddr = p.bytes.data();
    return map;
}

// Everything outside the w x h rectangle at (x0, y0) is untouched.
void ExpectOnlyInside(const MemoryCanvas& c, int x0, int y0, int w, int h) {
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (x < x0 || y < y0 || x >= x0 + w || y >= y0 + h)
                ASSERT_EQ(c.at(x, y), kUntouched) << x << "," << y;
}

TEST(DisplayPixels, DrawsInterleavedPlanesThroughPaddedRowsAtTheGivenPlace) {
    for (int planes : {3, 4}) {
        Picture pic(21, 13, planes, 7);  // odd sizes, rows 7 bytes longer than the pixels
        HostPixelMap map = MapOf(pic, 40, 30);
        HostRect32 src{map.top, map.left, map.bottom, map.right};
        MemoryCanvas canvas(40, 30);
        ASSERT_EQ(DisplayPixels(&map, &src, 6, 5, canvas.dc()), 0);
        for (int y = 0; y < pic.h; ++y)
            for (int x = 0; x < pic.w; ++x) {
                const uint8_t* p = pic.px(x, y);
                ASSERT_EQ(canvas.at(5 + x, 6 + y), Rgb(p[0], p[1], p[2]))
                    << planes << " planes at " << x << "," << y;
            }
        ExpectOnlyInside(canvas, 5, 6, pic.w, pic.h);
    }
}

TEST(DisplayPixels, DrawsPlanarLayoutsThroughPlaneBytes) {
    // Three separate planes one after another: a column is one byte, a plane
    // is a whole w x h block away.
    const int w = 9, h = 5, rowBytes = 12;
    std::vector<uint8_t> planar(size_t(rowBytes) * h * 3, 0);
    for (int plane = 0; plane < 3; ++plane)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                planar[size_t(plane) * rowBytes * h + size_t(y) * rowBytes + x] =
                    uint8_t(plane * 80 + x * 5 + y);
    HostPixelMap map{};
    map.version = kPixelMapVersion;
    map.bottom = h;
    map.right = w;
    map.imageMode = kImageModeRGB;
    map.rowBytes = rowBytes;
    map.colBytes = 1;
    map.planeBytes = rowBytes * h;
    map.baseAddr = planar.data();
    HostRect32 src{0, 0, h, w};
    MemoryCanvas canvas(12, 8);
    ASSERT_EQ(DisplayPixels(&map, &src, 1, 2, canvas.dc()), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(canvas.at(2 + x, 1 + y), Rgb(x * 5 + y, 80 + x * 5 + y, 160 + x * 5 + y))
                << x << "," << y;
    ExpectOnlyInside(canvas, 2, 1, w, h);
}

TEST(DisplayPixels, CompositesASelectionMaskOverTheCheckerboard) {
    Picture pic(19, 11, 3, 1);
    // The mask has its own stride; values sweep from clear to opaque.
    const int32_t maskRow = 24;
    std::vector<uint8_t> mask(size_t(maskRow) * pic.h);
    for (int y = 0; y < pic.h; ++y)
        for (int x = 0; x < pic.w; ++x)
            mask[size_t(y) * maskRow + x] = uint8_t((x * 14 + y * 3) % 256);
    mask[0] = 0;    // fully clear: the light square shows
    mask[9] = 0;    // column 9 lies in the second square: dark
    mask[1] = 255;  // fully opaque: the pixel itself
    HostMaskDescription desc{nullptr, mask.data(), maskRow, 1, 0};
    HostPixelMap map = MapOf(pic, 3, 4);
    map.masks = &desc;
    HostRect32 src{map.top, map.left, map.bottom, map.right};
    MemoryCanvas canvas(24, 14);
    ASSERT_EQ(DisplayPixels(&map, &src, 0, 0, canvas.dc()), 0);
    EXPECT_EQ(canvas.at(0, 0), Rgb(255, 255, 255));
    EXPECT_EQ(canvas.at(9, 0), Rgb(204, 204, 204));
    EXPECT_EQ(canvas.at(1, 0), Rgb(pic.px(1, 0)[0], pic.px(1, 0)[1], pic.px(1, 0)[2]));
    for (int y = 0; y < pic.h; ++y)
        for (int x = 0; x < pic.w; ++x) {
            uint32_t m = mask[size_t(y) * maskRow + x], bg = Checker(y, x) & 255;
            const uint8_t* p = pic.px(x, y);
            ASSERT_EQ(canvas.at(x, y), Rgb(Over(p[0], bg, m), Over(p[1], bg, m), Over(p[2], bg, m)))
                << x << "," << y;
        }
    ExpectOnlyInside(canvas, 0, 0, pic.w, pic.h);
}

TEST(DisplayPixels, CompositesTheTransparencyPlaneOverTheCheckerboard) {
    // As the preview hands it over: the mask is the output's own fourth
    // plane, a column of four bytes apart, rows the output's stride apart.
    Picture pic(17, 10, 4, 3);
    HostMaskDescription desc{nullptr, pic.bytes.data() + 3, pic.rowBytes, 4, 0};
    HostPixelMap map = MapOf(pic, 0, 0);
    map.masks = &desc;
    map.maskPhaseRow = 4;  // the checkerboard moves by the phase
    HostRect32 src{0, 0, pic.h, pic.w};
    MemoryCanvas canvas(20, 12);
    ASSERT_EQ(DisplayPixels(&map, &src, 2, 3, canvas.dc()), 0);
    for (int y = 0; y < pic.h; ++y)
        for (int x = 0; x < pic.w; ++x) {
            const uint8_t* p = pic.px(x, y);
            uint32_t bg = Checker(y + 4, x) & 255;
            ASSERT_EQ(canvas.at(3 + x, 2 + y),
                      Rgb(Over(p[0], bg, p[3]), Over(p[1], bg, p[3]), Over(p[2], bg, p[3])))
                << x << "," << y;
        }
    ExpectOnlyInside(canvas, 3, 2, pic.w, pic.h);
}

TEST(DisplayPixels, ClipsTheSourceRectangleToTheBounds) {
    Picture pic(6, 4, 3, 0);
    HostPixelMap map = MapOf(pic, 10, 20);
    // Starts two columns and one row before the bounds: the drawn part moves
    // along with it, so every pixel lands where the whole rectangle puts it.
    HostRect32 src{9, 18, 12, 23};
    MemoryCanvas canvas(12, 8);
    ASSERT_EQ(DisplayPixels(&map, &src, 0, 0, canvas.dc()), 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const uint8_t* p = pic.px(x, y);
            ASSERT_EQ(canvas.at(2 + x, 1 + y), Rgb(p[0], p[1], p[2])) << x << "," << y;
        }
    ExpectOnlyInside(canvas, 2, 1, 3, 2);
}

TEST(DisplayPixels, RefusesUnusableArgumentsAndDrawsNothing) {
    Picture pic(4, 4, 3, 0);
    HostPixelMap good = MapOf(pic, 0, 0);
    HostRect32 src{0, 0, 4, 4};
    MemoryCanvas canvas(8, 8);
    HostPixelMap noBase = good, version2 = good, noColumns = good, badMask = good;
    noBase.baseAddr = nullptr;
    version2.version = 2;
    noColumns.colBytes = 0;
    uint8_t m[16] = {};
    HostMaskDescription zeroColumns{nullptr, m, 4, 0, 0};
    badMask.masks = &zeroColumns;
    HostRect32 outside{10, 10, 12, 12};
    EXPECT_EQ(DisplayPixels(nullptr, &src, 0, 0, canvas.dc()), -1);
    EXPECT_EQ(DisplayPixels(&good, nullptr, 0, 0, canvas.dc()), -1);
    EXPECT_EQ(DisplayPixels(&good, &src, 0, 0, nullptr), -1);
    EXPECT_EQ(DisplayPixels(&noBase, &src, 0, 0, canvas.dc()), -1);
    EXPECT_EQ(DisplayPixels(&version2, &src, 0, 0, canvas.dc()), -1);
    EXPECT_EQ(DisplayPixels(&noColumns, &src, 0, 0, canvas.dc()), -1);
    EXPECT_EQ(DisplayPixels(&badMask, &src, 0, 0, canvas.dc()), -1);
    EXPECT_EQ(DisplayPixels(&good, &outside, 0, 0, canvas.dc()), -1);
    ExpectOnlyInside(canvas, 0, 0, 0, 0);
}

}  // namespace
