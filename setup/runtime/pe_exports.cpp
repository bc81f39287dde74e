#include "setup/runtime/pe_exports.h"

namespace {

uint32_t Read16(const std::vector<uint8_t>& b, size_t at) {
    return at + 2 <= b.size() ? b[at] | (b[at + 1] << 8) : 0;
}
uint32_t Read32(const std::vector<uint8_t>& b, size_t at) {
    return at + 4 <= b.size() ? Read16(b, at) | (Read16(b, at + 2) << 16) : 0;
}

// File offset of a relative virtual address, through the section table; 0
// when no section holds it.
size_t FileOffset(const std::vector<uint8_t>& b, size_t sections, unsigned count, uint32_t rva) {
    for (unsigned i = 0; i < count; ++i) {
        size_t s = sections + i * 40;
        uint32_t va = Read32(b, s + 12), vsize = Read32(b, s + 8), raw = Read32(b, s + 16);
        uint32_t pointer = Read32(b, s + 20);
        uint32_t extent = vsize > raw ? vsize : raw;
        if (rva >= va && rva < va + extent) return rva - va + pointer;
    }
    return 0;
}

}  // namespace

std::vector<std::string> PeExportNames(const std::vector<uint8_t>& b, std::string* error) {
    std::vector<std::string> names;
    auto fail = [&](const char* why) {
        *error = why;
        names.clear();
        return names;
    };
    if (Read16(b, 0) != 0x5A4D) return fail("no MZ header");
    size_t pe = Read32(b, 0x3C);
    if (Read32(b, pe) != 0x4550) return fail("no PE signature");
    unsigned sectionCount = Read16(b, pe + 6);
    size_t optional = pe + 24;
    if (Read16(b, optional) != 0x10B) return fail("not a 32-bit image");
    size_t sections = optional + Read16(b, pe + 20);
    uint32_t exportRva = Read32(b, optional + 96);
    if (!exportRva) return fail("no export directory");
    size_t dir = FileOffset(b, sections, sectionCount, exportRva);
    if (!dir) return fail("export directory outside every section");
    uint32_t count = Read32(b, dir + 24);
    size_t table = FileOffset(b, sections, sectionCount, Read32(b, dir + 32));
    if (!table || table + 4ull * count > b.size()) return fail("bad export name table");
    for (uint32_t i = 0; i < count; ++i) {
        size_t at = FileOffset(b, sections, sectionCount, Read32(b, table + 4 * i));
        if (!at) return fail("export name outside every section");
        std::string name;
        while (at < b.size() && b[at]) name += static_cast<char>(b[at++]);
        if (at >= b.size()) return fail("unterminated export name");
        names.push_back(name);
    }
    if (names.empty()) return fail("no exported names");
    error->clear();
    return names;
}

std::string ForwarderDef(const std::string& library, const std::string& target,
                         const std::vector<std::string>& names) {
    std::string def = "LIBRARY \"" + library + "\"\nEXPORTS\n";
    for (const std::string& name : names)
        def += "  \"" + name + "\" = " + target + "." + name + "\n";
    return def;
}
