// The image pass: order, clamping, host callbacks, state carried from pixel
// to pixel, determinism, planes, and the preview's keystroke check.
#include <gtest/gtest.h>
#include "plugin/core/pass.h"
#include "tests/plugin/engine_fixture.h"

namespace {

TEST(Engine, InvertsEveryChannelAndLeavesRowPaddingAlone) {
    EngineRun run;
    run.SetImage(7, 5, 3);
    run.SetFormulas("255-c", "255-c", "255-c");
    ASSERT_TRUE(run.Run());
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x)
            for (int z = 0; z < 3; ++z)
                ASSERT_EQ(run.Out(x, y, z), 255 - run.In(x, y, z)) << x << "," << y;
        // The bytes between the last pixel and the next row are the host's.
        for (int p = 7 * 3; p < run.record.outRowBytes; ++p)
            ASSERT_EQ(run.out[size_t(y) * run.record.outRowBytes + p], 0xA5);
    }
}

TEST(Engine, ResultsAreClampedToAByte) {
    EngineRun run;
    run.SetImage(2, 2, 3);
    run.SetFormulas("0-5", "300", "2147483647+1");
    ASSERT_TRUE(run.Run());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(run.Out(x, y, 0), 0);
            EXPECT_EQ(run.Out(x, y, 1), 255);
            EXPECT_EQ(run.Out(x, y, 2), 0);  // wraps to the most negative value
        }
}

TEST(Engine, EveryFormulaSeesTheSourcePixelNotAnotherChannelsResult) {
    EngineRun run;
    run.SetImage(5, 3, 4);
    run.SetFormulas("g", "r", "a", "b");
    ASSERT_TRUE(run.Run());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(run.Out(x, y, 0), run.In(x, y, 1));
            EXPECT_EQ(run.Out(x, y, 1), run.In(x, y, 0));
            EXPECT_EQ(run.Out(x, y, 2), run.In(x, y, 3));
            EXPECT_EQ(run.Out(x, y, 3), run.In(x, y, 2));
        }
}

TEST(Engine, PositionsAndSizesAreThoseOfThePassArea) {
    EngineRun run;
    run.SetImage(9, 6, 3);
    // The host hands over an area away from the image origin; x and y count
    // from its corner, X and Y are its size.
    run.record.inArea = run.record.outArea = HostArea{100, 200, 106, 209};
    run.SetFormulas("x", "y", "X*16+Y");
    ASSERT_TRUE(run.Run());
    EXPECT_EQ(run.state->areaLeft, 200);
    EXPECT_EQ(run.state->areaTop, 100);
    EXPECT_EQ(run.state->areaRight, 209);
    EXPECT_EQ(run.state->areaBottom, 106);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) {
            EXPECT_EQ(run.Out(x, y, 0), x);
            EXPECT_EQ(run.Out(x, y, 1), y);
            EXPECT_EQ(run.Out(x, y, 2), 9 * 16 + 6);
        }
}

TEST(Engine, EmptyAreaProcessesNothingAndCompletes) {
    EngineRun run;
    for (HostArea area : {HostArea{0, 0, 0, 4}, HostArea{0, 0, 4, 0}, HostArea{3, 3, 3, 3}}) {
        run.SetImage(4, 4, 3);
        run.record.inArea = run.record.outArea = area;
        run.SetFormulas("1", "2", "3");
        EXPECT_TRUE(run.Run());
        for (uint8_t v : run.out) ASSERT_EQ(v, 0xA5);
    }
}

TEST(Engine, AbortAndProgressAreAskedOnEveryTenthRow) {
    EngineRun run;
    run.SetImage(3, 25, 3);
    run.SetFormulas("1", "1", "1");
    ASSERT_TRUE(run.Run());
    EXPECT_EQ(EngineRun::abortCalls, 0);  // counted only once an abort is armed
    EXPECT_EQ(EngineRun::progress,
              (std::vector<std::pair<int32_t, int32_t>>{{0, 25}, {10, 25}, {20, 25}}));
}

TEST(Engine, AbortAtRowZeroStopsAfterOneRow) {
    EngineRun run;
    run.SetImage(4, 25, 3);
    run.SetFormulas("7", "7", "7");
    EngineRun::abortAtCall = 0;
    EXPECT_FALSE(run.Run());
    EXPECT_TRUE(EngineRun::progress.empty());
    for (int y = 0; y < 25; ++y) EXPECT_EQ(run.Out(0, y, 0), y == 0 ? 7 : 0xA5) << "row " << y;
}

TEST(Engine, AbortLaterKeepsTheRowsAlreadyWritten) {
    EngineRun run;
    run.SetImage(2, 40, 3);
    run.SetFormulas("9", "9", "9");
    EngineRun::abortAtCall = 2;  // answered at row 20
    EXPECT_FALSE(run.Run());
    EXPECT_EQ(EngineRun::progress.size(), 2u);
    for (int y = 0; y < 40; ++y) EXPECT_EQ(run.Out(1, y, 2), y <= 20 ? 9 : 0xA5) << "row " << y;
}

