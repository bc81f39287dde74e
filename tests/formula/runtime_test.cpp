// Fixed-point maths and the run-time tables: the check rows must come out
// exactly; the routines are also held against an independent computation.
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include "formula/random_jump.h"
#include "formula/runtime.h"
#include "interface/state.h"

namespace {

struct Row {
    int index;
    int value;
};

class TrigTables : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        state_ = new PluginState();
        BuildTrigTables(state_);
    }
    static void TearDownTestSuite() { delete state_; }
    static PluginState* state_;
};
PluginState* TrigTables::state_ = nullptr;

TEST_F(TrigTables, SineCheckRows) {
    const Row rows[] = {{0, 16384},    {1, 16383},   {40, 15893},   {64, 15136},
                        {113, 12601},  {128, 11585}, {192, 6270},   {255, 100},
                        {256, -100},   {320, -6362}, {384, -11656}, {511, -16384},
                        {512, -16384}, {767, -100},  {768, 100},    {1023, 16384}};
    for (const Row& r : rows) EXPECT_EQ(state_->sineTable[r.index], r.value) << "entry " << r.index;
}

TEST_F(TrigTables, ArctangentCheckRows) {
    const Row rows[] = {{0, 64},      {1, 128},     {2, 191},     {83, 5364},
                        {423, 25727}, {424, 25782}, {511, 30385}, {1023, 51472}};
    for (const Row& r : rows)
        EXPECT_EQ(state_->arctanTable[r.index], r.value) << "entry " << r.index;
}

TEST_F(TrigTables, MagnitudeCheckRows) {
    const Row rows[] = {{0, 32}, {1, 32}, {256, 2048}, {512, 7767}, {768, 16416}, {1023, 27132}};
    for (const Row& r : rows)
        EXPECT_EQ(state_->magnitudeTable[r.index], r.value) << "entry " << r.index;
}

// (sqrt(k^2 + 2^20) - 1023.5) * 64 truncated is exactly isqrt(4096 (k^2 + 2^20)) - 65504:
// an integer derivation of every entry, independent of the FPU.
TEST_F(TrigTables, MagnitudeTableEqualsTheIntegerRoot) {
    for (uint32_t k = 0; k < 1024; ++k) {
        const uint64_t n = 4096ull * (k * k + 1048576ull);
        uint64_t r = uint64_t(std::sqrt(double(n)));
        while (r * r > n) --r;
        while ((r + 1) * (r + 1) <= n) ++r;
        EXPECT_EQ(state_->magnitudeTable[k], r - 65504) << "entry " << k;
    }
}

TEST_F(TrigTables, QuartersMirrorAboutTheHalfIndex) {
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(state_->sineTable[256 + i], -state_->sineTable[255 - i]);
        EXPECT_EQ(state_->sineTable[512 + i], -state_->sineTable[i]);
        EXPECT_EQ(state_->sineTable[768 + i], state_->sineTable[255 - i]);
    }
}

// The computed quarter follows the cosine (with pi taken as 3.1416); the
// other quarters are mirrors, checked above.
TEST_F(TrigTables, TablesFollowTheirFunctionsClosely) {
    for (int k = 0; k < 256; ++k)
        EXPECT_NEAR(state_->sineTable[k], 16384 * std::cos(k * 3.1416 / 512), 2) << k;
    for (int k = 0; k < 1024; ++k)
        EXPECT_NEAR(state_->arctanTable[k], 65536 * std::atan((k + 1) / 1024.0), 3) << k;
}

TEST(FixedPoint, MultiplyTruncatesTowardZero) {
    EXPECT_EQ(Fx30Mul(kOne30, kOne30), kOne30);
    EXPECT_EQ(Fx30Mul(3, kOne30 / 2), 1);    // 1.5 -> 1
    EXPECT_EQ(Fx30Mul(-3, kOne30 / 2), -1);  // -1.5 -> -1, not -2
    EXPECT_EQ(Fx30Mul(-1, 1), 0);
}

TEST(FixedPoint, DivisionsSaturate) {
    EXPECT_EQ(Fx16Div(1, 2), 32768);
    EXPECT_EQ(Fx16Div(-1, 2), -32768);
    EXPECT_EQ(Fx16Div(1, -2), -32768);
    EXPECT_EQ(Fx16Div(-1, -2), 32768);
    EXPECT_EQ(Fx16Div(5, 0), INT32_MAX);
    EXPECT_EQ(Fx16Div(-5, 0), INT32_MIN);     // b = 0 saturates with the sign of a
    EXPECT_EQ(Fx16Div(-5, 3), -109226);       // truncated toward zero
    EXPECT_EQ(Fx16Div(32768, 1), INT32_MAX);  // 2^31 does not fit
    EXPECT_EQ(Fx16Div(-32768, 1), INT32_MIN);
    EXPECT_EQ(Fx16Div(32767, 1), 32767 * 65536);
    EXPECT_EQ(Fx30Div(1, 3), 357913941);
    EXPECT_EQ(Fx30Div(2, 1), INT32_MAX);
    EXPECT_EQ(Fx30Div(INT32_MIN, INT32_MIN), kOne30);
}

TEST(FixedPoint, SquareRootIsTheFloor) {
    uint64_t v = 0x1000000000000000ull;  // 2^60 .. 2^61, the builders' range, and more
    for (int k = 0; k < 2000; ++k, v += 0x000F1234567891ull) {
        const uint64_t r = Sqrt64(v);
        EXPECT_LE(r * r, v);
        EXPECT_GT((r + 1) * (r + 1), v);
    }
    EXPECT_EQ(Sqrt64(0), 0u);
    EXPECT_EQ(Sqrt64(1ull << 60), 1u << 30);
    EXPECT_EQ(Sqrt64(~0ull), 0xFFFFFFFFu);
    EXPECT_EQ(Fx30Sqrt(kOne30), kOne30);
    EXPECT_EQ(Fx30Sqrt(INT32_MIN), 1518500249);  // sqrt(2) in 2.30, floor
}

