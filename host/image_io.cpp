#include "host/image_io.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <vector>

namespace {

std::wstring Wide(const std::string& s) {
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), n);
    return w;
}

bool FindEncoder(const std::wstring& mime, CLSID& clsid) {
    UINT count = 0, bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
    std::vector<uint8_t> store(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(store.data());
    if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (mime == codecs[i].MimeType) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

ImageCodecs::ImageCodecs() {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) token_ = token;
}

ImageCodecs::~ImageCodecs() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
}

std::string EncoderTypeForPath(const std::string& path) {
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "png") return "image/png";
    if (ext == "bmp") return "image/bmp";
    if (ext == "jpg" || ext == "jpeg") return "image/jpeg";
    if (ext == "tif" || ext == "tiff") return "image/tiff";
    return {};
}

bool LoadImageFile(const std::string& path, Image& image, std::string& error) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "no such image file";
        return false;
    }
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(Wide(path).c_str());
    if (bitmap->GetLastStatus() != Gdiplus::Ok || bitmap->GetWidth() == 0 ||
        bitmap->GetHeight() == 0) {
        error = "not a readable PNG, BMP, JPEG or TIFF image";
        return false;
    }
    int32_t w = int32_t(bitmap->GetWidth()), h = int32_t(bitmap->GetHeight());
    if (w > 32767 || h > 32767) {
        // Host areas are 16-bit.
        error = "image larger than 32767 pixels on a side";
        return false;
    }
    bool alpha = Gdiplus::IsAlphaPixelFormat(bitmap->GetPixelFormat()) != FALSE;
    Gdiplus::Rect rect(0, 0, w, h);
    Gdiplus::BitmapData data{};
    if (bitmap->LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok) {
        error = "cannot decode the image's pixels";
        return false;
    }
    image = Image(w, h, alpha);
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* src = static_cast<const uint8_t*>(data.Scan0) + ptrdiff_t(y) * data.Stride;
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* d = image.pixel(x, y);
            d[0] = src[4 * x + 2];
            d[1] = src[4 * x + 1];
            d[2] = src[4 * x + 0];
            d[3] = alpha ? src[4 * x + 3] : 255;
        }
    }
    bitmap->UnlockBits(&data);
    return true;
}

bool SaveImageFile(const Image& image, const std::string& path, const std::string& formatPath,
                   std::string& error) {
    std::string mime = EncoderTypeForPath(formatPath);
    CLSID clsid;
    if (mime.empty() || !FindEncoder(Wide(mime), clsid)) {
        error = "unknown output format (use .png, .bmp, .jpg or .tif)";
        return false;
    }
    bool keepAlpha = image.alpha && (mime == "image/png" || mime == "image/tiff");
    Gdiplus::Bitmap bitmap(image.width, image.height,
                           keepAlpha ? PixelFormat32bppARGB : PixelFormat24bppRGB);
    Gdiplus::Rect rect(0, 0, image.width, image.height);
    Gdiplus::BitmapData data{};
    if (bitmap.GetLastStatus() != Gdiplus::Ok ||
        bitmap.LockBits(&rect, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) !=
            Gdiplus::Ok) {
        error = "out of memory for the output image";
        return false;
    }
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* dst = static_cast<uint8_t*>(data.Scan0) + ptrdiff_t(y) * data.Stride;
        for (int32_t x = 0; x < image.width; ++x) {
            const uint8_t* s = image.pixel(x, y);
            dst[4 * x + 0] = s[2];
            dst[4 * x + 1] = s[1];
            dst[4 * x + 2] = s[0];
            dst[4 * x + 3] = keepAlpha ? s[3] : 255;
        }
    }
    bitmap.UnlockBits(&data);
    Gdiplus::EncoderParameters* params = nullptr;
    Gdiplus::EncoderParameters quality;
    ULONG q = 95;
    if (mime == "image/jpeg") {
        quality.Count = 1;
        quality.Parameter[0].Guid = Gdiplus::EncoderQuality;
        quality.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
        quality.Parameter[0].NumberOfValues = 1;
        quality.Parameter[0].Value = &q;
        params = &quality;
    }
    if (bitmap.Save(Wide(path).c_str(), &clsid, params) != Gdiplus::Ok) {
        error = "cannot write the image file";
        return false;
    }
    return true;
}
