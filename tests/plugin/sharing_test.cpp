// The pass shared among threads, through the plug-in file's entry point: on
// 2, 3 and 8 threads (TINCTOR_THREADS) every case gives the bytes, the host
// calls and the pixel context of the one-thread pass; the host is called on
// its own thread only, and no thread is left once continue has returned.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include <algorithm>
#include <cstring>
#include "tests/plugin/fake_host.h"

namespace {

int ThreadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

int gThreadsAtRow10 = 0;
void CountThreadsAtRow10() {
    if (RecordingCallbacks::progress.size() == 2) gThreadsAtRow10 = ThreadsOfThisProcess();
}

struct Case {
    const char* name;
    int width, height, planes;
    HostArea area;  // the filter area; all zero: the whole image
    int abortAt;    // the abort test's call that answers yes, or -1
    bool shared;    // walked by more threads than one
    const char* formula[4];
};

// The table is read by rows: its columns stay aligned.
// clang-format off
const char* const kGrain = "sub(c,rnd(0,ctl(0)),z)";
const Case kCases[] = {
    {"ShippedGrain", 2000, 1000, 3, {}, -1, true, {kGrain, kGrain, kGrain, "a"}},
    {"FourPlanesAreaAndFaultsOnWorkers", 900, 700, 4, {13, 21, 690, 880}, -1, true,
     {"(-2147483648 / -((x & 63) == 5)) + c", "rad(d+64,m,z)", "c2d(x-20,y-10)/4+128", "map(z,c)+rnd(0,20)"}},
    {"SixPlanes", 640, 400, 6, {}, -1, true,
     {"cnv(1,2,1,2,4,2,1,2,1,16)", "src(x+3,y-2,z)", "i+u-v", "rnd(0,255)"}},
    {"RndUnderConditions", 1200, 400, 3, {}, -1, true,
     {"x & 1 ? rnd(0,255) : rnd(9,99) + c", "rnd(0,1) && rnd(0,1) || c", "c ^ rnd(0,c)", "a"}},
    {"AbortAtRow20", 1500, 600, 3, {}, 2, true, {kGrain, "cnv(1,1,1,1,1,1,1,1,1,9)", "m", "a"}},
    {"PutStaysOnOneThread", 1200, 400, 3, {}, -1, false, {"put(get(0)+c,0)", "rnd(0,c)", "get(0)", "a"}},
    {"SmallAreaStaysOnOneThread", 40, 30, 3, {}, -1, false, {kGrain, kGrain, kGrain, "a"}},
};
// clang-format on

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

struct Outcome {
    int16_t result;
    std::vector<uint8_t> out, context;
    std::vector<std::pair<int32_t, int32_t>> progress;
    int abortCalls, extraThreads;
};

// prepare, start and continue as a host repeating the filter (no dialog).
Outcome Filter(FakeHost& host, const Case& c, const char* threads) {
    SetEnvironmentVariableA("TINCTOR_THREADS", threads);
    std::fill(host.out.begin(), host.out.end(), 0xEE);
    host.Install(host.record);
    host.abortAtCall = c.abortAt;
    host.onProgress = CountThreadsAtRow10;
    const int before = ThreadsOfThisProcess();
    gThreadsAtRow10 = before;
    EXPECT_EQ(host.Call(kSelectorPrepare), kResultOk);
    if (c.planes > 4) host.record.inHiPlane = host.record.outHiPlane = int16_t(c.planes - 1);
    EXPECT_EQ(host.Call(kSelectorStart), kResultOk);
    const int16_t result = host.Call(kSelectorContinue);
    EXPECT_EQ(ThreadsOfThisProcess(), before) << threads << " threads: a worker outlived continue";
    EXPECT_EQ(host.callsFromOtherThreads, 0) << threads << " threads";
    const auto* block = reinterpret_cast<const uint8_t*>(host.state());
    return {result,        host.out,        {block, block + kPixelContextSize},
            host.progress, host.abortCalls, gThreadsAtRow10 - before};
}

class Sharing : public ::testing::TestWithParam<Case> {};

TEST_P(Sharing, EveryThreadCountGivesTheOneThreadPass) {
    const Case& c = GetParam();
    FakeHost host;
    ASSERT_NE(host.entry, nullptr);
    FilterDefinition* d = host.LoadFormulas(c.formula);
    ASSERT_NE(d, nullptr);
    d->sliderValue[0] = 60;
    host.SetImage(c.width, c.height, c.planes);
    const HostArea area = c.area.right ? c.area : host.record.filterArea;
    host.record.filterArea = area;
    const size_t offset = size_t(area.top) * host.record.inRowBytes + size_t(area.left) * c.planes;
    host.record.inData = host.in.data() + offset;
    host.record.outData = host.out.data() + offset;

    const Outcome one = Filter(host, c, "1");
    EXPECT_EQ(one.result, c.abortAt < 0 ? kResultOk : kResultCancelled);
    EXPECT_EQ(one.extraThreads, 0);
    for (const char* threads : {"2", "3", "8"}) {
        const Outcome many = Filter(host, c, threads);
        EXPECT_EQ(many.result, one.result) << threads;
        EXPECT_TRUE(many.out == one.out) << threads << " threads: the image differs";
        EXPECT_TRUE(many.context == one.context) << threads << " threads: the block differs";
        EXPECT_EQ(many.progress, one.progress) << threads;
        EXPECT_EQ(many.abortCalls, one.abortCalls) << threads;
        EXPECT_EQ(many.extraThreads > 0, c.shared) << threads << " threads";
    }
    SetEnvironmentVariableA("TINCTOR_THREADS", nullptr);
}

INSTANTIATE_TEST_SUITE_P(Passes, Sharing, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
