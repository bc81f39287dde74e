#include "host/display.h"

#include <windows.h>

#include "host/pixmap.h"

namespace {

constexpr int16_t kDisplayDone = 0;
constexpr int16_t kDisplayRefused = -1;

}  // namespace

int16_t __cdecl DisplayPixels(const HostPixelMap* source, const HostRect32* srcRect, int32_t dstRow,
                              int32_t dstCol, void* dc) {
    if (!source || !srcRect || !dc) return kDisplayRefused;
    DisplayImage image;
    if (!ConvertPixelMap(*source, *srcRect, image)) return kDisplayRefused;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // The destination is where the source rectangle's clipped corner lands.
    int32_t x = dstCol + (srcRect->left < source->left ? source->left - srcRect->left : 0);
    int32_t y = dstRow + (srcRect->top < source->top ? source->top - srcRect->top : 0);
    int lines =
        StretchDIBits(static_cast<HDC>(dc), x, y, image.width, image.height, 0, 0, image.width,
                      image.height, image.bgrx.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    return lines == 0 ? kDisplayRefused : kDisplayDone;
}
