// The buffers the host hands to a plug-in: a rectangle of the image, some of
// its planes interleaved per pixel, 8 bits a sample, rows a padded stride
// apart. The padding carries a guard pattern so that a plug-in writing past
// the end of its rows is noticed.
//
// Areas may be requested in reduced coordinates: with a sampling rate r
// (16.16 fixed point), buffer pixel (x, y) of area a is image pixel
// ((a.left + x) * r, (a.top + y) * r), truncated. Pixels that fall outside the
// image repeat its nearest edge pixel.
#pragma once
#include <cstdint>
#include <vector>

#include "host/image.h"

// top, left, bottom, right as in the host record; right and bottom exclusive.
struct Area {
    int32_t top = 0, left = 0, bottom = 0, right = 0;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool operator==(const Area&) const = default;
};

constexpr int32_t kRateOne = 0x10000;
constexpr uint8_t kGuardByte = 0xA5;

struct HostBuffer {
    Area area;
    int32_t loPlane = 0, hiPlane = -1;
    int32_t rate = kRateOne;
    int32_t rowBytes = 0;
    std::vector<uint8_t> storage;

    int32_t planes() const { return hiPlane - loPlane + 1; }
    uint8_t* data() { return storage.empty() ? nullptr : storage.data(); }
    const uint8_t* data() const { return storage.empty() ? nullptr : storage.data(); }
};

// Row stride for rows of `used` bytes: rounded up to 4 and then a further
// 8 guard bytes, so no row ever ends where the next begins.
int32_t PaddedRowBytes(int32_t used);

// Fills `buf` with planes lo..hi of `image` for `area` at sampling rate
// `rate`. An empty area or plane range leaves the buffer empty.
void FillBuffer(const Image& image, const Area& area, int32_t lo, int32_t hi, int32_t rate,
                HostBuffer& buf);

// Writes a full-resolution output buffer back into `image`, limited to `clip`
// (the filter area) and the image. With a mask (grey, same size as the
// image) each sample moves from the original toward the result by mask/255.
// Buffers of reduced samples are never written back.
void WriteBack(const HostBuffer& buf, const Area& clip, const Image* mask, Image& image);

// True when every padding byte past the used part of each row still holds the
// guard pattern.
bool GuardsIntact(const HostBuffer& buf);

// Image coordinate of buffer coordinate c at sampling rate r, clamped to
// 0 .. limit - 1.
int32_t SampleCoordinate(int32_t c, int32_t rate, int32_t limit);
