// A minimal reader of 32-bit PE files for the tests: resources by type and
// id, the imported DLL names, and where each resource's data lies in the
// file. Written separately from the build's own resource tool on purpose.
#pragma once
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class PeFile {
public:
    struct Resource {
        std::string type;  // "PIPL", or "#3" for numeric types
        uint32_t id = 0;   // numeric id, or 0 for named ones
        uint32_t lang = 0;
        uint32_t fileOffset = 0;
        std::vector<uint8_t> data;
    };

    explicit PeFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (bytes_.size() < 0x40 || bytes_[0] != 'M' || bytes_[1] != 'Z') return;
        uint32_t pe = U32(0x3C);
        machine_ = U16(pe + 4);
        uint16_t sections = U16(pe + 6);
        uint32_t opt = pe + 24;
        uint32_t table = opt + U16(pe + 20);
        for (uint16_t i = 0; i < sections; ++i) {
            uint32_t s = table + 40 * i;
            sections_.push_back({U32(s + 12), std::max(U32(s + 8), U32(s + 16)), U32(s + 20)});
        }
        importRva_ = U32(opt + 96 + 1 * 8);
        resourceRva_ = U32(opt + 96 + 2 * 8);
        valid_ = true;
        ReadResources();
    }

    bool valid() const { return valid_; }
    uint16_t machine() const { return machine_; }
    const std::vector<Resource>& resources() const { return resources_; }

    const Resource* Find(const std::string& type, uint32_t id) const {
        for (const Resource& r : resources_)
            if (r.type == type && r.id == id) return &r;
        return nullptr;
    }

    std::vector<std::string> ImportedDlls() const {
        std::vector<std::string> names;
        uint32_t at = FileOffset(importRva_);
        for (; at && U32(at + 12); at += 20) names.push_back(CString(FileOffset(U32(at + 12))));
        return names;
    }

private:
    struct Section {
        uint32_t va, size, raw;
    };

    uint32_t U32(uint32_t at) const {
        return at + 4 <= bytes_.size() ? bytes_[at] | bytes_[at + 1] << 8 | bytes_[at + 2] << 16 |
                                             uint32_t(bytes_[at + 3]) << 24
                                       : 0;
    }
    uint16_t U16(uint32_t at) const {
        return at + 2 <= bytes_.size() ? uint16_t(bytes_[at] | bytes_[at + 1] << 8) : 0;
    }
    uint32_t FileOffset(uint32_t rva) const {
        for (const Section& s : sections_)
            if (rva >= s.va && rva < s.va + s.size) return rva - s.va + s.raw;
        return 0;
    }
    std::string CString(uint32_t at) const {
        std::string s;
        while (at && at < bytes_.size() && bytes_[at]) s += char(bytes_[at++]);
        return s;
    }

    void ReadResources() {
        uint32_t root = FileOffset(resourceRva_);
        if (!root) return;
        auto entries = [&](uint32_t dir, auto fn) {
            uint32_t n = U16(root + dir + 12) + U16(root + dir + 14);
            for (uint32_t i = 0; i < n; ++i)
                fn(U32(root + dir + 16 + 8 * i), U32(root + dir + 20 + 8 * i));
        };
        auto name = [&](uint32_t v) {
            if (!(v & 0x80000000u)) return "#" + std::to_string(v);
            uint32_t at = root + (v & 0x7FFFFFFFu);
            std::string s;
            for (uint16_t i = 0; i < U16(at); ++i) s += char(U16(at + 2 + 2 * i));
            return s;
        };
        entries(0, [&](uint32_t type, uint32_t typeDir) {
            entries(typeDir & 0x7FFFFFFFu, [&](uint32_t id, uint32_t idDir) {
                entries(idDir & 0x7FFFFFFFu, [&](uint32_t lang, uint32_t dataEntry) {
                    Resource r;
                    r.type = name(type);
                    r.id = (id & 0x80000000u) ? 0 : id;
                    r.lang = lang;
                    r.fileOffset = FileOffset(U32(root + dataEntry));
                    uint32_t size = U32(root + dataEntry + 4);
                    if (r.fileOffset && r.fileOffset + size <= bytes_.size())
                        r.data.assign(bytes_.begin() + r.fileOffset,
                                      bytes_.begin() + r.fileOffset + size);
                    resources_.push_back(std::move(r));
                });
            });
        });
    }

    std::vector<uint8_t> bytes_;
    std::vector<Section> sections_;
    std::vector<Resource> resources_;
    uint32_t importRva_ = 0, resourceRva_ = 0;
    uint16_t machine_ = 0;
    bool valid_ = false;
};
