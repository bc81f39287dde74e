// The plug-in property list ("PIPL" 16): the host reads the list to find and
// name a plug-in, the filter maker patches its name and category in a made
// filter. The resource ids both sides know are in interface/resource_ids.h.
//
// Header: int16 marker 1, int32 version 0, int32 count. Each property: vendor
// code, key, int32 id 0, int32 data length, data (lengths are multiples of 4).
// Codes are 32-bit little-endian integers whose top byte is the first letter,
// so "name" appears in the file as the bytes e, m, a, n.
#pragma once
#include <cstddef>
#include <cstdint>
#include "interface/resource_ids.h"

// The layout is a table: its columns stay aligned.
// clang-format off

// Packs a four-character code so that its first letter is the most
// significant byte: FourCC("PARM") has 'P' in its top byte.
constexpr uint32_t FourCC(const char (&s)[5]) {
    return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
           (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

constexpr std::size_t kPropertyListHeaderSize = 10;
constexpr std::size_t kPropertyHeaderSize     = 16;
constexpr std::size_t kNameSlotSize           = 36;  // length byte, up to 34 characters, NUL
constexpr std::size_t kCategorySlotSize       = 36;

constexpr uint32_t kVendorCode   = FourCC("LMHS");
constexpr uint32_t kKeyKind      = FourCC("kind");
constexpr uint32_t kKeyName      = FourCC("name");
constexpr uint32_t kKeyCategory  = FourCC("catg");
constexpr uint32_t kKeyVersion   = FourCC("vers");
constexpr uint32_t kKeyPriority  = FourCC("prty");
constexpr uint32_t kKeyMode      = FourCC("mode");
constexpr uint32_t kKeyHost      = FourCC("host");
constexpr uint32_t kKeyEntry     = FourCC("wx86");
constexpr uint32_t kKeySituation = FourCC("fici");
constexpr uint32_t kKindFilter   = FourCC("LMFL");

// Buffer space we ask the host for at prepare, besides its own buffers.
constexpr int32_t kPluginBufferSpace = 0x20000;
// clang-format on
