#include "host/pixmap.h"

#include <algorithm>

namespace {

uint32_t Pack(uint32_t r, uint32_t g, uint32_t b) {
    return b | g << 8 | r << 16;
}

uint32_t Blend(uint32_t fg, uint32_t bg, uint32_t m) {
    return (fg * m + bg * (255 - m) + 127) / 255;
}

}  // namespace

bool ConvertPixelMap(const HostPixelMap& map, const HostRect32& src, DisplayImage& out) {
    out = DisplayImage{};
    if (map.version < 1 || !map.baseAddr || map.colBytes < 1 || map.planeBytes < 1) return false;
    int32_t top = std::max(src.top, map.top), left = std::max(src.left, map.left);
    int32_t bottom = std::min(src.bottom, map.bottom), right = std::min(src.right, map.right);
    if (bottom <= top || right <= left) return false;
    out.width = right - left;
    out.height = bottom - top;
    out.bgrx.resize(size_t(out.width) * size_t(out.height));
    const auto* base = static_cast<const uint8_t*>(map.baseAddr);
    const HostMaskDescription* mask = map.masks && map.masks->maskData ? map.masks : nullptr;
    bool colour = map.colBytes >= 3 * map.planeBytes;
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
                // Transparent parts show a checkerboard of 8-pixel squares.
                bool light = (((y + map.maskPhaseRow) >> 3) + ((x + map.maskPhaseCol) >> 3)) & 1;
                uint32_t bg = light ? 255 : 204;
                r = Blend(r, bg, m);
                g = Blend(g, bg, m);
                b = Blend(b, bg, m);
            }
            dst[x - left] = Pack(r, g, b);
        }
    }
    return true;
}
