// Copy hooks for the engine's tests: they record what the copy tells and
// asks, and can play the user's Cancel at a given yield.
#pragma once
#include <string>
#include <vector>

#include "setup/engine.h"

struct RecordedCopy {
    std::vector<std::string> alerts;
    std::vector<int> progress;          // every progress report, in percent
    std::vector<std::string> statuses;  // every status: "<source> -> <target>"
    int yields = 0;
    int cancelAtYield = 0;  // the user stops the copy at this yield (1-based); 0 never

    CopyHooks Hooks();
};
extern RecordedCopy gRecorded;
