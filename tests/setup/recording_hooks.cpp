#include "tests/setup/recording_hooks.h"

RecordedCopy gRecorded;

CopyHooks RecordedCopy::Hooks() {
    CopyHooks hooks;
    hooks.alert = [this](const char* text) { alerts.push_back(text); };
    hooks.yield = [this] { return ++yields == cancelAtYield; };
    hooks.progress = [this](int percent) { progress.push_back(percent); };
    hooks.status = [this](const char* source, const char* target) {
        statuses.push_back(std::string(source) + " -> " + target);
    };
    return hooks;
}
