// Win32 side of the crew: threads, the wake-up events and the environment.
#include "plugin/core/workers.h"
#include <windows.h>
#include <immintrin.h>
#include "plugin/core/pass.h"

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
    if (members > kMaxThreads) members = kMaxThreads;
    done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!done_) return;
    // Every seat's event first: the workers and the end reach them all.
    for (int m = 1; m < members; ++m) {
        Seat& seat = seats_[m];
        seat.crew = this;
        seat.member = m;
        seat.thread = nullptr;
        seat.asleep.store(false);
        seat.wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (!seat.wake) break;
        members_ = m + 1;
    }
    Start(1);
}

void Crew::Start(int member) {
    if (member >= members_) return;
    // The templates' evaluation stack is a few kilobytes at most.
    seats_[member].thread = CreateThread(nullptr, 256 * 1024, WorkerMain, &seats_[member],
                                         STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
}

Crew::~Crew() {
    quit_.store(true);
    band_.fetch_add(1);
    for (int m = 1; m < members_; ++m) SetEvent(seats_[m].wake);
    if (members_ > 1 && seats_[1].thread) {
        WaitForSingleObject(seats_[1].thread, INFINITE);
        CloseHandle(seats_[1].thread);
    }
    for (int m = 1; m < members_; ++m) CloseHandle(seats_[m].wake);
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
    const int below[2] = {2 * seat.member, 2 * seat.member + 1};
    for (int m : below) crew.Start(m);
    for (uint32_t seen = 0;;) {
        AwaitWithSpin([&] { return crew.band_.load() != seen; }, seat.asleep, seat.wake);
        seen = crew.band_.load();
        if (crew.quit_.load()) break;
        crew.job_(crew.context_, seat.member);
    }
    for (int m : below) {
        if (m >= crew.members_ || !crew.seats_[m].thread) continue;
        WaitForSingleObject(crew.seats_[m].thread, INFINITE);
        CloseHandle(crew.seats_[m].thread);
    }
    return 0;
}