TEST(Engine, CellsCarryFromPixelToPixelAndStartAtZeroEachRun) {
    EngineRun run;
    run.SetImage(6, 4, 3);
    // Red counts the pixels seen so far; green and blue read the count.
    run.SetFormulas("put(get(0)+1,0)", "get(0)", "get(1)");
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(run.Run());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) {
                ASSERT_EQ(run.Out(x, y, 0), y * 6 + x + 1);
                ASSERT_EQ(run.Out(x, y, 1), y * 6 + x + 1);
                ASSERT_EQ(run.Out(x, y, 2), 0);
            }
    }
}

TEST(Engine, RandomNoiseRepeatsExactlyFromRunToRun) {
    EngineRun run;
    run.SetImage(31, 17, 3);
    run.SetFormulas("rnd(0,255)", "sub(c,rnd(0,ctl(0)),z)", "rnd(c,255)");
    ASSERT_TRUE(run.Run());
    std::vector<uint8_t> first = run.out;
    int distinct[256] = {};
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 31; ++x) distinct[run.Out(x, y, 0)] = 1;
    int values = 0;
    for (int v : distinct) values += v;
    EXPECT_GT(values, 100) << "rnd(0,255) should spread over the byte range";
    std::fill(run.out.begin(), run.out.end(), 0xA5);
    ASSERT_TRUE(run.Run());
    EXPECT_EQ(run.out, first);
}

TEST(Engine, AlphaFormulaRunsOnlyWithFourPlanes) {
    // Alpha counts its calls in cell 0; red reports the count so far.
    for (int planes : {3, 4}) {
        EngineRun run;
        run.SetImage(5, 2, planes);
        run.SetFormulas("get(0)", "0", "0", "put(get(0)+1,0)");
        ASSERT_TRUE(run.Run());
        EXPECT_EQ(run.Out(4, 1, 0), planes == 4 ? 9 : 0) << planes << " planes";
        EXPECT_EQ(run.state->zEnd, planes);
    }
}

TEST(Engine, SlidersAndMapsComeFromTheDefinition) {
    EngineRun run;
    run.SetImage(3, 3, 3);
    for (int i = 0; i < 8; ++i) run.definition->sliderValue[i] = 10 * i + 5;
    run.SetFormulas("ctl(3)", "ctl(7)", "val(1,0,255)");
    ASSERT_TRUE(run.Run());
    EXPECT_EQ(run.Out(2, 2, 0), 35);
    EXPECT_EQ(run.Out(2, 2, 1), 75);
    EXPECT_EQ(run.Out(2, 2, 2), 15);
}

TEST(Engine, TablesAreBuiltForARunWithoutParametersCall) {
    EngineRun run;
    run.SetImage(2, 2, 3);
    // With zero tables these would give 0, 0 and 128.
    run.SetFormulas("sin(256)/4", "cos(0)/4", "128+sin(768)/4");
    ASSERT_TRUE(run.Run());  // no BuildTrigTables call before
    EXPECT_EQ(run.Out(0, 0, 0), 128);
    EXPECT_EQ(run.Out(0, 0, 1), 128);
    EXPECT_EQ(run.Out(0, 0, 2), 0);
}

TEST(Engine, PreviewStopsAfterTheFirstRowWhenAKeyIsWaiting) {
    EngineRun run;
    run.SetImage(3, 6, 3);
    run.SetFormulas("50", "50", "50");
    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CHAR, 'x', 0);
    EXPECT_FALSE(run.Run(RunMode::Preview));
    for (int y = 0; y < 6; ++y) EXPECT_EQ(run.Out(0, y, 0), y == 0 ? 50 : 0xA5) << "row " << y;
    // The keystroke is still there for the dialog.
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE));
    EXPECT_TRUE(run.Run(RunMode::Preview));
    EXPECT_TRUE(EngineRun::progress.empty()) << "the preview never reports progress";
    DestroyWindow(window);
}

// The pass on explicit objects: the stop test is whatever the caller hands
// in, asked once a row in preview mode only.
int gKeyChecks = 0;
bool KeyAfterTwoRows() { return ++gKeyChecks >= 2; }

TEST(Engine, ThePreviewAsksTheStopTestItIsHanded) {
    EngineRun run;
    run.SetImage(3, 6, 3);
    run.SetFormulas("50", "50", "50");
    PrepareRun();
    gKeyChecks = 0;
    EXPECT_FALSE(RunPass(run.state, &run.record, RunMode::Preview, KeyAfterTwoRows));
    EXPECT_EQ(gKeyChecks, 2);
    for (int y = 0; y < 6; ++y) EXPECT_EQ(run.Out(1, y, 2), y < 2 ? 50 : 0xA5) << "row " << y;
    gKeyChecks = 0;
    EXPECT_TRUE(RunPass(run.state, &run.record, RunMode::Host, KeyAfterTwoRows));
    EXPECT_EQ(gKeyChecks, 0);
}

