#include "host/buffers.h"

#include <algorithm>
#include <cstring>

namespace {

bool PaddingKnown(int16_t mode) {
    return mode == kPadRepeatEdge || mode == kPadZero || mode == kPadRefuse ||
           (mode >= 0 && mode <= kPadLargestValue);
}

// The source pixel range [first, last] that an extent [lo, hi) of the
// request covers.
void SourceExtent(int32_t lo, int32_t hi, int32_t rate, int64_t& first, int64_t& last) {
    first = SourceCoordinate(lo, rate);
    last = SourceCoordinate(hi - 1, rate);
}

}  // namespace

int32_t PaddedRowBytes(int32_t used) { return ((used + 3) & ~3) + 8; }

int64_t SourceCoordinate(int32_t c, int32_t rate) {
    return (int64_t(c) * rate) >> 16;  // arithmetic shift: floors negatives
}

std::string CheckRequest(const BufferRequest& q, int32_t width, int32_t height, int32_t planes) {
    if (q.area.empty()) return {};
    if (q.loPlane < 0 || q.loPlane > q.hiPlane || q.hiPlane >= planes)
        return "planes " + std::to_string(q.loPlane) + ".." + std::to_string(q.hiPlane) + " of a " +
               std::to_string(planes) + "-plane image";
    int64_t largestRate = int64_t(std::max(width, height)) * kRateOne;
    if (q.rate < kRateOne || q.rate > largestRate)
        return "a sampling rate of " + std::to_string(q.rate) + "/65536 for a " +
               std::to_string(width) + "x" + std::to_string(height) + " image";
    if (!PaddingKnown(q.padding)) return "an unknown padding mode " + std::to_string(q.padding);
    int64_t bytes = int64_t(q.area.width()) * (q.hiPlane - q.loPlane + 1);
    bytes = int64_t(PaddedRowBytes(int32_t(std::min<int64_t>(bytes, kMaxBufferBytes)))) *
            q.area.height();
    if (bytes > kMaxBufferBytes) return "a buffer of " + std::to_string(bytes) + " bytes";
    if (q.padding == kPadRefuse) {
        int64_t x0, x1, y0, y1;
        SourceExtent(q.area.left, q.area.right, q.rate, x0, x1);
        SourceExtent(q.area.top, q.area.bottom, q.rate, y0, y1);
        if (x0 < 0 || y0 < 0 || x1 >= width || y1 >= height)
            return "an area reaching outside the " + std::to_string(width) + "x" +
                   std::to_string(height) + " image";
    }
    return {};
}

void FillBuffer(const Image& image, const BufferRequest& q, HostBuffer& buf) {
    buf.area = q.area;
    buf.loPlane = q.loPlane;
    buf.hiPlane = q.hiPlane;
    buf.rate = q.rate;
    buf.storage.clear();
    buf.rowBytes = 0;
    if (q.area.empty() || q.hiPlane < q.loPlane || image.width <= 0 || image.height <= 0) return;
    int32_t n = q.hiPlane - q.loPlane + 1;
    int32_t used = q.area.width() * n;
    buf.rowBytes = PaddedRowBytes(used);
    buf.storage.assign(size_t(buf.rowBytes) * size_t(q.area.height()), kGuardByte);
    uint8_t fill = q.padding >= 0 ? uint8_t(q.padding) : 0;
    for (int32_t y = 0; y < q.area.height(); ++y) {
        int64_t sy = SourceCoordinate(q.area.top + y, q.rate);
        bool rowOutside = sy < 0 || sy >= image.height;
        uint8_t* row = buf.storage.data() + size_t(y) * size_t(buf.rowBytes);
        for (int32_t x = 0; x < q.area.width(); ++x) {
            int64_t sx = SourceCoordinate(q.area.left + x, q.rate);
            uint8_t* dst = row + size_t(x) * size_t(n);
            bool outside = rowOutside || sx < 0 || sx >= image.width;
            if (outside && q.padding != kPadRepeatEdge) {
                std::memset(dst, fill, size_t(n));
                continue;
            }
            int32_t cx = int32_t(std::clamp<int64_t>(sx, 0, image.width - 1));
            int32_t cy = int32_t(std::clamp<int64_t>(sy, 0, image.height - 1));
            std::memcpy(dst, image.pixel(cx, cy) + q.loPlane, size_t(n));
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
