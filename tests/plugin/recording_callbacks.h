// The host callbacks of the test hosts: the abort test answers yes from a
// chosen call on, the progress report records what it was told. Static,
// because the callbacks take no context.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>
#include "interface/host_record.h"

struct RecordingCallbacks {
    static inline int abortCalls = 0;
    static inline int abortAtCall = -1;  // answer yes from this call on
    static inline std::vector<std::pair<int32_t, int32_t>> progress;

    static uint8_t __cdecl Abort() {
        return abortAtCall >= 0 && abortCalls++ >= abortAtCall ? 1 : 0;
    }
    static void __cdecl Progress(int32_t done, int32_t total) {
        progress.emplace_back(done, total);
    }

    // Fresh counters, and the callbacks put into `record`.
    static void Install(HostRecord& record) {
        abortCalls = 0;
        abortAtCall = -1;
        progress.clear();
        record.abortProc = Abort;
        record.progressProc = Progress;
    }
};
