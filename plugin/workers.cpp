// Win32 side of the crew: threads, the wake-up events and the environment.
#include "plugin/workers.h"
#include <windows.h>
#include <immintrin.h>
#include "plugin/pass.h"

namespace {

// Rounds of spinning before a waiting thread goes to sleep: some tens of
// microseconds, longer than the host's calls between two bands usually take.
constexpr int kSpinRounds = 1 << 12;

// Waits until `ready()` holds: spins, then sleeps on `wake` with `asleep`
// raised. Whoever makes `ready()` true looks at `asleep` afterwards and sets
// the event if it is raised; both sides use sequentially consistent atomics,
// so at least one of them sees the other's store. A wake-up meant for an
// earlier band leaves the event set; the loop then just tests again.
template <class Ready>
void AwaitWithSpin(Ready ready, std::atomic<bool>& asleep, HANDLE wake) {
    for (int round = 0; !ready(); ++round) {
        if (round < kSpinRounds) {
            _mm_pause();
            continue;
        }
        asleep.store(true);
        if (!ready()) WaitForSingleObject(wake, INFINITE);
        asleep.store(false);
    }
}

}  // namespace

int ProcessorCount() {
    static const int count = [] {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        const int n = int(info.dwNumberOfProcessors);
        return n < 1 ? 1 : n > kMaxThreads ? kMaxThreads : n;
    }();
    return count;
}

int ThreadsWanted() {
    char text[16];
    const DWORD length = GetEnvironmentVariableA("TINCTOR_THREADS", text, sizeof text);
    const int wanted = length > 0 && length < sizeof text ? ParseThreadCount(text) : 0;
    return wanted ? wanted : ProcessorCount();
}

Crew::Crew(int members, Job job, void* context) : job_(job), context_(context) {
    done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!done_) return;
    if (members > kMaxThreads) members = kMaxThreads;
    for (int m = 1; m < members; ++m) {
        Seat& seat = seats_[members_];
        seat.crew = this;
        seat.member = members_;
        seat.asleep.store(false);
        seat.wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        // The templates' evaluation stack is a few kilobytes at most.
        seat.thread = seat.wake ? CreateThread(nullptr, 256 * 1024, WorkerMain, &seat,
                                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr)
                                : nullptr;
        if (!seat.thread) {
            if (seat.wake) CloseHandle(seat.wake);
            break;
        }
        ++members_;
    }
}

Crew::~Crew() {
    quit_.store(true);
    band_.fetch_add(1);
    HANDLE threads[kMaxThreads];
    for (int m = 1; m < members_; ++m) {
        SetEvent(seats_[m].wake);
        threads[m - 1] = seats_[m].thread;
    }
    if (members_ > 1) WaitForMultipleObjects(DWORD(members_ - 1), threads, TRUE, INFINITE);
    for (int m = 1; m < members_; ++m) {
        CloseHandle(seats_[m].thread);
        CloseHandle(seats_[m].wake);
    }
    if (done_) CloseHandle(done_);
}

void Crew::RunBand(const std::atomic<int>& remaining) {
    band_.fetch_add(1);
    for (int m = 1; m < members_; ++m)
        if (seats_[m].asleep.load()) SetEvent(seats_[m].wake);
    job_(context_, 0);
    AwaitWithSpin([&] { return remaining.load() == 0; }, callerAsleep_, done_);
}

void Crew::BandDone() {
    if (callerAsleep_.load()) SetEvent(done_);
}

unsigned long __stdcall Crew::WorkerMain(void* arg) {
    Seat& seat = *static_cast<Seat*>(arg);
    Crew& crew = *seat.crew;
    uint32_t seen = 0;
    for (;;) {
        AwaitWithSpin([&] { return crew.band_.load() != seen; }, seat.asleep, seat.wake);
        seen = crew.band_.load();
        if (crew.quit_.load()) return 0;
        crew.job_(crew.context_, seat.member);
    }
}
