#include "host/pixmap.h"

#include <algorithm>

namespace {

constexpr int32_t kMaskOpaque = 255;

uint32_t Pack(uint32_t r, uint32_t g, uint32_t b) { return b | g << 8 | r << 16; }

// fg over bg with coverage m / 255, rounded to nearest.
uint32_t Blend(uint32_t fg, uint32_t bg, uint32_t m) {
    return (fg * m + bg * (kMaskOpaque - m) + kMaskOpaque / 2) / kMaskOpaque;
}

}  // namespace

bool ConvertPixelMap(const HostPixelMap& map, const HostRect32& src, DisplayImage& out) {
    out = DisplayImage{};
    if (map.version != kPixelMapVersion || !map.baseAddr || map.colBytes < 1 || map.planeBytes < 1)
        return false;
    int32_t top = std::max(src.top, map.top), left = std::max(src.left, map.left);
    int32_t bottom = std::min(src.bottom, map.bottom), right = std::min(src.right, map.right);
    if (bottom <= top || right <= left) return false;
    out.width = right - left;
    out.height = bottom - top;
    out.bgrx.resize(size_t(out.width) * size_t(out.height));
    const auto* base = static_cast<const uint8_t*>(map.baseAddr);
    const HostMaskDescription* mask = map.masks && map.masks->maskData ? map.masks : nullptr;
    if (mask && mask->colBytes < 1) return false;
    bool colour = map.imageMode == kImageModeRGB;
    for (int32_t y = top; y < bottom; ++y) {
        const uint8_t* row = base + ptrdiff_t(y - map.top) * map.rowBytes;
        const uint8_t* mrow = mask ? static_cast<const uint8_t*>(mask->maskData) +
                                         ptrdiff_t(y - map.top) * mask->rowBytes
                                   : nullptr;
        uint32_t* dst = out.bgrx.data() + size_t(y - top) * size_t(out.width);
        for (int32_t x = left; x < right; ++x) {
            const uint8_t* p = row + ptrdiff_t(x - map.left) * map.colBytes;
            uint32_t r = p[0], g = r, b = r;
            if (colour) {
                g = p[map.planeBytes];
                b = p[2 * map.planeBytes];
            }
            if (mrow) {
                uint32_t m = mrow[ptrdiff_t(x - map.left) * mask->colBytes];
                uint32_t bg = CheckerboardGrey(y - map.top + map.maskPhaseRow,
                                               x - map.left + map.maskPhaseCol);
                r = Blend(r, bg, m);
                g = Blend(g, bg, m);
                b = Blend(b, bg, m);
            }
            dst[x - left] = Pack(r, g, b);
        }
    }
    return true;
}

uint8_t CheckerboardGrey(int32_t row, int32_t column) {
    // Floor division, so squares keep their size across negative phases.
    auto square = [](int32_t c) {
        return c >= 0 ? c / kCheckerSquare : -((-c + kCheckerSquare - 1) / kCheckerSquare);
    };
    return (square(row) + square(column)) & 1 ? kCheckerDark : kCheckerLight;
}