TEST(FixedPoint, SineAndCosineFollowTheCircle) {
    for (int32_t a = -500000; a <= 500000; a += 977) {
        const double rad = a / 65536.0;
        // pi/4 is 51472/65536, a little long: the error grows with the angle
        EXPECT_NEAR(Fx30Sin(a) / 1073741824.0, std::sin(rad), 5e-5) << a;
        EXPECT_NEAR(Fx30Cos(a) / 1073741824.0, std::cos(rad), 5e-5) << a;
    }
}

TEST(FixedPoint, Atan2CoversEveryOctant) {
    const int pts[][2] = {{1000, 1},     {1000, 700},  {700, 1000},   {1, 1000},    {-1, 1000},
                          {-700, 1000},  {-1000, 700}, {-1000, 1},    {-1000, -1},  {-1000, -700},
                          {-700, -1000}, {-1, -1000},  {1, -1000},    {700, -1000}, {1000, -700},
                          {1000, -1},    {1000, 1000}, {-1000, -1000}};
    for (auto& p : pts)
        EXPECT_NEAR(Fx16Atan2(p[0], p[1]) / 65536.0, std::atan2(double(p[1]), double(p[0])), 1e-3)
            << p[0] << "," << p[1];
}

struct MapCase {
    int32_t a, b;
    Row rows[5];
};

TEST(MapTables, RampsStepsAndClampedEnds) {
    const MapCase cases[] = {
        {255, 0, {{0, 0}, {1, 1}, {128, 128}, {254, 254}, {255, 255}}},     // identity
        {0, 255, {{0, 255}, {1, 254}, {128, 127}, {254, 1}, {255, 0}}},     // inverse
        {100, 100, {{0, 0}, {99, 0}, {100, 255}, {101, 255}, {255, 255}}},  // a step at 100
        {200,
         100,
         {{100, 0}, {101, 2}, {150, 127}, {199, 252}, {200, 255}}},  // rising, rounding down
        {100,
         200,
         {{100, 255}, {101, 253}, {150, 128}, {199, 3}, {200, 0}}},  // falling, rounding up
        {300,
         -50,
         {{0, 36}, {100, 109}, {249, 217}, {254, 221}, {255, 222}}},  // ends outside 0..255
    };
    for (const MapCase& c : cases) {
        uint8_t table[256];
        std::memset(table, 0xAA, sizeof table);
        BuildMapTable(c.a, c.b, table);
        for (const Row& r : c.rows)
            EXPECT_EQ(table[r.index], r.value) << c.a << "," << c.b << " entry " << r.index;
    }
}

TEST(MapTables, ExtremeSliderValuesFillEveryEntry) {
    uint8_t table[256];
    std::memset(table, 0xAA, sizeof table);
    BuildMapTable(INT32_MAX, INT32_MIN, table);
    for (int k = 0; k < 256; ++k) EXPECT_EQ(table[k], 127) << k;  // (k + 2^31) * 255 / (2^32 - 1)
}

TEST(RandomSeed, SeedZeroGivesTheKnownState) {
    int32_t table[56] = {};
    SeedRandom(0, table);
    EXPECT_EQ(table[1], 2089042821);
    EXPECT_EQ(table[55], -729734092);
    int32_t again[56] = {};
    SeedRandom(0x18000, again);  // only the low 15 bits count
    EXPECT_EQ(std::memcmp(table, again, sizeof table), 0);
    SeedRandom(1, again);
    EXPECT_NE(std::memcmp(table, again, sizeof table), 0);
}

// One rnd call as the template makes it: both indices advance (56 becomes 1),
// the entry at A becomes itself less the entry at B.
void StepRandom(PluginState& s) {
    s.randIndexB = int16_t(s.randIndexB % 55 + 1);
    s.randIndexA = int16_t(s.randIndexA % 55 + 1);
    s.randTable[s.randIndexA] =
        int32_t(uint32_t(s.randTable[s.randIndexA]) - uint32_t(s.randTable[s.randIndexB]));
}

TEST(RandomJump, EqualsMakingTheCalls) {
    PluginState start{};
    start.randIndexB = 31;
    SeedRandom(0, start.randTable);
    for (int from : {0, 17}) {  // the set-up state, and one whose indices wrap sooner
        for (int k = 0; k < from; ++k) StepRandom(start);
        for (uint64_t steps : {0, 1, 23, 54, 55, 56, 1000, 123457}) {
            PluginState stepped = start, jumped = start, twice = start;
            for (uint64_t k = 0; k < steps; ++k) StepRandom(stepped);
            RandomJump(steps).Apply(&jumped);
            RandomJump(steps / 3).Then(RandomJump(steps - steps / 3)).Apply(&twice);
            // Both indices and the table lie side by side.
            for (const PluginState* s : {&jumped, &twice})
                EXPECT_EQ(std::memcmp(&s->randIndexA, &stepped.randIndexA, 4 + 56 * 4), 0)
                    << from << "+" << steps;
        }
    }
    // Only a generator with B 31 places ahead of A can be jumped.
    const int16_t indices[][3] = {{0, 31, 1}, {24, 55, 1}, {25, 1, 1}, {1, 31, 0}, {56, 32, 0}};
    for (const auto& row : indices) {
        start.randIndexA = row[0];
        start.randIndexB = row[1];
        EXPECT_EQ(RandomJumpable(&start), row[2] != 0) << row[0] << "," << row[1];
    }
}

}  // namespace
