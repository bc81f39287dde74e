// An image as the host keeps it in memory: 8-bit RGBA, rows top to bottom,
// no padding. Images without transparency carry 255 in the alpha samples.
#pragma once
#include <cstdint>
#include <vector>

struct Image {
    int32_t width = 0;
    int32_t height = 0;
    bool alpha = false;  // the image has a transparency plane (4 planes)
    std::vector<uint8_t> rgba;

    Image() = default;
    Image(int32_t w, int32_t h, bool withAlpha)
        : width(w), height(h), alpha(withAlpha), rgba(size_t(w) * size_t(h) * 4, 0) {}
    int32_t planes() const { return alpha ? 4 : 3; }
    uint8_t* pixel(int32_t x, int32_t y) {
        return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
    }
    const uint8_t* pixel(int32_t x, int32_t y) const {
        return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
    }
};
