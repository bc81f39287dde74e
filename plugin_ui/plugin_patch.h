// Patching a copy of a plug-in file into a made filter: the menu name and the
// category in its property list and the whole definition block.
//
// The property list lies before the definition block in the file (the build
// orders the resources so). We find the LMHS "name" property, then the
// "catg" property from 45 bytes after it, then the definition block by its
// leading size value from 45 bytes after that; the first occurrence of the
// size after the category property is the block itself. The property
// lengths stay as they are: a name of at most 31 characters plus "..." and a
// category of at most 31 characters fit the 36 reserved bytes with their
// length byte and NUL.
//
// Free of Win32: works on the bytes of the file, mapped or in memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "interface/definition.h"

// Offset of a property's data from its key, and how far past a match the
// next search starts.
constexpr size_t kPropertyDataOffset = 12;
constexpr size_t kNextSearchOffset = 45;
constexpr size_t kMaxMenuTitle = 31;  // the title fits the name slot with "..."
constexpr size_t kMaxCategory = 31;

// The first position p with start <= p and p + 4 <= end whose 4-byte
// little-endian value equals `code`; with `vendorWanted`, the 4 bytes before
// p must also hold the vendor code LMHS. Null when there is none.
uint8_t* FindCode(uint8_t* start, uint8_t* end, uint32_t code, bool vendorWanted);

// The menu name of a made filter: its title, and "..." when it has a dialog.
std::string MenuNameFor(const FilterDefinition& definition);

enum class PatchResult {
    Ok,
    NoName,        // no LMHS "name" property
    NoCategory,    // no "catg" after it
    NoDefinition,  // no definition block after it, or it does not fit the file
    TooLong,       // title or category longer than the reserved slots allow
};

// Writes the menu name, the category and all 8296 bytes of `definition` into
// the plug-in file image [begin, end). Nothing is written unless all three
// places are found and the texts fit.
PatchResult PatchPluginImage(uint8_t* begin, uint8_t* end, const FilterDefinition& definition);
