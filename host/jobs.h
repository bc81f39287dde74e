// The host's two jobs: filter an image with a plug-in the way the editor
// does (parameters, prepare, start, continue until nothing is requested,
// finish) and show a plug-in's About box. Each job opens its own session and
// ends it before returning.
#pragma once
#include <cstdint>
#include <string>

#include "host/buffers.h"
#include "host/image.h"
#include "host/session.h"

struct FilterJob {
    PluginRef plugin;
    const Image* source = nullptr;  // the original pixels: every buffer is filled from it
    Image* result = nullptr;        // receives the output areas
    const Image* mask = nullptr;    // grey selection mask, or none
    Area filterArea;
    bool repeat = false;    // no parameters call, hence no dialog
    bool progress = false;  // draw the progress bar
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
