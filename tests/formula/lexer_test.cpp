// The lexer on its own: token kinds and spellings, numbers, comments,
// whitespace and the reported range.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "formula/lexer.h"

namespace {

std::vector<TokenKind> Kinds(const std::string& text) {
    Lexer lex;
    LexerInit(lex, text.data(), text.data() + text.size());
    std::vector<TokenKind> kinds;
    do {
        Advance(lex);
        kinds.push_back(lex.kind);
    } while (lex.kind != TokenKind::End && lex.kind != TokenKind::Error && kinds.size() < 100);
    return kinds;
}

using K = TokenKind;

TEST(Lexer, LongestSpellingWins) {
    struct Case {
        const char* text;
        std::vector<TokenKind> kinds;
    } cases[] = {
        {"! != & && | || < << <= > >> >= ==",
         {K::Not, K::NotEqual, K::BitAnd, K::LogicalAnd, K::BitOr, K::LogicalOr, K::Less,
          K::ShiftLeft, K::LessEqual, K::Greater, K::ShiftRight, K::GreaterEqual, K::Equal,
          K::End}},
        {"( ) , ? : ^ ~ + - * / %",
         {K::Open, K::Close, K::Comma, K::Question, K::Colon, K::BitXor, K::Complement, K::Plus,
          K::Minus, K::Times, K::Divide, K::Remainder, K::End}},
        {"<<=", {K::ShiftLeft, K::Error}},  // "<<" then a lone "="
        {"!==", {K::NotEqual, K::Error}},
        {"a=b", {K::Name, K::Error}},
        {"--x", {K::Minus, K::Minus, K::Name, K::End}},
        {"2x", {K::Number, K::Name, K::End}},
        {"x2y_", {K::Name, K::Error}},  // the underscore is no name character
        {"0x1Fg", {K::Number, K::Name, K::End}},
        {"12ab", {K::Number, K::End}},    // one token, which fails to convert
        {"r\x0Bg", {K::Name, K::Error}},  // vertical tab is not whitespace
        {" \t\n\f\rr", {K::Name, K::End}},
        {"", {K::End}},
        {"@", {K::Error}},
        {"\xE9", {K::Error}},
    };
    for (const Case& c : cases) EXPECT_EQ(Kinds(c.text), c.kinds) << c.text;
}

TEST(Lexer, CommentsEndOnlyAtACarriageReturn) {
    EXPECT_EQ(Kinds("// note\rr"), (std::vector<K>{K::Name, K::End}));
    EXPECT_EQ(Kinds("// note\nr"), (std::vector<K>{K::End}));
    EXPECT_EQ(Kinds("r // one\r// two\r/ g"),
              (std::vector<K>{K::Name, K::Divide, K::Name, K::End}));
    EXPECT_EQ(Kinds("r/ /g"), (std::vector<K>{K::Name, K::Divide, K::Divide, K::Name, K::End}));
}

TEST(Lexer, AZeroByteEndsTheText) {
    const std::string text("r\0g", 3);
    EXPECT_EQ(Kinds(text), (std::vector<K>{K::Name, K::End}));
}

TEST(Lexer, LongTokensAreConsumedWholeButStoredTo255) {
    const std::string name(300, 'q');
    Lexer lex;
    const std::string text = name + " r";
    LexerInit(lex, text.data(), text.data() + text.size());
    Advance(lex);
    EXPECT_EQ(lex.kind, K::Name);
    EXPECT_EQ(lex.length, 255);
    EXPECT_EQ(std::string(lex.text), std::string(255, 'q'));
    int32_t start, end;
    TokenRange(lex, &start, &end);
    EXPECT_EQ(end, 300);
    EXPECT_EQ(start, 45);
    Advance(lex);
    EXPECT_EQ(lex.kind, K::Name);
    EXPECT_EQ(std::string(lex.text), "r");
}

TEST(Numbers, ConversionByBase) {
    struct Case {
        const char* text;
        bool valid;
        int32_t value;
    } cases[] = {
        {"0", true, 0},
        {"7", true, 7},
        {"017", true, 15},
        {"0x1F", true, 31},
        {"0X1f", true, 31},
        {"0x", true, 0},
        {"00", true, 0},
        {"2147483647", true, 2147483647},
        {"2147483648", true, INT32_MIN},
        {"4294967295", true, -1},
        {"4294967296", true, 0},
        {"0xFFFFFFFF", true, -1},
        {"0x100000001", true, 1},
        {"037777777777", true, -1},
        {"08", false, 0},
        {"09", false, 0},
        {"0a", false, 0},
        {"1a", false, 0},
        {"12ab", false, 0},
    };
    for (const Case& c : cases) {
        int32_t value = 12345;
        EXPECT_EQ(ConvertNumber(c.text, &value), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

}  // namespace
