// Reads the names a 32-bit PE library exports, from the file's bytes.  No
// Windows headers: the offsets are those of the PE/COFF format.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The exported names in the order of the export name table, or an empty
// list with `error` set when the bytes are not a PE32 image with exports.
std::vector<std::string> PeExportNames(const std::vector<uint8_t>& image, std::string* error);

// A module-definition file for `library` that forwards every name to the
// same name in `target` (a module name without extension, e.g. "msvcrt").
std::string ForwarderDef(const std::string& library, const std::string& target,
                         const std::vector<std::string>& names);
