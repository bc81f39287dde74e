#include "setup/package.h"

#include <cstring>

static uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool SzddExpandedSize(const unsigned char* header, size_t length, uint32_t* size) {
    static const unsigned char kMagic[] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A'};
    if (length < kSzddHeaderSize || memcmp(header, kMagic, sizeof kMagic) != 0) return false;
    *size = Le32(header + 10);
    return true;
}

uint32_t KilobytesUp(uint64_t bytes) {
    uint64_t kb = (bytes + 1023) / 1024;
    return kb > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(kb);
}

bool FindFileVersion(const unsigned char* image, size_t length, uint64_t* version) {
    // The key in UTF-16 with its terminator, then up to three bytes that
    // align the value, then the signature 0xFEEF04BD, the structure
    // version and the file version (MS, LS).
    static const char kKey[] = "VS_VERSION_INFO";
    constexpr size_t kKeyBytes = sizeof kKey * 2;
    for (size_t at = 0; at + kKeyBytes + 3 + 16 <= length; ++at) {
        size_t i = 0;
        while (i < sizeof kKey && image[at + 2 * i] == static_cast<unsigned char>(kKey[i]) &&
               image[at + 2 * i + 1] == 0)
            ++i;
        if (i < sizeof kKey) continue;
        for (size_t pad = 0; pad < 4; ++pad) {
            const unsigned char* value = image + at + kKeyBytes + pad;
            if (Le32(value) != 0xFEEF04BDu) continue;
            *version = (static_cast<uint64_t>(Le32(value + 8)) << 32) | Le32(value + 12);
            return true;
        }
    }
    return false;
}
