// The code generator: results and reported ranges, the routine left after a
// failure, the capacity rule, the resources and the per-channel bookkeeping.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>
#include "formula/compiler.h"
#include "formula/tables.h"
#include "plugin/plugin.h"
#include "tests/formula/native_runner.h"
#include "tests/formula/reference_eval.h"

namespace {

class Compile : public ::testing::Test {
protected:
    void SetUp() override {
        native::UseOwnResources();
        state_ = native::NewExecutableState();
        ASSERT_TRUE(state_);
        state_->planeValue[0] = 11;
        state_->planeValue[1] = 22;
        state_->zEnd = 4;
    }
    void TearDown() override {
        native::UseOwnResources();
        native::FreeState(state_);
    }
    PluginState* state_ = nullptr;
};

struct ErrorCase {
    const char* text;
    int failed;
    int32_t start, end;
    int32_t value;   // of the routine left in the buffer (r = 11, g = 22)
};

TEST_F(Compile, ResultRangeAndRoutine) {
    const std::string longName(300, 'n');
    const ErrorCase cases[] = {
        {"c", 0, 1, 1, 11},
        {"r + g", 0, 5, 5, 33},
        {"", 1, 0, 0, 0},
        {"   ", 1, 3, 3, 0},
        {"// only a comment", 1, 17, 17, 0},
        {"// comment\nr", 1, 12, 12, 0},        // a line feed does not end the comment
        {"// comment\rr", 0, 12, 12, 11},
        {"08", 1, 0, 2, 0},
        {"1a", 1, 0, 2, 0},
        {"12ab + 1", 1, 0, 4, 0},
        {"2x", 1, 1, 2, 2},                      // 2, then an unexpected name: early end
        {"1.5", 1, 1, 2, 1},                     // the point ends the formula early
        {"r = 1", 1, 2, 3, 11},
        {"r;g", 1, 1, 2, 11},
        {"r\x0Bg", 1, 1, 2, 11},
        {"r(1)", 1, 1, 2, 11},
        {"r )", 1, 2, 3, 11},
        {"r : g", 1, 2, 3, 11},
        {"min(1)", 1, 5, 6, 0},
        {"min(1,2,3)", 1, 7, 8, 0},
        {"abs (r)", 0, 7, 7, 11},
        {"(r, g)", 1, 2, 3, 0},
        {"r, g", 0, 4, 4, 22},
        {"r ? g", 1, 5, 5, 0},
        {"r +", 1, 3, 3, 0},
        {"(r", 1, 2, 2, 0},
        {"Min(1,2)", 1, 0, 3, 0},
        {"x ? y :", 1, 7, 7, 0},
        {"r + * g", 1, 4, 5, 0},
        {"get(1) @", 1, 7, 8, 0},
    };
    for (const ErrorCase& c : cases) {
        const native::Compiled got = native::Compile(state_, 0, c.text);
        EXPECT_EQ(got.failed, c.failed) << c.text;
        EXPECT_EQ(got.start, c.start) << c.text;
        EXPECT_EQ(got.end, c.end) << c.text;
        EXPECT_EQ(native::Run(state_, 0).value, c.value) << c.text;
        const reference::Program p = reference::Compile(c.text);
        EXPECT_EQ(p.failed, c.failed) << c.text;
        EXPECT_EQ(p.errorStart, c.start) << c.text;
        EXPECT_EQ(p.errorEnd, c.end) << c.text;
        EXPECT_EQ(p.size, got.size) << c.text;
        EXPECT_EQ(reference::Run(p, state_), c.value) << c.text;
    }
    // A name longer than 255 characters is looked up (and reported) by its
    // first 255 characters.
    const native::Compiled got = native::Compile(state_, 0, longName);
    EXPECT_EQ(got.failed, 1);
    EXPECT_EQ(got.end, 300);
    EXPECT_EQ(got.start, 45);
}

TEST_F(Compile, ARangeIsRelativeToTheGivenStart) {
    const char* text = "xx r = 1";
    int32_t start = 3, end = 8, size = 2048;
    EXPECT_EQ(CompileFormula(text, &start, &end, state_->code[1], &size), 1);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(end, 3);
}

// A routine holds at most capacity - 1 bytes; beyond that the compile is a
// syntax error at the token being compiled and the routine yields 0.
TEST_F(Compile, CodeCapacity) {
    std::string text = "r";
    native::Compiled got{};
    while ((got = native::Compile(state_, 0, text + "+r")).failed == 0) text += "+r";
    EXPECT_LE(native::Compile(state_, 0, text).size, 2047);
    EXPECT_GT(native::Compile(state_, 0, text).size, 2047 - 16);
    got = native::Compile(state_, 0, text + "+r");
    EXPECT_EQ(got.failed, 1);
    EXPECT_EQ(native::Run(state_, 0).value, 0);
    // The buffer ran out after the last r was read: the range is the end.
    EXPECT_EQ(got.start, int32_t(text.size()) + 2);
    EXPECT_EQ(got.end, int32_t(text.size()) + 2);
    const reference::Program p = reference::Compile(text + "+r");
    EXPECT_EQ(p.failed, 1);
    EXPECT_EQ(p.errorStart, got.start);
    EXPECT_EQ(p.size, got.size);
}

TEST_F(Compile, SmallCapacitiesNeverWritePastTheBuffer) {
    for (int32_t capacity = 0; capacity < 40; ++capacity) {
        std::memset(state_->code[2], 0xCC, 64);
        int32_t start = 0, end = 9, size = capacity;
        CompileFormula("r + g * 3", &start, &end, state_->code[2], &size);
        EXPECT_LT(size, capacity > 0 ? capacity : 1) << capacity;
        for (int k = capacity > 0 ? capacity - 1 : 0; k < 64; ++k) EXPECT_EQ(state_->code[2][k], 0xCC) << capacity;
        EXPECT_GE(start, 0);
        EXPECT_LE(start, end);
        EXPECT_LE(end, 9);
    }
}

// Without the tables a compile writes nothing at all.
TEST_F(Compile, MissingResourcesWriteNothing) {
    gModule = reinterpret_cast<HINSTANCE__*>(GetModuleHandleA("kernel32.dll"));
    std::memset(state_->code[0], 0x5A, sizeof state_->code[0]);
    int32_t start = 1, end = 3, size = 2048;
    EXPECT_EQ(CompileFormula("r + g", &start, &end, state_->code[0], &size), 1);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(end, 3);
    EXPECT_EQ(size, 2048);
    for (uint8_t byte : state_->code[0]) ASSERT_EQ(byte, 0x5A);
}

// Hand-made tables: a FUNC name without an OPER row is a syntax error where
// its template is due, and a damaged OPER table is read no further than its size.
TEST_F(Compile, TablesSuppliedByTheCaller) {
    uint32_t funcSize = 0, operSize = 0;
    auto* funcs = static_cast<uint8_t*>(LoadResourceCopy(FourCC("FUNC"), 16000, &funcSize));
    auto* opers = static_cast<uint8_t*>(LoadResourceCopy(FourCC("OPER"), 16000, &operSize));
    ASSERT_TRUE(funcs && opers);
    uint8_t extended[530] = {};
    std::memcpy(extended, funcs, 510);                // the shipped rows
    std::memcpy(extended + 510, "foo\0\0\0\0\0\1\0", 10);  // foo(1), no template
    int32_t start = 0, end = 12, size = 2048;
    EXPECT_EQ(CompileWithTables({extended, sizeof extended}, {opers, operSize}, "foo(r) + 1 ", &start, &end,
                                state_->code[0], &size), 1);
    EXPECT_EQ(start, 7);                               // the token after the arguments
    EXPECT_EQ(end, 8);
    FlushCode(state_);
    EXPECT_EQ(native::Run(state_, 0).value, 0);

    // Every cut of the OPER table: no read past the cut, a routine or a refusal.
    for (uint32_t cut = 0; cut <= operSize; cut += 7) {
        start = 0;
        end = 9;
        size = 2048;
        CompileWithTables({funcs, funcSize}, {opers, cut}, "r + g * 3", &start, &end, state_->code[0], &size);
        EXPECT_LT(size, 2048);
        EXPECT_LE(end, 9);
    }
    FreeBlock(funcs);
    FreeBlock(opers);
}

class ChannelFormulas : public Compile {
protected:
    void SetUp() override {
        Compile::SetUp();
        definition_ = static_cast<FilterDefinition*>(AllocBlock(sizeof(FilterDefinition)));
        const char* formulas[4] = {"c", "255 - c", "r = 1", "(r"};
        for (int k = 0; k < 4; ++k) std::strcpy(definition_->formula[k], formulas[k]);
        gState = state_;
        gDefinition = definition_;
        state_->formulasEdited = 1;
    }
    void TearDown() override {
        gState = nullptr;
        gDefinition = nullptr;
        FreeBlock(definition_);
        Compile::TearDown();
    }
    FilterDefinition* definition_ = nullptr;
};

TEST_F(ChannelFormulas, EveryChannelGetsItsRoutineAndResult) {
    CompileChannelFormulas();
    EXPECT_EQ(state_->formulasEdited, 0);
    const int failed[4] = {0, 0, 1, 1};
    const int32_t start[4] = {1, 7, 2, 2}, end[4] = {1, 7, 3, 2};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(state_->compileFailed[k], failed[k]) << k;
        EXPECT_EQ(state_->errorStart[k], start[k]) << k;
        EXPECT_EQ(state_->errorEnd[k], end[k]) << k;
        EXPECT_EQ(state_->codeSize[k], reference::Compile(definition_->formula[k]).size) << k;
    }
    state_->z = 1;
    EXPECT_EQ(native::Run(state_, 0).value, 22);
    EXPECT_EQ(native::Run(state_, 1).value, 255 - 22);
    EXPECT_EQ(native::Run(state_, 2).value, 11);   // early end: the leading r
    EXPECT_EQ(native::Run(state_, 3).value, 0);    // syntax error
}

