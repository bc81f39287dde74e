// What formulas compute: every example is run natively and in the reference
// evaluator, and both must give the value worked out here by hand.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "formula/runtime.h"
#include "interface/state.h"
#include "tests/formula/native_runner.h"
#include "tests/formula/reference_eval.h"

namespace {

struct Case {
    const char* text;
    int32_t expected;
};

// A fixed pixel context: pixel (3, 4) of an 8 x 6 rectangle at the image
// origin, four planes, tables built, the run set up as before a pass.
class Formulas : public ::testing::Test {
protected:
    static constexpr int kW = 8, kH = 6, kPlanes = 4, kStride = kW * kPlanes + 3;

    void SetUp() override {
        nat_ = native::NewExecutableState();
        ref_ = native::NewState();
        ASSERT_TRUE(nat_ && ref_);
        PluginState* s = ref_;
        BuildTrigTables(s);
        s->planeValue[0] = 10;
        s->planeValue[1] = 20;
        s->planeValue[2] = 30;
        s->planeValue[3] = 40;
        s->x = 3;
        s->y = 4;
        s->z = 1;
        s->xEnd = kW;
        s->yEnd = kH;
        s->zEnd = kPlanes;
        const int32_t sliders[8] = {255, 0, 0, 255, 100, 100, 128, 7};
        std::memcpy(s->slider, sliders, sizeof sliders);
        s->areaRight = kW;
        s->areaBottom = kH;
        for (int i = 0; i < 4; ++i)
            BuildMapTable(s->slider[2 * i], s->slider[2 * i + 1], s->mapTable[i]);
        s->randIndexA = 0;
        s->randIndexB = 31;
        SeedRandom(0, s->randTable);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                for (int z = 0; z < kPlanes; ++z)
                    source_[y * kStride + x * kPlanes + z] = Sample(x, y, z);
        s->inBase = source_;
        s->inRowBytes = kStride;
    }
    void TearDown() override {
        native::FreeState(nat_);
        native::FreeState(ref_);
    }

    // The source pattern: distinct per column, row and plane.
    static uint8_t Sample(int x, int y, int z) { return uint8_t(1 + x + 10 * y + 64 * z); }

    // Value of `text` on the current context, native and reference alike;
    // both states then carry the formula's effects (cells, random state).
    int32_t Eval(const std::string& text) {
        const native::Compiled c = native::Compile(nat_, 0, text);
        const reference::Program p = reference::Compile(text);
        EXPECT_EQ(c.failed, 0) << text;
        EXPECT_EQ(p.failed, 0) << text;
        std::memcpy(nat_, ref_, kPixelContextSize);
        const native::Call call = native::Run(nat_, 0);
        const int32_t expected = reference::Run(p, ref_);
        EXPECT_EQ(call.value, expected) << "native and reference differ: " << text;
        EXPECT_TRUE(call.registersKept) << text;
        EXPECT_EQ(std::memcmp(nat_, ref_, kPixelContextSize), 0) << "state differs: " << text;
        return call.value;
    }

    void Check(const Case* cases, size_t n) {
        for (size_t k = 0; k < n; ++k)
            EXPECT_EQ(Eval(cases[k].text), cases[k].expected) << cases[k].text;
    }
    template <size_t N>
    void Check(const Case (&cases)[N]) {
        Check(cases, N);
    }

