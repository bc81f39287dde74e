// One invocation of a plug-in, driven the way the host drives it: the host
// record and its callbacks, the selector sequence, the image buffers.
#pragma once
#include <cstdint>
#include <string>

#include "host/buffers.h"
#include "host/image.h"

struct PluginRef {
    std::string path;
    std::string entryName;  // from the property list's "wx86"
    std::string menuName;
};

struct FilterJob {
    PluginRef plugin;
    const Image* source = nullptr;  // the original pixels: every buffer is filled from it
    Image* result = nullptr;        // receives the output areas
    const Image* mask = nullptr;    // grey selection mask, or none
    Area filterArea;
    bool repeat = false;
    bool quiet = false;
    int32_t abortAtRow = -1;
};

struct JobOutcome {
    int exitStatus = 0;
    std::string message;  // one line for the user when exitStatus != 0
    double continueMs = 0;
    int continueCalls = 0;
};

JobOutcome RunFilterJob(const FilterJob& job);
JobOutcome RunAboutJob(const PluginRef& plugin);

// The selector of the plug-in call in progress ("start", ...), or null.
const char* RunningSelector();
