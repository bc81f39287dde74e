#include "host/buffers.h"

#include <algorithm>
#include <cstring>

int32_t PaddedRowBytes(int32_t used) { return ((used + 3) & ~3) + 8; }

int32_t SampleCoordinate(int32_t c, int32_t rate, int32_t limit) {
    int64_t v = (int64_t(c) * rate) >> 16;  // arithmetic shift: floors negatives
    if (v < 0) v = 0;
    if (v > limit - 1) v = limit - 1;
    return int32_t(v);
}

void FillBuffer(const Image& image, const Area& area, int32_t lo, int32_t hi, int32_t rate,
                HostBuffer& buf) {
    buf.area = area;
    buf.loPlane = lo;
    buf.hiPlane = hi;
    buf.rate = rate;
    buf.storage.clear();
    buf.rowBytes = 0;
    if (area.empty() || hi < lo || image.width <= 0 || image.height <= 0) return;
    int32_t n = hi - lo + 1;
    int32_t used = area.width() * n;
    buf.rowBytes = PaddedRowBytes(used);
    buf.storage.assign(size_t(buf.rowBytes) * size_t(area.height()), kGuardByte);
    for (int32_t y = 0; y < area.height(); ++y) {
        int32_t sy = SampleCoordinate(area.top + y, rate, image.height);
        uint8_t* row = buf.storage.data() + size_t(y) * size_t(buf.rowBytes);
        for (int32_t x = 0; x < area.width(); ++x) {
            int32_t sx = SampleCoordinate(area.left + x, rate, image.width);
            std::memcpy(row + size_t(x) * size_t(n), image.pixel(sx, sy) + lo, size_t(n));
        }
    }
}

void WriteBack(const HostBuffer& buf, const Area& clip, const Image* mask, Image& image) {
    if (buf.storage.empty() || buf.rate != kRateOne) return;
    int32_t n = buf.planes();
    int32_t top = std::max({buf.area.top, clip.top, 0});
    int32_t left = std::max({buf.area.left, clip.left, 0});
    int32_t bottom = std::min({buf.area.bottom, clip.bottom, image.height});
    int32_t right = std::min({buf.area.right, clip.right, image.width});
    for (int32_t y = top; y < bottom; ++y) {
        const uint8_t* row = buf.storage.data() + size_t(y - buf.area.top) * size_t(buf.rowBytes);
        for (int32_t x = left; x < right; ++x) {
            const uint8_t* src = row + size_t(x - buf.area.left) * size_t(n);
            uint8_t* dst = image.pixel(x, y) + buf.loPlane;
            if (!mask) {
                std::memcpy(dst, src, size_t(n));
                continue;
            }
            int32_t m = mask->pixel(x, y)[0];
            for (int32_t p = 0; p < n; ++p) {
                int32_t delta = int32_t(src[p]) - int32_t(dst[p]);
                // Rounded to nearest, symmetric for negative differences.
                int32_t step = (delta * m + (delta >= 0 ? 127 : -127)) / 255;
                dst[p] = uint8_t(dst[p] + step);
            }
        }
    }
}

bool GuardsIntact(const HostBuffer& buf) {
    if (buf.storage.empty()) return true;
    size_t used = size_t(buf.area.width()) * size_t(buf.planes());
    for (int32_t y = 0; y < buf.area.height(); ++y) {
        const uint8_t* row = buf.storage.data() + size_t(y) * size_t(buf.rowBytes);
        for (size_t i = used; i < size_t(buf.rowBytes); ++i)
            if (row[i] != kGuardByte) return false;
    }
    return true;
}
