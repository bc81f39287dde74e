// The host's two jobs: filter an image with a plug-in the way the editor
// does (parameters, prepare, start, continue until nothing is requested,
// finish) and show a plug-in's About box. A filtering runs in a session the
// caller has loaded and may keep for the next image, as the editor keeps a
// plug-in between "apply" and "apply again"; the About box opens its own.
#pragma once
#include <cstdint>
#include <string>

#include "host/buffers.h"
#include "host/image.h"
#include "host/session.h"

// Host-side work on the plug-in between prepare, the first call after which
// its working block and definition are in place, and start: handing it
// formulas or a settings file through its own exports.
class RunSetup {
public:
    // Empty, or one line for the user that ends the run.
    virtual std::string Apply(PluginSession& session) = 0;

protected:
    ~RunSetup() = default;
};

struct FilterJob {
    PluginRef plugin;
    const Image* source = nullptr;  // the original pixels: every buffer is filled from it
    Image* result = nullptr;        // receives the output areas
    const Image* mask = nullptr;    // grey selection mask, or none
    Area filterArea;
    bool repeat = false;    // no parameters call, hence no dialog
    bool progress = false;  // draw the progress bar
    int32_t abortAtRow = -1;
    RunSetup* setup = nullptr;  // none: the plug-in runs with what it holds
};

struct JobOutcome {
    int exitStatus = 0;
    std::string message;  // one line for the user when exitStatus != 0
    double continueMs = 0;
    int continueCalls = 0;
};

// Runs one filtering in `session`, which holds job.plugin loaded (with a main
// window when the job shows a dialog).
JobOutcome RunFilterJob(PluginSession& session, const FilterJob& job);
JobOutcome RunAboutJob(const PluginRef& plugin);