// A formula slot filled to the brim is read as its first 1023 characters.
TEST_F(ChannelFormulas, AFullSlotIsReadTo1023Characters) {
    std::memset(definition_->formula[0], ' ', sizeof definition_->formula[0]);
    definition_->formula[0][0] = 'g';
    CompileChannelFormulas();
    EXPECT_EQ(state_->compileFailed[0], 0);
    EXPECT_EQ(state_->errorEnd[0], 1023);
}

// With the tables missing, the channels still hold routines that yield 0.
TEST_F(ChannelFormulas, MissingResourcesLeaveCallableZeroRoutines) {
    gModule = reinterpret_cast<HINSTANCE__*>(GetModuleHandleA("kernel32.dll"));
    std::memset(state_->code, 0, sizeof state_->code);
    CompileChannelFormulas();
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(state_->compileFailed[k], 1);
        EXPECT_EQ(native::Run(state_, k).value, 0);
    }
}

// The fixed templates are exactly these bytes; every FUNC name has a template.
TEST(Templates, StructuralBytesAndVocabulary) {
    native::UseOwnResources();
    uint32_t funcSize = 0, operSize = 0;
    auto* funcs = static_cast<uint8_t*>(LoadResourceCopy(FourCC("FUNC"), 16000, &funcSize));
    auto* opers = static_cast<uint8_t*>(LoadResourceCopy(FourCC("OPER"), 16000, &operSize));
    ASSERT_TRUE(funcs && opers);
    EXPECT_EQ(funcSize, 520u);
    const ByteTable ops{opers, operSize};
    const struct {
        const char* name;
        std::string bytes;
    } fixed[] = {{"prolog", std::string("\x55\x56\x57\x54\x8B\x7C\x24\x14", 8)},
                 {"epilog", std::string("\x58\x5C\x5F\x5E\x5D\xC3", 6)},
                 {"number", std::string("\x68", 1)},
                 {",", std::string("\x58", 1)},
                 {"error", std::string("\x2B\xC0\xC3", 3)}};
    for (const auto& f : fixed) {
        TemplateRow row;
        ASSERT_TRUE(FindTemplate(ops, f.name, &row)) << f.name;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(row.code), size_t(row.length)), f.bytes) << f.name;
    }
    // i, u and v build their weights from shifts, adds and lea: none of the
    // multiply opcodes (imul 69/6B/0F AF, mul/imul F6/F7) occurs in their bytes.
    for (const char* name : {"i", "u", "v"}) {
        TemplateRow row;
        ASSERT_TRUE(FindTemplate(ops, name, &row));
        for (int k = 0; k < row.length; ++k) {
            const uint8_t b = row.code[k];
            EXPECT_TRUE(b != 0x69 && b != 0x6B && b != 0xF6 && b != 0xF7 && b != 0xAF) << name << " byte " << k;
        }
    }
    int rows = 0;
    for (uint32_t at = 0; funcs[at] != 0; at += 10, ++rows) {
        const char* name = reinterpret_cast<const char*>(funcs + at);
        TemplateRow row;
        EXPECT_TRUE(FindTemplate(ops, name, &row)) << name;
        EXPECT_EQ(FindFunction({funcs, funcSize}, name, int(std::strlen(name))), int16_t(funcs[at + 8] | funcs[at + 9] << 8));
    }
    EXPECT_EQ(rows, 51);
    EXPECT_EQ(FindFunction({funcs, funcSize}, "cnv", 3), 10);
    EXPECT_EQ(FindFunction({funcs, funcSize}, "R", 1), 0);
    EXPECT_EQ(FindFunction({funcs, funcSize}, "Min", 3), -1);
    EXPECT_EQ(FindFunction({funcs, funcSize}, "mi", 2), -1);
    FreeBlock(funcs);
    FreeBlock(opers);
}

}  // namespace
