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

// Converts the part `src` of `map` (clipped to its bounds). Pixel maps with
// one sample per pixel are shown grey; with a mask, pixels are blended over a
// checkerboard by the mask value. False when the map is unusable.
bool ConvertPixelMap(const HostPixelMap& map, const HostRect32& src, DisplayImage& out);
