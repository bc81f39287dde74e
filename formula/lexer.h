// The lexer of the formula language: one token at a time, with one character
// of lookahead already read from the text.
//
// Portable: no platform headers, so it can be tested and fuzzed on its own.
// The text is a byte range [textStart, textEnd); a zero byte inside the range
// ends the text as the terminator of a formula slot would.
#pragma once
#include <cstdint>

enum class TokenKind : int32_t {
    None,
    End,
    Error,
    Name,
    Number,
    Comma,
    Question,
    Colon,
    Open,
    Close,
    Not,
    Complement,
    LogicalAnd,
    LogicalOr,
    BitAnd,
    BitOr,
    BitXor,
    Equal,
    NotEqual,
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
    ShiftLeft,
    ShiftRight,
    Plus,
    Minus,
    Times,
    Divide,
    Remainder,
};

constexpr int kTokenTextMax = 255;  // characters stored and counted per token

struct Lexer {
    int32_t lookahead;  // next character (0..255), 0 at the end; starts as a space
    TokenKind kind;     // kind of the current token
    int32_t length;     // characters stored in `text`
    char text[kTokenTextMax + 1];
    const char* textStart;
    const char* textCursor;  // next character to read
    const char* textEnd;
};

void LexerInit(Lexer& lex, const char* start, const char* end);

// Reads the next token. Once the current token is an error, nothing more is
// read: the parser unwinds with the error token as the current one.
void Advance(Lexer& lex);

// Converts the text of a number token: "0x"/"0X" hexadecimal ("0x" alone is 0),
// a leading "0" octal, else decimal; digits accumulate with 32-bit
// wrap-around. False when a character does not belong to the base.
bool ConvertNumber(const char* text, int32_t* value);

// The range of the current token as offsets from textStart: `end` points just
// past the token (the lookahead character is not counted), `start` is `end`
// less the token's stored length. At the end of the text both are the length.
void TokenRange(const Lexer& lex, int32_t* start, int32_t* end);
