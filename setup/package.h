// What the installer reads from the bytes of the package's files: the
// expanded size an SZDD header announces and the version a library's
// version resource carries.  No Windows headers, so both are tested on
// their own.
#pragma once
#include <cstddef>
#include <cstdint>

// The header of a file compressed with the system's LZ compressor: "SZDD",
// the magic 88 F0 27 33, the method "A", the last character of the name
// and the expanded size (32 bits, little-endian).
constexpr size_t kSzddHeaderSize = 14;

// The expanded size `header` announces; false if it is not an SZDD header
// (a file that is not compressed is copied as it is).
bool SzddExpandedSize(const unsigned char* header, size_t length, uint32_t* size);

// Whole kilobytes that `bytes` occupy, rounded up.
uint32_t KilobytesUp(uint64_t bytes);

// The file version of a library image (its VS_FIXEDFILEINFO: the most
// significant 32 bits then the least), found by the resource's key
// "VS_VERSION_INFO" followed by the fixed information's signature; false
// when the image carries none.
bool FindFileVersion(const unsigned char* image, size_t length, uint64_t* version);
