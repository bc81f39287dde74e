// The buffers the host hands to a plug-in: a rectangle of the image, some of
// its planes interleaved per pixel, 8 bits a sample, rows a padded stride
// apart. The padding carries a guard pattern so that a plug-in writing past
// the end of its rows is noticed.
//
// Areas may be requested in reduced coordinates: with a sampling rate r
// (16.16 fixed point), buffer pixel (x, y) of area a is image pixel
// ((a.left + x) * r, (a.top + y) * r), truncated: one source pixel, the
// top-left one, for every r x r block. What a pixel outside the image holds
// is the request's padding mode. No Win32 here.
#pragma once
#include <cstdint>
#include <string>
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
constexpr int32_t kRowAlignment = 4;   // rows start on 4-byte boundaries
constexpr int32_t kRowGuardBytes = 8;  // guard bytes after every row's pixels

// Edge padding modes, as the plug-in writes them into the record. Values
// 0..255 pad with that sample value.
constexpr int16_t kPadRepeatEdge = -1;  // outside pixels repeat the nearest edge pixel
constexpr int16_t kPadZero = -2;        // no padding wanted: outside samples are 0
constexpr int16_t kPadRefuse = -3;      // a request reaching outside the image is refused
constexpr int16_t kPadLargestValue = 255;

// The most a single buffer may take; larger requests are refused, not tried.
constexpr int64_t kMaxBufferBytes = int64_t(1) << 30;

// What the plug-in asks for in one buffer.
struct BufferRequest {
    Area area;
    int32_t loPlane = 0, hiPlane = -1;
    int32_t rate = kRateOne;
    int16_t padding = kPadRepeatEdge;
};

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

// Why `request` cannot be served from an image of width x height with
// `planes` planes, or empty when it can. An empty area asks for nothing and
// is always servable. Refused: planes outside the image's, a rate below 1.0
// or one whose blocks are larger than the image, an unknown padding mode, an
// area reaching outside the image when the padding mode refuses that, and a
// buffer larger than kMaxBufferBytes.
std::string CheckRequest(const BufferRequest& request, int32_t width, int32_t height,
                         int32_t planes);

// Fills `buf` with planes lo..hi of `image` for the request (which must have
// passed CheckRequest). An empty area or plane range leaves the buffer empty.
void FillBuffer(const Image& image, const BufferRequest& request, HostBuffer& buf);

// Writes a full-resolution output buffer back into `image`, limited to `clip`
// (the filter area) and the image. With a mask (grey, same size as the
// image) each sample moves from the original toward the result by mask/255.
// Buffers of reduced samples are never written back.
void WriteBack(const HostBuffer& buf, const Area& clip, const Image* mask, Image& image);

// True when every padding byte past the used part of each row still holds the
// guard pattern.
bool GuardsIntact(const HostBuffer& buf);

// Image coordinate of buffer coordinate c at sampling rate r, unclamped.
int64_t SourceCoordinate(int32_t c, int32_t rate);
