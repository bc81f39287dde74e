// Helpers of the engine's system tests: the build's files seen from Wine,
// scratch folders, stamps and the scenario the test script prepared.
#pragma once
#include <windows.h>

#include <string>

#include "tests/support/files.h"

// The build folder (the tests run in it), with a trailing backslash.
std::string BuildDir();
// A new empty folder under the build's temp folder, with a trailing backslash.
std::string ScratchDir(const char* name);
// Sets the last-write time (local time) of an existing file.
void Stamp(const std::string& path, int year, int month, int day, int hours, int minutes);
// The environment variable, or "" when the script did not set it.
std::string Scenario(const char* name);
// The original (uncompressed) file a disk file was packed from.
std::string DiskOriginal(const std::string& diskName);
