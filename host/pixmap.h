// Turning the pixel map a plug-in hands to the display-pixels callback into
// 32-bit top-down BGRX rows that GDI can draw. No Win32 here.
#pragma once
#include <cstdint>
#include <vector>

#include "interface/host_record.h"

struct DisplayImage {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> bgrx;  // width * height, row after row
};

// The host's image modes: what the record's image mode and a pixel map's
// mode say about the planes.
constexpr int16_t kImageModeGrey = 1;
constexpr int16_t kImageModeRGB = 3;
constexpr int32_t kPixelMapVersion = 1;

// Transparent parts of a pixel map show a checkerboard of light and dark
// grey squares, as image editors show transparency. Its squares start at the
// pixel map's top-left corner, moved by the map's mask phase.
constexpr int32_t kCheckerSquare = 8;
constexpr uint8_t kCheckerLight = 255;
constexpr uint8_t kCheckerDark = 204;

// The checkerboard's grey at row, column of the pixel map (from its corner).
uint8_t CheckerboardGrey(int32_t row, int32_t column);

// Converts the part `src` of `map` (clipped to its bounds). RGB maps take
// their three planes plane bytes apart; other modes are shown grey. Rows,
// columns and planes are found through the map's row, column and plane
// bytes, so interleaved and planar layouts both work. A mask description (a
// selection mask, or the map's own transparency plane) blends every pixel
// over the checkerboard by its mask value. False when the map is unusable.
bool ConvertPixelMap(const HostPixelMap& map, const HostRect32& src, DisplayImage& out);
