// The lexer and parser take any bytes: random texts of every byte value and
// mutated formulas, up to 1023 characters. No fault, a reported range inside
// the text, the same outcome on every compile, the reference compile agreeing
// in result, range and size, and the routine left behind running like the
// reference's.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "formula/compiler.h"
#include "interface/state.h"
#include "tests/formula/formula_generator.h"
#include "tests/formula/native_runner.h"
#include "tests/formula/random_state.h"
#include "tests/formula/reference_eval.h"

namespace {

class Fuzz : public ::testing::Test {
protected:
    void SetUp() override {
        nat_ = native::NewExecutableState();
        ref_ = native::NewState();
        ASSERT_TRUE(nat_ && ref_ && native::Funcs().bytes);
    }
    void TearDown() override {
        native::FreeState(ref_);
        native::FreeState(nat_);
    }

    // Compiles twice natively and once in the reference; runs what was left.
    void Check(const std::string& text, formula_gen::Random& rng) {
        const native::Compiled first = native::Compile(nat_, 0, text);
        uint8_t code[2048];
        std::memcpy(code, nat_->code[0], sizeof code);
        const native::Compiled second = native::Compile(nat_, 0, text);
        ASSERT_EQ(first.failed, second.failed);
        ASSERT_EQ(first.start, second.start);
        ASSERT_EQ(first.end, second.end);
        ASSERT_EQ(first.size, second.size);
        ASSERT_EQ(std::memcmp(code, nat_->code[0], size_t(first.size)), 0);
        ASSERT_GE(first.start, 0);
        ASSERT_LE(first.start, first.end);
        ASSERT_LE(first.end, int32_t(text.size()));
        ASSERT_LT(first.size, 2048);

        const reference::Program p =
            reference::Compile(native::Funcs(), text.data(), 0, int32_t(text.size()));
        ASSERT_EQ(p.failed, first.failed);
        ASSERT_EQ(p.errorStart, first.start);
        ASSERT_EQ(p.errorEnd, first.end);
        ASSERT_EQ(p.size, first.size);

        formula_state::Randomize(rng, ref_, source_);
        std::memcpy(nat_, ref_, kPixelContextSize);
        const native::Call call = native::Run(nat_, 0);
        ASSERT_EQ(call.value, reference::Run(p, ref_));
        ASSERT_TRUE(call.registersKept);
        ASSERT_EQ(std::memcmp(nat_, ref_, kPixelContextSize), 0);
        ++checked_;
    }

    PluginState* nat_ = nullptr;
    PluginState* ref_ = nullptr;
    formula_state::GuardedSource source_;
    int checked_ = 0;
};

TEST_F(Fuzz, RandomBytesOfEveryValue) {
    formula_gen::Random rng(7);
    for (int n = 0; n < 4000; ++n) {
        std::string text(rng.Below(1024), '\0');
        // Mostly the formula alphabet, sometimes any byte at all.
        const char* alphabet = "rgbacxyzXYZDMmin(),?:!~&|^<>=+-*/%0123456789 \r\n";
        const bool anyByte = rng.Chance(30);
        for (char& ch : text)
            ch = anyByte ? char(rng.Below(256))
                         : alphabet[rng.Below(uint32_t(std::strlen(alphabet)))];
        ASSERT_NO_FATAL_FAILURE(Check(text, rng)) << "case " << n;
    }
    EXPECT_EQ(checked_, 4000);
}

TEST_F(Fuzz, MutatedFormulas) {
    formula_gen::Random rng(11);
    for (int n = 0; n < 4000; ++n) {
        const std::string text = formula_gen::Mutated(rng);
        ASSERT_NO_FATAL_FAILURE(Check(text, rng)) << text;
    }
}

TEST_F(Fuzz, EveryByteAloneAndAfterAnOperand) {
    formula_gen::Random rng(3);
    for (int byte = 0; byte < 256; ++byte) {
        ASSERT_NO_FATAL_FAILURE(Check(std::string(1, char(byte)), rng)) << byte;
        ASSERT_NO_FATAL_FAILURE(Check("r" + std::string(1, char(byte)) + "1", rng)) << byte;
        ASSERT_NO_FATAL_FAILURE(Check("min(r" + std::string(1, char(byte)) + "1)", rng)) << byte;
    }
}

// The deepest nesting a 1023-character slot can hold compiles and runs; a
// longer text nests no deeper than the parser allows.
TEST_F(Fuzz, DeepNesting) {
    formula_gen::Random rng(5);
    const std::string parens = std::string(511, '(') + "r" + std::string(511, ')');
    ASSERT_NO_FATAL_FAILURE(Check(parens, rng));
    EXPECT_EQ(native::Compile(nat_, 0, parens).failed, 0);
    const std::string plus = std::string(1022, '+') + "r";  // unary plus emits no code
    ASSERT_NO_FATAL_FAILURE(Check(plus, rng));
    EXPECT_EQ(native::Compile(nat_, 0, plus).failed, 0);
    const std::string minus = std::string(1022, '-') + "r";  // 1022 negations overflow the buffer
    ASSERT_NO_FATAL_FAILURE(Check(minus, rng));
    const std::string open = std::string(1023, '(');
    ASSERT_NO_FATAL_FAILURE(Check(open, rng));
    const std::string tooDeep = std::string(5000, '(') + "r" + std::string(5000, ')');
    const native::Compiled got = native::Compile(nat_, 0, tooDeep);
    EXPECT_EQ(got.failed, 1);
    EXPECT_EQ(got.start, 1024);
    EXPECT_EQ(native::Run(nat_, 0).value, 0);
}

}  // namespace
