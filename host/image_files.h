// Filtering image files with one plug-in, for apply and fx: IN to OUT, or
// every input into --out-dir. The plug-in stays loaded from file to file, as
// the editor keeps it between "apply" and "apply again": without --repeat
// its dialog shows for the first file, and the others repeat its settings.
#pragma once
#include <string>

#include "host/cli.h"
#include "host/jobs.h"

struct FilterPlan {
    PluginRef plugin;
    bool repeat = false;        // no parameters call, hence no dialog, for the first file too
    RunSetup* setup = nullptr;  // run after every prepare
    std::string label;          // "OUT: WxH filtered with LABEL"
};

// Everything about the outputs that can be known before anything is read:
// OUT's format and folder, or that --out-dir is a folder. 0, or the exit
// status after printing why.
int CheckDestination(const Options& o);

// Filters every input of `o` and writes its result. One line per file (none
// with --quiet); with --out-dir a failing file does not stop the others, a
// cancelled or stopped one does, and a summary line ends the run. Returns the
// worst exit status.
int FilterImageFiles(const Options& o, const FilterPlan& plan);
