#include "host/pipl.h"

#include <cctype>
#include <cstring>

namespace {

constexpr size_t kHeaderSize = 10;
constexpr size_t kPropertyHeaderSize = 16;

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
    if (size < kHeaderSize) {
        r.error = "property list too short";
        return r;
    }
    uint16_t marker = uint16_t(data[0] | data[1] << 8);
    uint32_t count = ReadU32(data + 6);
    if (marker != 1) {
        r.error = "property list has an unknown marker " + std::to_string(marker);
        return r;
    }
    bool haveKind = false, haveHost = false, haveEntry = false, haveName = false;
    std::string kind, host;
    size_t pos = kHeaderSize;
    for (uint32_t i = 0; i < count; ++i) {
        if (size - pos < kPropertyHeaderSize) {
            r.error = "property list is cut short";
            return r;
        }
        uint32_t vendor = ReadU32(data + pos);
        uint32_t key = ReadU32(data + pos + 4);
        uint32_t length = ReadU32(data + pos + 12);
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
        if (FourCCToString(vendor) != "LMHS") continue;
        std::string k = FourCCToString(key);
        if (k == "kind" && length >= 4) {
            kind = FourCCToString(ReadU32(value));
            haveKind = true;
        } else if (k == "host" && length >= 4) {
            host = FourCCToString(ReadU32(value));
            haveHost = true;
        } else if (k == "name") {
            r.properties.name = PascalString(value, length);
            haveName = !r.properties.name.empty();
        } else if (k == "catg") {
            r.properties.category = PascalString(value, length);
        } else if (k == "mode" && length >= 2) {
            // The flag word is read most significant byte first.
            r.properties.modeFlags = uint16_t(value[0] << 8 | value[1]);
            r.properties.hasMode = true;
        } else if (k == "wx86") {
            const char* text = reinterpret_cast<const char*>(value);
            size_t n = strnlen(text, length);
            r.properties.entry.assign(text, n);
            haveEntry = n > 0;
        }
    }
    if (!haveKind) r.error = "no kind in its property list";
    else if (kind != "LMFL") r.error = "kind '" + kind + "' is not a filter (LMFL)";
    else if (!haveHost) r.error = "no host in its property list";
    else if (host != "LMHS") r.error = "made for host '" + host + "', not LMHS";
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
    if (file.size() > 4 && file.compare(file.size() - 4, 4, ".lmf") == 0 && q == file.substr(0, file.size() - 4))
        return true;
    return false;
}
