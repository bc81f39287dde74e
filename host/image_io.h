// Reading and writing image files (PNG, BMP, JPEG, TIFF) through GDI+.
#pragma once
#include <string>

#include "host/image.h"

// Starts GDI+ for the life of the object; image functions need one alive.
class ImageCodecs {
public:
    ImageCodecs();
    ~ImageCodecs();
    ImageCodecs(const ImageCodecs&) = delete;
    ImageCodecs& operator=(const ImageCodecs&) = delete;
    bool ok() const { return token_ != 0; }

private:
    unsigned long token_ = 0;
};

// Loads `path`; on failure returns false with a reason in `error`.
bool LoadImageFile(const std::string& path, Image& image, std::string& error);

// Writes `image` to `path` in the format `formatPath`'s extension names
// (.png, .bmp, .jpg/.jpeg, .tif/.tiff). Only PNG and TIFF keep alpha.
bool SaveImageFile(const Image& image, const std::string& path, const std::string& formatPath,
                   std::string& error);

// The MIME type for an output name, or empty when the extension is unknown.
std::string EncoderTypeForPath(const std::string& path);
