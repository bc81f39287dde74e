// The host callbacks of the test hosts: the abort test answers yes from a
// chosen call on, the progress report records what it was told; both count
// the calls that come from another thread than the one that installed them.
// Static, because the callbacks take no context.
#pragma once
#include <windows.h>
#include <cstdint>
#include <utility>
#include <vector>
#include "interface/host_record.h"

struct RecordingCallbacks {
    static inline int abortCalls = 0;
    static inline int abortAtCall = -1;  // answer yes from this call on
    static inline std::vector<std::pair<int32_t, int32_t>> progress;
    static inline DWORD hostThread = 0;
    static inline int callsFromOtherThreads = 0;
    static inline void (*onProgress)() = nullptr;  // a test's look around during the pass

    static uint8_t __cdecl Abort() {
        callsFromOtherThreads += GetCurrentThreadId() != hostThread;
        return abortAtCall >= 0 && abortCalls++ >= abortAtCall ? 1 : 0;
    }
    static void __cdecl Progress(int32_t done, int32_t total) {
        callsFromOtherThreads += GetCurrentThreadId() != hostThread;
        progress.emplace_back(done, total);
        if (onProgress) onProgress();
    }

    // Fresh counters, and the callbacks put into `record`.
    static void Install(HostRecord& record) {
        abortCalls = 0;
        abortAtCall = -1;
        progress.clear();
        hostThread = GetCurrentThreadId();
        callsFromOtherThreads = 0;
        onProgress = nullptr;
        record.abortProc = Abort;
        record.progressProc = Progress;
    }
};
