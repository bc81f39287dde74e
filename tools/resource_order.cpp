#include "tools/resource_order.h"
#include <algorithm>
#include <cstring>

namespace {

uint32_t Get32(const std::vector<uint8_t>& f, size_t at) {
    return at + 4 <= f.size() ? uint32_t(f[at]) | uint32_t(f[at + 1]) << 8 |
                                    uint32_t(f[at + 2]) << 16 | uint32_t(f[at + 3]) << 24
                              : 0;
}
uint16_t Get16(const std::vector<uint8_t>& f, size_t at) {
    return at + 2 <= f.size() ? uint16_t(f[at] | f[at + 1] << 8) : 0;
}
void Put32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> (8 * i));
}

struct Section {
    uint32_t va, vsize, raw, rawSize;
};

struct PeView {
    const std::vector<uint8_t>& f;
    std::vector<Section> sections;
    uint32_t rsrcRva = 0;
    uint32_t rsrcFile = 0;  // file offset of the resource directory
    uint32_t rsrcEnd = 0;   // file offset just past the resource section's raw data

    explicit PeView(const std::vector<uint8_t>& file) : f(file) {}

    bool Parse(std::string& error) {
        if (f.size() < 0x40 || f[0] != 'M' || f[1] != 'Z')
            return Fail(error, "not an executable file");
        uint32_t pe = Get32(f, 0x3C);
        if (pe + 24 > f.size() || std::memcmp(&f[pe], "PE\0\0", 4) != 0)
            return Fail(error, "no PE header");
        uint16_t count = Get16(f, pe + 6);
        uint16_t optSize = Get16(f, pe + 20);
        uint32_t opt = pe + 24;
        if (Get16(f, opt) != 0x10B) return Fail(error, "not a 32-bit image");
        if (Get32(f, opt + 92) < 3) return Fail(error, "no resource directory");
        rsrcRva = Get32(f, opt + 96 + 2 * 8);
        uint32_t table = opt + optSize;
        for (uint16_t i = 0; i < count; ++i) {
            uint32_t s = table + 40u * i;
            if (s + 40 > f.size()) return Fail(error, "truncated section table");
            sections.push_back(
                {Get32(f, s + 12), Get32(f, s + 8), Get32(f, s + 20), Get32(f, s + 16)});
        }
        for (const Section& s : sections)
            if (rsrcRva >= s.va && rsrcRva < s.va + std::max(s.vsize, s.rawSize)) {
                rsrcFile = rsrcRva - s.va + s.raw;
                rsrcEnd = s.raw + s.rawSize;
            }
        if (!rsrcRva || !rsrcFile || rsrcEnd > f.size()) return Fail(error, "no resource section");
        return true;
    }

    bool RvaToFile(uint32_t rva, uint32_t& at) const {
        for (const Section& s : sections)
            if (rva >= s.va && rva < s.va + std::max(s.vsize, s.rawSize)) {
                at = rva - s.va + s.raw;
                return true;
            }
        return false;
    }

    // Entry name: a string (high bit set) or a number.
    bool NameMatches(uint32_t name, const std::string& wanted) const {
        if (!(name & 0x80000000u)) return false;
        uint32_t at = rsrcFile + (name & 0x7FFFFFFFu);
        uint16_t len = Get16(f, at);
        if (len != wanted.size()) return false;
        for (uint16_t i = 0; i < len; ++i)
            if (Get16(f, at + 2 + 2u * i) != uint8_t(wanted[i])) return false;
        return true;
    }

    // Visits every entry of the directory at `dir` (an offset in the section).
    template <class Fn>
    void Entries(uint32_t dir, Fn fn) const {
        uint32_t at = rsrcFile + dir;
        uint32_t n = uint32_t(Get16(f, at + 12)) + Get16(f, at + 14);
        for (uint32_t i = 0; i < n && at + 16 + 8 * (i + 1) <= f.size(); ++i)
            fn(Get32(f, at + 16 + 8 * i), Get32(f, at + 20 + 8 * i));
    }

