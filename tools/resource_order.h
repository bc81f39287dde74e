// Moves one resource's data in front of another's inside a built PE file.
//
// The linker lays resource data out in directory order, which sorts type
// names, so "PARM" data lands before "PIPL" data. The filter maker scans a
// plug-in file for the "name" and "catg" properties first and then for the
// definition block after them, so the property list must come first.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ResourceKey {
    std::string type;  // a named type such as "PIPL"
    uint16_t id;
};

// Where a resource's data lies in the file.
struct ResourceSpan {
    uint32_t fileOffset = 0;
    uint32_t size = 0;
    uint32_t entryOffset = 0;  // file offset of its data entry
};

// Finds the data of resource `key` (any language). Empty error on success.
bool FindResourceData(const std::vector<uint8_t>& file, const ResourceKey& key, ResourceSpan& span,
                      std::string& error);

// Rewrites `file` so that `first`'s data lies before `second`'s. The two must
// be neighbours in the file; nothing else moves. A file already in order is
// left untouched.
bool PutResourceDataFirst(std::vector<uint8_t>& file, const ResourceKey& first,
                          const ResourceKey& second, std::string& error);
