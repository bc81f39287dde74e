// The dialog utilities the engine calls, replaced for its tests: alerts are
// recorded instead of shown, and each yield records the progress graph of
// the status window and can play the user's Cancel.
#pragma once
#include <string>
#include <vector>

struct RecordedDialogs {
    std::vector<std::string> alerts;
    std::vector<int> progress;  // the graph's position at each yield (-1 without one)
    int yields = 0;
    int cancelAtYield = 0;  // sets gfAbort at this yield (1-based); 0 never
};
extern RecordedDialogs gRecorded;
