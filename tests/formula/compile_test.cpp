// The code generator: results and reported ranges, the routine left after a
// failure, the capacity rule against the shipped template lengths, the
// tables and the per-channel bookkeeping.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "formula/compiler.h"
#include "formula/tables.h"
#include "interface/definition.h"
#include "interface/state.h"
#include "tests/formula/native_runner.h"
#include "tests/formula/reference_eval.h"
#include "tests/formula/shipped_lengths.h"

namespace {

class Compile : public ::testing::Test {
protected:
    void SetUp() override {
        state_ = native::NewExecutableState();
        ASSERT_TRUE(state_);
        state_->planeValue[0] = 11;
        state_->planeValue[1] = 22;
        state_->zEnd = 4;
    }
    void TearDown() override { native::FreeState(state_); }
    PluginState* state_ = nullptr;
};

struct ErrorCase {
    const char* text;
    int failed;
    int32_t start, end;
    int32_t value;  // of the routine left in the buffer (r = 11, g = 22)
};

TEST_F(Compile, ResultRangeAndRoutine) {
    const std::string longName(300, 'n');
    const ErrorCase cases[] = {
        {"c", 0, 1, 1, 11},
        {"r + g", 0, 5, 5, 33},
        {"", 1, 0, 0, 0},
        {"   ", 1, 3, 3, 0},
        {"// only a comment", 1, 17, 17, 0},
        {"// comment\nr", 1, 12, 12, 0},  // a line feed does not end the comment
        {"// comment\rr", 0, 12, 12, 11},
        {"08", 1, 0, 2, 0},
        {"1a", 1, 0, 2, 0},
        {"12ab + 1", 1, 0, 4, 0},
        {"2x", 1, 1, 2, 2},   // 2, then an unexpected name: early end
        {"1.5", 1, 1, 2, 1},  // the point ends the formula early
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
    EXPECT_EQ(CompileFormula(native::Funcs(), native::Opers(), text, &start, &end, state_->code[1],
                             &size),
              1);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(end, 3);
}

// Code bytes of a formula by the shipped lengths: what the shipped plug-in
// writes for it.
int32_t ShippedSize(const std::string& text) { return reference::Compile(text).size; }

// A routine holds at most capacity - 1 bytes; beyond that the compile is a
// syntax error at the token being compiled and the routine yields 0.
TEST_F(Compile, CodeCapacity) {
    std::string text = "r";
    native::Compiled got{};
    while ((got = native::Compile(state_, 0, text + "+r")).failed == 0) text += "+r";
    EXPECT_EQ(native::Compile(state_, 0, text).size, ShippedSize(text));
    EXPECT_LE(native::Compile(state_, 0, text).size, 2047);
    EXPECT_GT(native::Compile(state_, 0, text).size, 2047 - 8);
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

// The smallest formula that emits template `name` once (besides numbers,
// prolog and epilog).
std::string Using(const shipped::Row& row, const ByteTable& funcs) {
    const std::string name = row.name;
    if (name == "?") return "1?1:1";
    if (name == "!" || name == "~") return name + "1";
    if (name == "negate") return "-1";
    const int arity = FindFunction(funcs, row.name, int(name.size()));
    if (arity < 0) return "1" + name + "1";  // a binary operator
    if (arity == 0) return name;
    std::string f = name + "(";
    for (int k = 0; k < arity; ++k) f += k ? ",1" : "1";
    return f + ")";
}

// Items "r," (4 bytes) and "g," (5 bytes) that add up to exactly `bytes`.
std::string Filler(int bytes) {
    std::string f;
    while (bytes % 4 != 0) {
        f += "g,";
        bytes -= 5;
    }
    for (; bytes > 0; bytes -= 4) f += "r,";
    return f;
}

// For every template: a formula that uses it and comes to exactly 2047 code
// bytes by the shipped lengths compiles to exactly that; one byte more fails,
// either where the template itself no longer fits (the reported range is the
// comma after it) or at the epilogue (the range is the end of the text).
TEST_F(Compile, EveryTemplateAtTheCapacityBoundary) {
    const ByteTable funcs = native::Funcs();
    for (const shipped::Row& row : shipped::kRows) {
        const std::string name = row.name;
        if (name == "error" || name == "prolog" || name == "epilog" || name == "number" ||
            name == ",")
            continue;
        const std::string use = Using(row, funcs);
        const int useBytes = ShippedSize(use) - 14;  // without prolog and epilog
        ASSERT_GE(useBytes, row.length) << name;
        // "filler use, r": prolog 8, filler, use, "," 1, r 3, epilog 6.
        const int fixed = 8 + useBytes + 1 + 3 + 6;
        for (int total : {2047, 2048}) {
            const std::string text = Filler(total - fixed) + use + ",r";
            const native::Compiled got = native::Compile(state_, 0, text);
            EXPECT_EQ(got.failed, total == 2047 ? 0 : 1) << name << ": " << total;
            if (total == 2047) EXPECT_EQ(got.size, 2047) << name;
            if (total == 2048) {
                EXPECT_EQ(got.start, int32_t(text.size())) << name;
                EXPECT_EQ(got.end, int32_t(text.size())) << name;
                EXPECT_EQ(native::Run(state_, 0).value, 0) << name;
            }
        }
        // The template's own bytes reach the 2048th: the error is at the comma.
        const std::string text = Filler(2048 - 8 - useBytes) + use + ",r";
        const native::Compiled got = native::Compile(state_, 0, text);
        EXPECT_EQ(got.failed, 1) << name;
        EXPECT_EQ(got.start, int32_t(text.size()) - 2) << name;
        EXPECT_EQ(got.end, int32_t(text.size()) - 1) << name;
        const reference::Program p = reference::Compile(text);
        EXPECT_EQ(p.errorStart, got.start) << name;
        EXPECT_EQ(p.size, got.size) << name;
    }
}

// Formulas from saved filters that fit the shipped buffer fit ours, and
// those that do not, do not.
TEST_F(Compile, SavedFormulasFitAsShipped) {
    const std::string blue =
        "(add(236, cnv(mix((i), y ^ Y, A, val(b, u, r)),D,tan(mix(90, U, 228, z)),r2y(dif(I, X), "
        "4294967295),ctl(X),sqr((d)),add(abs(R), Z, C),put(X, u) ^ r2y(d, "
        "c),cnv(0,0,0,0,65536,0,0,0,"
        "0,0xE44) > c2m((y) % 100000, (218) % 100000),0), dif(ctl(get(256)), mix(rnd(0471, 212), C "
        "!= "
        "m, 145 <= A, sin(0x3F5))))) % 256 + 128";
    ASSERT_EQ(blue.size(), 312u);
    native::Compiled got = native::Compile(state_, 2, blue);
    EXPECT_EQ(got.failed, 0);
    EXPECT_EQ(got.size, 1772);

    std::string mixes = "(mix(r,g,1,2)";
    for (int k = 1; k < 37; ++k) mixes += "+mix(r,g,1,2)";
    mixes += ")/37";
    got = native::Compile(state_, 0, mixes);
    EXPECT_EQ(got.failed, 0);
    EXPECT_EQ(got.size, 2026);
    state_->planeValue[0] = 100;
    state_->planeValue[1] = 200;
    EXPECT_EQ(native::Run(state_, 0).value, 150);  // 50 + 100 per term

    std::string convolutions = "cnv(1,1,1,1,1,1,1,1,1,9)";
    for (int k = 1; k < 8; ++k) convolutions += "+cnv(1,1,1,1,1,1,1,1,1,9)";
    EXPECT_EQ(native::Compile(state_, 0, convolutions).failed, 0);
    std::string scales = "scl(r,0,255,0,9)";
    for (int k = 1; k < 28; ++k) scales += "+scl(r,0,255,0,9)";
    EXPECT_EQ(native::Compile(state_, 0, scales).failed, 0);

    std::string flips = "g";
    for (int k = 0; k < 127; ++k) flips += "-g+g";
    EXPECT_EQ(reference::Compile(flips, 1 << 20).size, 2304);
    got = native::Compile(state_, 0, flips);
    EXPECT_EQ(got.failed, 1);
    EXPECT_EQ(native::Run(state_, 0).value, 0);
    // The buffer runs out at the token that the shipped plug-in reports.
    const reference::Program p = reference::Compile(flips);
    EXPECT_EQ(got.start, p.errorStart);
    EXPECT_EQ(got.end, p.errorEnd);
    EXPECT_EQ(got.end - got.start, 1);
    EXPECT_LT(got.end, int32_t(flips.size()));
}

TEST_F(Compile, SmallCapacitiesNeverWritePastTheBuffer) {
    for (int32_t capacity = 0; capacity < 40; ++capacity) {
        std::memset(state_->code[2], 0xCC, 64);
        int32_t start = 0, end = 9, size = capacity;
        CompileFormula(native::Funcs(), native::Opers(), "r + g * 3", &start, &end, state_->code[2],
                       &size);
        EXPECT_LT(size, capacity > 0 ? capacity : 1) << capacity;
        for (int k = capacity > 0 ? capacity - 1 : 0; k < 64; ++k)
            EXPECT_EQ(state_->code[2][k], 0xCC) << capacity;
        EXPECT_GE(start, 0);
        EXPECT_LE(start, end);
        EXPECT_LE(end, 9);
    }
}

// Hand-made tables: a FUNC name without an OPER row is a syntax error where
// its template is due, and a damaged OPER table is read no further than its size.
TEST_F(Compile, TablesSuppliedByTheCaller) {
    const ByteTable funcs = native::Funcs(), opers = native::Opers();
    ASSERT_TRUE(funcs.bytes && opers.bytes);
    uint8_t extended[530] = {};
    std::memcpy(extended, funcs.bytes, 510);               // the shipped rows
    std::memcpy(extended + 510, "foo\0\0\0\0\0\1\0", 10);  // foo(1), no template
    int32_t start = 0, end = 12, size = 2048;
    EXPECT_EQ(CompileFormula({extended, sizeof extended}, opers, "foo(r) + 1 ", &start, &end,
                             state_->code[0], &size),
              1);
    EXPECT_EQ(start, 7);  // the token after the arguments
    EXPECT_EQ(end, 8);
    EXPECT_EQ(native::Run(state_, 0).value, 0);

    // Every cut of the OPER table: no read past the cut, a routine or a refusal.
    for (uint32_t cut = 0; cut <= opers.size; cut += 7) {
        start = 0;
        end = 9;
        size = 2048;
        CompileFormula(funcs, {opers.bytes, cut}, "r + g * 3", &start, &end, state_->code[0],
                       &size);
        EXPECT_LT(size, 2048);
        EXPECT_LE(end, 9);
    }
}

TEST_F(Compile, ChannelsGetTheirRoutinesAndResults) {
    FilterDefinition definition{};
    const char* formulas[4] = {"c", "255 - c", "r = 1", "(r"};
    for (int k = 0; k < 4; ++k) std::strcpy(definition.formula[k], formulas[k]);
    std::memset(definition.formula[1] + 8, 'x',
                sizeof definition.formula[1] - 9);  // leftovers after the end
    const char* const slots[4] = {definition.formula[0], definition.formula[1],
                                  definition.formula[2], definition.formula[3]};
    state_->formulasEdited = 1;
    CompileChannels(state_, slots, native::Funcs(), native::Opers());
    EXPECT_EQ(state_->formulasEdited, 0);
    const int failed[4] = {0, 0, 1, 1};
    const int32_t start[4] = {1, 7, 2, 2}, end[4] = {1, 7, 3, 2};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(state_->compileFailed[k], failed[k]) << k;
        EXPECT_EQ(state_->errorStart[k], start[k]) << k;
        EXPECT_EQ(state_->errorEnd[k], end[k]) << k;
        EXPECT_EQ(state_->codeSize[k], ShippedSize(formulas[k])) << k;
    }
    state_->z = 1;
    EXPECT_EQ(native::Run(state_, 0).value, 22);
    EXPECT_EQ(native::Run(state_, 1).value, 255 - 22);
    EXPECT_EQ(native::Run(state_, 2).value, 11);  // early end: the leading r
    EXPECT_EQ(native::Run(state_, 3).value, 0);   // syntax error

    // A slot filled to the brim is read as its first 1023 characters.
    std::memset(definition.formula[0], ' ', sizeof definition.formula[0]);
    definition.formula[0][0] = 'g';
    CompileChannels(state_, slots, native::Funcs(), native::Opers());
    EXPECT_EQ(state_->compileFailed[0], 0);
    EXPECT_EQ(state_->errorEnd[0], 1023);
}

// Every row has the shipped name, place and length (the resource is 2691
// bytes); the fixed templates are exactly these bytes; every FUNC name has a
// template.
TEST(Templates, RowsAsShipped) {
    const ByteTable funcs = native::Funcs(), ops = native::Opers();
    ASSERT_TRUE(funcs.bytes && ops.bytes);
    EXPECT_EQ(funcs.size, 520u);
    EXPECT_EQ(ops.size, shipped::kResourceBytes);
    uint32_t at = 0;
    for (const shipped::Row& row : shipped::kRows) {
        ASSERT_LT(at + 10, ops.size);
        EXPECT_STREQ(reinterpret_cast<const char*>(ops.bytes + at), row.name);
        const int length = int16_t(ops.bytes[at + 8] | ops.bytes[at + 9] << 8);
        EXPECT_EQ(length, row.length) << row.name;
        at += 10 + uint32_t(length);
    }
    for (uint32_t k = at; k < ops.size; ++k)
        EXPECT_EQ(ops.bytes[k], 0) << "end row byte " << k - at;
    EXPECT_EQ(at + 10, ops.size);

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
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(row.code), size_t(row.length)), f.bytes)
            << f.name;
    }
    // i, u and v build their weights from shifts, adds and lea: none of the
    // multiply opcodes (imul 69/6B/0F AF, mul/imul F6/F7) occurs in their bytes
    // (the no-op padding is 0F 1F, 66, 90).
    for (const char* name : {"i", "u", "v"}) {
        TemplateRow row;
        ASSERT_TRUE(FindTemplate(ops, name, &row));
        for (int k = 0; k < row.length; ++k) {
            const uint8_t b = row.code[k];
            EXPECT_TRUE(b != 0x69 && b != 0x6B && b != 0xF6 && b != 0xF7 && b != 0xAF)
                << name << " byte " << k;
        }
    }
    int rows = 0;
    for (uint32_t f = 0; funcs.bytes[f] != 0; f += 10, ++rows) {
        const char* name = reinterpret_cast<const char*>(funcs.bytes + f);
        TemplateRow row;
        EXPECT_TRUE(FindTemplate(ops, name, &row)) << name;
        EXPECT_EQ(FindFunction(funcs, name, int(std::strlen(name))),
                  int16_t(funcs.bytes[f + 8] | funcs.bytes[f + 9] << 8));
    }
    EXPECT_EQ(rows, 51);
    EXPECT_EQ(FindFunction(funcs, "cnv", 3), 10);
    EXPECT_EQ(FindFunction(funcs, "R", 1), 0);
    EXPECT_EQ(FindFunction(funcs, "Min", 3), -1);
    EXPECT_EQ(FindFunction(funcs, "mi", 2), -1);
}

}  // namespace