// A division that faults in the compiled code is completed during the pass:
// the most negative value by -1 wraps to itself (clamped to 0 here) and the
// next channels and pixels run on.
TEST(Engine, DivisionFaultsInAPassAreCompleted) {
    EngineRun run;
    run.SetImage(4, 3, 3);
    run.SetFormulas("(-2147483648 / -1) + c", "mix(c, 0, 2147483647, 1) & 255", "c");
    ASSERT_TRUE(run.Run());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(run.Out(x, y, 0), 0);
            EXPECT_EQ(run.Out(x, y, 1), (run.In(x, y, 1) * 2147483647u) & 255);
            EXPECT_EQ(run.Out(x, y, 2), run.In(x, y, 2));
        }
}

// Without the FUNC and OPER tables nothing compiles: no channel has a
// routine (the buffers hold zeros here), none is called, and each gives 0.
TEST(Engine, MissingTablesLeaveChannelsThatGiveZero) {
    EngineRun run;
    run.SetImage(2, 2, 3);
    std::memset(run.state->code, 0, sizeof run.state->code);
    gModule = reinterpret_cast<HINSTANCE__*>(GetModuleHandleA("kernel32.dll"));
    run.SetFormulas("c", "c", "c");
    gModule = reinterpret_cast<HINSTANCE__*>(GetModuleHandleA(nullptr));
    for (int k = 0; k < 4; ++k) EXPECT_EQ(run.state->compileFailed[k], 1);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(run.state->codeSize[k], 0);
    ASSERT_TRUE(run.Run());
    for (int z = 0; z < 3; ++z) EXPECT_EQ(run.Out(1, 1, z), 0);
}

// After a pass the running pointers are where the walk ended: the last
// pixel of the last row, and the row after it.
TEST(Engine, RunningPointersEndAtTheLastPixel) {
    EngineRun run;
    run.SetImage(5, 3, 4);
    run.SetFormulas("c", "c", "c", "c");
    ASSERT_TRUE(run.Run());
    const int32_t stride = run.record.inRowBytes;
    EXPECT_EQ(run.state->inPixel, run.in.data() + 2 * stride + 4 * 4);
    EXPECT_EQ(run.state->outPixel, run.out.data() + 2 * stride + 4 * 4);
    EXPECT_EQ(run.state->inRow, run.in.data() + 3 * stride);
    EXPECT_EQ(run.state->outRow, run.out.data() + 3 * stride);
}

// Which filters may be shared among threads, as their compile found them:
// the rule, and the rnd calls per pixel that the generator's jumps step by.
TEST(Engine, SharingIsDecidedByWhatTheRunningFormulasWrite) {
    struct Row {
        const char *rgb, *alpha;
        int planes;
        bool shared;
        uint32_t rndPerPixel;
    } const rows[] = {
        {"255-c", "a", 3, true, 0},
        {"sub(c,rnd(0,ctl(0)),z)", "a", 3, true, 3},  // the shipped grain
        {"sub(c,rnd(0,ctl(0)),z)", "rnd(0,9)+rnd(1,2)", 4, true, 5},
        // No operator skips an operand: every rnd runs on every pixel.
        {"x & 1 ? rnd(0,9) : rnd(5,6) || rnd(1,2)", "a", 3, true, 9},
        {"get(7) + c", "a", 3, true, 0},  // cells that nobody puts into stay 0
        {"put(c,0)", "a", 3, false, 0},
        {"c", "put(c,0)", 3, true, 0},  // three planes: the alpha formula never runs
        {"c", "put(c,0)", 4, false, 0},
        {"rnd(0,9) + )", "a", 3, true, 0},  // a syntax error leaves the "error" routine
        {"rnd(0,9) = 1", "a", 3, true, 3},  // an early end keeps the leading expression
    };
    EngineRun run;
    for (const Row& row : rows) {
        run.SetFormulas(row.rgb, row.rgb, row.rgb, row.alpha);
        const Sharing sharing =
            SharingOf(ChannelShapes(run.state), row.planes < 4 ? row.planes : 4);
        EXPECT_EQ(sharing.allowed, row.shared) << row.rgb << " / " << row.alpha;
        if (row.shared) EXPECT_EQ(sharing.rndPerPixel, row.rndPerPixel) << row.rgb;
    }
    // Code that the compile did not write is not known to be safe.
    run.state->code[1][0] ^= 1;
    EXPECT_EQ(ChannelShapes(run.state), nullptr);
}

TEST(Engine, ThreadCountsAndTheWorkThatPaysForThreads) {
    const std::pair<const char*, int> values[] = {{"1", 1},  {"64", 64}, {"08", 8},
                                                  {"0", 0},  {"65", 0},  {"", 0},
                                                  {"2x", 0}, {"-2", 0},  {" 4", 0}};
    for (const auto& [text, count] : values) EXPECT_EQ(ParseThreadCount(text), count) << text;
    EXPECT_EQ(MembersWorthStarting(8, 1e-6, 1000), 1);    // a millisecond in all
    EXPECT_EQ(MembersWorthStarting(8, 2e-6, 100000), 1);  // long, but a row is a moment
    EXPECT_EQ(MembersWorthStarting(8, 1e-3, 1000), 8);    // a second
    EXPECT_EQ(MembersWorthStarting(2, 1e-3, 1000), 2);
}

}  // namespace