    // Every data entry below the root, as spans.
    void AllData(uint32_t dir, int depth, std::vector<ResourceSpan>& out) const {
        if (depth > 3) return;
        Entries(dir, [&](uint32_t, uint32_t off) {
            if (off & 0x80000000u) {
                AllData(off & 0x7FFFFFFFu, depth + 1, out);
            } else {
                ResourceSpan s;
                s.entryOffset = rsrcFile + off;
                s.size = Get32(f, s.entryOffset + 4);
                if (RvaToFile(Get32(f, s.entryOffset), s.fileOffset)) out.push_back(s);
            }
        });
    }

    static bool Fail(std::string& error, const char* what) {
        error = what;
        return false;
    }
};

uint32_t Align8(uint32_t v) { return (v + 7) & ~7u; }

}  // namespace

bool FindResourceData(const std::vector<uint8_t>& file, const ResourceKey& key, ResourceSpan& span,
                      std::string& error) {
    PeView pe(file);
    if (!pe.Parse(error)) return false;
    bool found = false;
    pe.Entries(0, [&](uint32_t typeName, uint32_t typeOff) {
        if (found || !(typeOff & 0x80000000u) || !pe.NameMatches(typeName, key.type)) return;
        pe.Entries(typeOff & 0x7FFFFFFFu, [&](uint32_t id, uint32_t nameOff) {
            if (found || (id & 0x80000000u) || id != key.id || !(nameOff & 0x80000000u)) return;
            pe.Entries(nameOff & 0x7FFFFFFFu, [&](uint32_t, uint32_t langOff) {
                if (found || (langOff & 0x80000000u)) return;
                span.entryOffset = pe.rsrcFile + langOff;
                span.size = Get32(file, span.entryOffset + 4);
                found = pe.RvaToFile(Get32(file, span.entryOffset), span.fileOffset) &&
                        span.fileOffset + span.size <= file.size();
            });
        });
    });
    if (!found) error = "resource " + key.type + " " + std::to_string(key.id) + " not found";
    return found;
}

bool PutResourceDataFirst(std::vector<uint8_t>& file, const ResourceKey& first,
                          const ResourceKey& second, std::string& error) {
    ResourceSpan a, b;
    if (!FindResourceData(file, first, a, error) || !FindResourceData(file, second, b, error))
        return false;
    if (a.fileOffset < b.fileOffset) return true;  // already in order

    // The region from the second's start to the first's end must hold only these two.
    PeView pe(file);
    pe.Parse(error);
    uint32_t start = b.fileOffset;
    uint32_t newSecond = start + Align8(a.size);
    uint32_t end = std::max(a.fileOffset + a.size, newSecond + b.size);
    if (end > pe.rsrcEnd) {
        error = "no room to reorder the resource data";
        return false;
    }
    std::vector<ResourceSpan> all;
    pe.AllData(0, 0, all);
    for (const ResourceSpan& s : all) {
        if (s.entryOffset == a.entryOffset || s.entryOffset == b.entryOffset) continue;
        if (s.fileOffset < end && s.fileOffset + s.size > start) {
            error = "other resource data lies between the two";
            return false;
        }
    }
    std::vector<uint8_t> dataA(file.begin() + a.fileOffset, file.begin() + a.fileOffset + a.size);
    std::vector<uint8_t> dataB(file.begin() + b.fileOffset, file.begin() + b.fileOffset + b.size);
    std::fill(file.begin() + start, file.begin() + end, 0);
    std::copy(dataA.begin(), dataA.end(), file.begin() + start);
    std::copy(dataB.begin(), dataB.end(), file.begin() + newSecond);
    // Data entries hold RVAs: shift them by the same amount as the file offsets.
    uint32_t rvaA = Get32(file, a.entryOffset), rvaB = Get32(file, b.entryOffset);
    Put32(file, a.entryOffset, rvaA - (a.fileOffset - start));
    Put32(file, b.entryOffset, rvaB + (newSecond - b.fileOffset));
    return true;
}
