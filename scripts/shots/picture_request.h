// The walks' side of a picture: a walk writes <base>.req, one line that
// tells the script what to capture, and waits for <base>.done. The request
// is written under another name and renamed into place when complete, so
// the script never reads half of one.
#pragma once
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/files.h"
#include "tests/support/user.h"

// A walk that goes astray takes no more pictures.
[[noreturn]] inline void StopWalk(const char* walk, const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", walk, what.c_str());
    std::exit(1);
}

// Asks for the picture <base>.png described by `line`; false when the
// request cannot be made or no answer comes within 30 s.
inline bool RequestPicture(const std::string& base, const std::string& line) {
    return WriteBytes(base + ".tmp", line + "\n") &&
           MoveFileA((base + ".tmp").c_str(), (base + ".req").c_str()) &&
           WaitUntil([&] { return FileExists(base + ".done"); }, 30000, 100);
}
