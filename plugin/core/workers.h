// The threads that share a pass: a crew for one continue call.
//
// The calling thread is member 0 and works like the others; members 1 ..
// n - 1 are threads that end, and are joined, when the crew goes: none
// outlives it. They are started as a tree, each worker first starting the
// workers below it (member m those numbered 2m and 2m + 1), so the calling
// thread starts one thread only and goes to work at once; each worker joins
// its own before it ends. Between bands the workers wait, first spinning
// for a moment (the next band usually follows at once), then asleep.
//
// A band is over when its work is: the job counts that down itself, so the
// calling thread never waits for a worker that has not yet had the
// processor (or is not running yet: its share is taken by the others), and a
// worker that comes late to a band only finds that nothing is left to take.
// The declarations are portable; the implementation is the platform's
// (plugin/core/workers.cpp).
#pragma once
#include <atomic>
#include <cstdint>

// At most this many threads share a pass.
constexpr int kMaxThreads = 64;

// The number of processors, read once, at most kMaxThreads.
int ProcessorCount();

// The threads a pass may use: TINCTOR_THREADS when it holds a number in
// 1..64, else the processor count. Read at every pass, so a host may set it
// between filterings.
int ThreadsWanted();

class Crew {
public:
    using Job = void (*)(void* context, int member);

    // A crew of `members` (at most kMaxThreads). A worker that the system
    // refuses to start never comes; the others do its share.
    Crew(int members, Job job, void* context);
    ~Crew();
    Crew(const Crew&) = delete;
    Crew& operator=(const Crew&) = delete;

    int Members() const { return members_; }

    // Wakes the workers to run job(context, m), runs job(context, 0) on the
    // calling thread, and returns once `remaining` is 0.
    void RunBand(const std::atomic<int>& remaining);

    // For the job that has just brought `remaining` to 0.
    void BandDone();

private:
    struct alignas(64) Seat {
        Crew* crew;
        int member;
        void* thread;  // started and joined by the member above it (member 1: the crew)
        void* wake;    // auto-reset event, set when a band starts while asleep
        std::atomic<bool> asleep;
    };
    // Starts the worker of seat `member`, if there is such a member.
    void Start(int member);
    static unsigned long __stdcall WorkerMain(void* seat);

    Job job_;
    void* context_;
    int members_ = 1;
    alignas(64) std::atomic<uint32_t> band_{0};  // counts the bands started
    alignas(64) std::atomic<bool> callerAsleep_{false};
    std::atomic<bool> quit_{false};
    void* done_;  // auto-reset event: the last worker of a band is through
    Seat seats_[kMaxThreads];
};
