#include "host/pipl.h"

#include <cctype>
#include <cstring>

#include "interface/property_list.h"

namespace {

// The host code this host answers to, in "host" properties.
constexpr uint32_t kThisHost = FourCC("LMHS");
// Offsets inside one property header: vendor, key, id, data length.
constexpr size_t kKeyOffset = 4;
constexpr size_t kLengthOffset = 12;
// The property list's count sits after the int16 marker and int32 version.
constexpr size_t kCountOffset = 6;
constexpr uint16_t kPropertyListMarker = 1;

uint32_t ReadU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// A length byte, the characters, usually a NUL; bounded by the slot.
std::string PascalString(const uint8_t* p, size_t len) {
    if (len == 0) return {};
    size_t n = p[0];
    if (n > len - 1) n = len - 1;
    std::string s(reinterpret_cast<const char*>(p + 1), n);
    // Readers stop at the first NUL, whatever the length byte claims.
    size_t nul = s.find('\0');
    if (nul != std::string::npos) s.resize(nul);
    return s;
}

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string WithoutDots(const std::string& s) {
    if (s.size() >= 3 && s.compare(s.size() - 3, 3, "...") == 0) return s.substr(0, s.size() - 3);
    return s;
}

}  // namespace

std::string FourCCToString(uint32_t code) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = char(code >> shift & 0xFF);
        s += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    }
    return s;
}

PropertyListResult ParsePropertyList(const uint8_t* data, size_t size) {
    PropertyListResult r;
    if (size < kPropertyListHeaderSize) {
        r.error = "property list too short";
        return r;
    }
    uint16_t marker = uint16_t(data[0] | data[1] << 8);
    uint32_t count = ReadU32(data + kCountOffset);
    if (marker != kPropertyListMarker) {
        r.error = "property list has an unknown marker " + std::to_string(marker);
        return r;
    }
    bool haveKind = false, haveHost = false, haveEntry = false, haveName = false;
    uint32_t kind = 0, host = 0;
    size_t pos = kPropertyListHeaderSize;
    for (uint32_t i = 0; i < count; ++i) {
        if (size - pos < kPropertyHeaderSize) {
            r.error = "property list is cut short";
            return r;
        }
        uint32_t vendor = ReadU32(data + pos);
        uint32_t key = ReadU32(data + pos + kKeyOffset);
        uint32_t length = ReadU32(data + pos + kLengthOffset);
        pos += kPropertyHeaderSize;
        if (length > size - pos) {
            r.error = "property list is cut short";
            return r;
        }
        const uint8_t* value = data + pos;
        // Data is padded to whole 4-byte units; lists whose lengths are
        // multiples of 4 have no padding at all.
        size_t padded = (size_t(length) + 3) & ~size_t(3);
        pos += padded <= size - pos ? padded : size - pos;
        if (vendor != kVendorCode) continue;
        if (key == kKeyKind && length >= 4) {
            kind = ReadU32(value);
            haveKind = true;
        } else if (key == kKeyHost && length >= 4) {
            host = ReadU32(value);
            haveHost = true;
        } else if (key == kKeyName) {
            r.properties.name = PascalString(value, length);
            haveName = !r.properties.name.empty();
        } else if (key == kKeyCategory) {
            r.properties.category = PascalString(value, length);
        } else if (key == kKeyMode && length >= 2) {
            // The flag word is read most significant byte first.
            r.properties.modeFlags = uint16_t(value[0] << 8 | value[1]);
            r.properties.hasMode = true;
        } else if (key == kKeyEntry) {
            const char* text = reinterpret_cast<const char*>(value);
            size_t n = strnlen(text, length);
            r.properties.entry.assign(text, n);
            haveEntry = n > 0;
        }
    }
    if (!haveKind) r.error = "no kind in its property list";
    else if (kind != kKindFilter)
        r.error = "kind '" + FourCCToString(kind) + "' is not a filter (" +
                  FourCCToString(kKindFilter) + ")";
    else if (!haveHost) r.error = "no host in its property list";
    else if (host != kThisHost)
        r.error = "made for host '" + FourCCToString(host) + "', not " + FourCCToString(kThisHost);
    else if (!haveEntry) r.error = "no i386 entry point (wx86) in its property list";
    else if (!haveName) r.error = "no menu name in its property list";
    else r.ok = true;
    return r;
}

bool FilterNameMatches(const std::string& query, const std::string& menuName,
                       const std::string& fileName) {
    if (query.empty()) return false;
    std::string q = Lower(query);
    if (Lower(WithoutDots(q)) == Lower(WithoutDots(menuName))) return true;
    std::string file = Lower(fileName);
    if (q == file) return true;
    if (file.size() > 4 && file.compare(file.size() - 4, 4, ".lmf") == 0 &&
        q == file.substr(0, file.size() - 4))
        return true;
    return false;
}