    PluginState* nat_ = nullptr;
    PluginState* ref_ = nullptr;
    uint8_t source_[kH * kStride] = {};
};

TEST_F(Formulas, NumberSyntax) {
    Check({{"0x1F", 31},
           {"017", 15},
           {"0", 0},
           {"0x", 0},
           {"4294967295", -1},
           {"-2147483648", INT32_MIN},
           {"2147483648", INT32_MIN},
           {"0XfF", 255},
           {"1 // comment\r+ 2", 3},
           {"\t1\n+\f2\r", 3}});
}

TEST_F(Formulas, PrecedenceDiffersFromC) {
    Check({{"1 << 2 < 3", 2},
           {"1 | 2 ^ 3", 0},
           {"8 >> 1 == 4", 8},
           {"1 + 2 * 3", 7},
           {"3 - 2 - 1", 0},
           {"2 << 1 << 1", 8},
           {"100 / 10 / 5", 2},
           {"1 || 0 && 0", 1},
           {"2 | 1 && 0", 0},
           {"0 ? 1 : 0 ? 2 : 3", 3},
           {"1 ? 0 ? 4 : 5 : 6", 5},
           {"- -5", 5},
           {"-2 * -3", 6},
           {"!0 + 1", 2},
           {"~0", -1},
           {"+7", 7},
           {"1 & 3 == 3", 1},
           {"r, g", 20},
           {"put(r, 0), get(0)", 10},
           {"(1 < 2) + (2 < 1)", 1}});
}

TEST_F(Formulas, OperatorResults) {
    Check({{"7 / 0", 0},
           {"7 % 0", 0},
           {"-7 / 2", -3},
           {"-7 % 2", -1},
           {"7 % -2", 1},
           {"-8 >> 1", 2147483644},
           {"1 << 33", 2},
           {"1 << -1", INT32_MIN},
           {"!5", 0},
           {"!0", 1},
           {"3 && 4", 1},
           {"3 && 0", 0},
           {"0 || 0", 0},
           {"0 || -9", 1},
           {"2147483647 + 1", INT32_MIN},
           {"65536 * 65536", 0},
           {"-2147483648 - 1", INT32_MAX},
           {"-(-2147483648)", INT32_MIN},
           {"6 & 3", 2},
           {"6 | 3", 7},
           {"6 ^ 3", 5},
           {"-1 < 0", 1},
           {"-1 >= 0", 0},
           {"5 != 5", 0},
           {"5 <= 5", 1},
           {"5 > 5", 0},
           // our choice where the quotient does not fit: wrap-around, no trap
           {"-2147483648 / -1", INT32_MIN},
           {"-2147483648 % -1", 0},
           {"7 / -1", -7},
           {"7 % -1", 0}});
}

TEST_F(Formulas, VariablesReadThePixelContext) {
    Check({{"r", 10},
           {"g", 20},
           {"b", 30},
           {"a", 40},
           {"c", 20},
           {"x", 3},
           {"y", 4},
           {"z", 1},
           {"X", 8},
           {"Y", 6},
           {"Z", 4},
           {"R + G + B + A + C + I + U + V", 8 * 255},
           {"D", 1024},
           {"i", (76 * 10 + 150 * 20 + 29 * 30) / 256},
           {"u", (-19 * 10 - 37 * 20 + 56 * 30) / 256},
           {"v", (78 * 10 - 65 * 20 - 13 * 30) / 256}});
    // negative sums truncate toward zero
    ref_->planeValue[0] = ref_->planeValue[1] = 255;
    ref_->planeValue[2] = 0;
    Check({{"u", -55}, {"v", 12}});
}

TEST_F(Formulas, ArithmeticFunctions) {
    Check({{"min(3, -4)", -4},
           {"max(3, -4)", 3},
           {"abs(-5)", 5},
           {"abs(-2147483648)", INT32_MIN},
           {"add(200, 100, 255)", 255},
           {"add(20, 10, 255)", 30},
           {"sub(50, 100, 0)", 0},
           {"sub(90, 10, 0)", 80},
           {"dif(3, 10)", 7},
           {"dif(10, 3)", 7},
           {"mix(200, 100, 1, 4)", 125},
           {"mix(1, 2, 3, 0)", 0},
           {"mix(-7, 0, 1, 2)", -3},
           {"scl(5, 3, 3, 0, 255)", 0},
           {"scl(128, 0, 256, 0, 100)", 50},
           {"scl(-1, 0, 2, 0, 3)", -1},
           {"sqr(-5)", -5},
           {"sqr(0)", 0},
           {"sqr(1)", 1},
           {"sqr(2)", 1},
           {"sqr(99)", 9},
           {"sqr(100)", 10},
           {"sqr(2147483647)", 46340},
           // 64-bit products whose quotients leave 32 bits keep the low bits
           {"mix(2147483647, 0, 2147483647, 1)", 1},
           {"scl(2147483647, 0, 1, 0, 2147483647)", 1},
           {"mix(65536, 0, 65536, -1)", 0},
           {"scl(-2147483648, 0, -1, 0, 1)", INT32_MIN}});
}

TEST_F(Formulas, SquareRootIsTheFloorEverywhere) {
    for (uint64_t v = 2; v <= 2147483647u; v = v * 5 / 3 + 1) {
        for (uint64_t w : {v - 1, v, v + 1, (v / 1000) * (v / 1000), (v / 1000) * (v / 1000) - 1}) {
            if (w < 2 || w > 2147483647u) continue;
            uint64_t r = 0;
            for (uint64_t bit = 1u << 15; bit; bit >>= 1)
                if ((r + bit) * (r + bit) <= w) r += bit;
            EXPECT_EQ(Eval("sqr(" + std::to_string(w) + ")"), int32_t(r)) << w;
        }
    }
}

TEST_F(Formulas, SlidersCellsAndMaps) {
    Check({{"ctl(0)", 255},
           {"ctl(7)", 7},
           {"ctl(8)", 0},
           {"ctl(-1)", 0},
           {"val(0, 10, 20)", 20},
           {"val(6, 10, 20)", 15},
           {"val(-1, 0, 100)", 0},
           {"val(1, 10, 20)", 10},
           {"map(0, 77)", 77},
           {"map(0, -5)", 0},
           {"map(0, 999)", 255},
           {"map(1, 77)", 255 - 77},
           {"map(2, 99)", 0},
           {"map(2, 100)", 255},
           {"map(4, 10)", 0},
           {"map(-1, 10)", 0},
           {"get(300)", 300},
           {"get(-1)", -1},
           {"put(7, 300)", 7},
           {"put(5, 3), get(3)", 5},
           {"put(-9, 255), get(255)", -9},
           {"get(3)", 5}});
}

TEST_F(Formulas, RandomSequenceAfterSetUp) {
    const int32_t expected[] = {10, 35, 106, 115, 158, 111, 120, 91};
    for (int32_t e : expected) EXPECT_EQ(Eval("rnd(0, 255)"), e);
}

// rnd(0, -1): the range wraps to 0, which we take as all 2^32 values, so the
// result is the generator's raw value v.
TEST_F(Formulas, RandomRawValuesThroughTheFullRange) {
    const int32_t v[] = {-451866614, 691697443, -934758294, -585615245, 2080534686};
    for (int32_t e : v) EXPECT_EQ(Eval("rnd(0, -1)"), e);
}

TEST_F(Formulas, RandomEdgeRanges) {
    for (int k = 0; k < 5; ++k) EXPECT_EQ(Eval("rnd(5, 5)"), 5);
    EXPECT_EQ(ref_->randIndexA, 5);
    Eval("rnd(10, 0)");  // n wraps to 4294967287: native and reference agree
    EXPECT_EQ(ref_->randIndexA, 6);
    EXPECT_EQ(ref_->randIndexB, 37);
}

TEST_F(Formulas, TrigonometryExamples) {
    Check({{"sin(0)", -4},
           {"sin(256)", 512},
           {"sin(768)", -512},
           {"sin(1024)", 3},
           {"cos(0)", 512},
           {"cos(128)", 362},
           {"cos(256)", -4},
           {"cos(512)", -512},
           {"cos(-2147483648)", 512},
           {"tan(0)", -6},
           {"tan(128)", 1024},
           {"tan(256)", -167772},
           {"tan(-128)", -1030},
           {"r2x(0, 100)", 100},
           {"r2y(0, 100)", 1},
           {"r2x(128, 100)", 71},
           {"r2x(256, 100)", -1},
           {"r2y(256, 100)", 100}});
}

TEST_F(Formulas, PolarExamples) {
    Check({{"c2d(1, 0)", 0},
           {"c2d(1, 1)", 128},
           {"c2d(0, 1)", 256},
           {"c2d(-1, 1)", 384},
           {"c2d(-1, 0)", 512},
           {"c2d(-1, -1)", -384},
           {"c2d(0, -1)", -256},
           {"c2d(1, -1)", -128},
           {"c2d(0, 0)", 0},
           {"c2d(100, 3)", 4},
           {"c2d(3, 100)", 252},
           {"c2d(1000, 999)", 127},
           {"c2m(3, 4)", 5},
           {"c2m(0, 0)", 0},
           {"c2m(5, 5)", 7},
           {"c2m(100, 0)", 100},
           {"c2m(300, 400)", 500},
           {"c2m(1000, 1000)", 1414},
           {"c2m(-3, -4)", 5}});
}

// Our choice beyond 2^21: unsigned magnitudes and a 64-bit ratio, so the
// same directions and lengths hold at any scale.
TEST_F(Formulas, PolarBeyondTwoToThe21) {
    Check({{"c2d(2097152, 2097152)", 128},
           {"c2d(2147483647, -2147483647)", -128},
           {"c2d(-2147483648, 0)", 512},
           {"c2d(0, -2147483648)", -256},
           {"c2d(-2147483648, -2147483648)", -384},
           {"c2d(4000000, 120000)", 4},
           {"c2m(2097152, 0)", 2098176},
           // a length beyond 2^31 - 1 wraps
           {"c2m(0, -2147483647)", int32_t(2147483647u + 1048575u)}});
    const int32_t length = Eval("c2m(3000000, 4000000)");
    EXPECT_NEAR(length, 5000000, 5000);
}

TEST_F(Formulas, CentreDirectionAndDistance) {
    ref_->xEnd = ref_->yEnd = 5;
    const struct {
        int x, y, d, m;
    } rows[] = {{0, 0, -384, 4}, {4, 4, 128, 1}, {2, 2, 0, 1}, {3, 3, 128, 0}};
    for (const auto& r : rows) {
        ref_->x = r.x;
        ref_->y = r.y;
        EXPECT_EQ(Eval("d"), r.d) << r.x << "," << r.y;
        EXPECT_EQ(Eval("m"), r.m) << r.x << "," << r.y;
    }
    ref_->xEnd = ref_->yEnd = 4;
    ref_->x = ref_->y = 2;
    EXPECT_EQ(Eval("m"), 0);
    ref_->x = ref_->y = 0;
    EXPECT_EQ(Eval("m"), 2);
    ref_->xEnd = 640;
    ref_->yEnd = 480;
    EXPECT_EQ(Eval("M"), 800);
}

TEST_F(Formulas, SourceSamplesClampIntoTheArea) {
    Check({{"src(-10, -10, 0)", Sample(0, 0, 0)},
           {"src(100, 100, 3)", Sample(7, 5, 3)},
           {"src(x, y, z)", Sample(3, 4, 1)},
           {"src(x, y, Z)", 0},
           {"src(x, y, -1)", 0},
           {"cnv(0,0,0,0,1,0,0,0,0,1)", Sample(3, 4, 1)},
           {"cnv(1,1,1,1,1,1,1,1,1,0)", 0},
           {"cnv(1,1,1,1,1,1,1,1,1,0) + 5", 5},
           {"cnv(0,1,0,0,0,0,0,0,0,1)", Sample(3, 3, 1)},
           {"cnv(0,0,0,0,0,0,0,0,1,1)", Sample(4, 5, 1)},
           {"cnv(1,2,3,4,5,6,7,8,9,-1)",
            -(1 * Sample(2, 3, 1) + 2 * Sample(3, 3, 1) + 3 * Sample(4, 3, 1) +
              4 * Sample(2, 4, 1) + 5 * Sample(3, 4, 1) + 6 * Sample(4, 4, 1) +
              7 * Sample(2, 5, 1) + 8 * Sample(3, 5, 1) + 9 * Sample(4, 5, 1))},
           {"rad(0, 0, 2)", Sample(4, 3, 2)},
           {"rad(0, 1000, 0)", Sample(7, 5, 0)},
           {"rad(512, 1000, 0)", Sample(0, 0, 0)},
           {"rad(0, 0, 4)", 0},
           {"rad(0, 0, -1)", 0}});
    // The edges read the nearest sample inside (our choice), never outside.
    ref_->x = 0;
    ref_->y = 0;
    Check({{"cnv(1,0,0,0,0,0,0,0,0,1)", Sample(0, 0, 1)},
           {"cnv(0,0,0,0,0,0,0,0,1,1)", Sample(1, 1, 1)}});
    ref_->x = kW - 1;
    ref_->y = kH - 1;
    Check({{"cnv(0,0,0,0,0,0,0,0,1,1)", Sample(kW - 1, kH - 1, 1)}});
    // The most negative sum divided by -1 wraps (our choice).
    source_[(kH - 1) * kStride + (kW - 1) * kPlanes + 1] = 1;
    Check({{"cnv(0,0,0,0,-2147483648,0,0,0,0,-1)", INT32_MIN}});
}

}  // namespace

namespace {

// Tables never built: every cosine is 0 and tan's division faults; the fault
// guard completes it with 0, as the language defines tan of a zero cosine.
TEST_F(Formulas, TangentOfAZeroCosineIsZero) {
    std::memset(ref_->sineTable, 0, sizeof ref_->sineTable);
    Check({{"tan(5)", 0}, {"tan(5) + 1", 1}, {"tan(-300) * 7 - 2", -2}});
}

}  // namespace
