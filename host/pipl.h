// The plug-in property list ("PIPL" resource 16) as the host reads it when it
// scans its plug-in folder: the file's kind, the host it was made for, its
// menu name and category and the export to call. Parsed from raw bytes, so it
// never runs plug-in code and needs no Win32.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct PluginProperties {
    std::string name;        // menu name, e.g. "Tinctor Grain..."
    std::string category;    // menu category; may be empty
    std::string entry;       // export named by "wx86"
    uint16_t modeFlags = 0;  // "mode": bit 15 - m set when image mode m is supported
    bool hasMode = false;
};

struct PropertyListResult {
    bool ok = false;
    PluginProperties properties;
    std::string error;  // why the file is not a filter for this host
};

PropertyListResult ParsePropertyList(const uint8_t* data, size_t size);

// Four-character codes are 32-bit little-endian values whose most significant
// byte is the first letter.
std::string FourCCToString(uint32_t code);

// NAME on the command line against one plug-in: its menu name with or without
// the trailing "...", in any case, or its file name with or without ".lmf".
bool FilterNameMatches(const std::string& query, const std::string& menuName,
                       const std::string& fileName);
