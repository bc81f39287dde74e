// Lexer of the formula language.
#include "formula/lexer.h"

namespace {

bool IsLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(int c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
// Vertical tab (11) is deliberately not whitespace.
bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

void Read(Lexer& lex) {
    if (lex.textCursor < lex.textEnd && *lex.textCursor != 0)
        lex.lookahead = static_cast<unsigned char>(*lex.textCursor++);
    else lex.lookahead = 0;
}

// Moves the lookahead character into the token text. Past 255 characters the
// token is still consumed but no longer stored or counted.
void Take(Lexer& lex) {
    if (lex.length < kTokenTextMax) {
        lex.text[lex.length++] = char(lex.lookahead);
        lex.text[lex.length] = 0;
    }
    Read(lex);
}

// Takes the second character of a two-character spelling when it is `next`.
TokenKind Pair(Lexer& lex, int next, TokenKind two, TokenKind one) {
    if (lex.lookahead != next) return one;
    Take(lex);
    return two;
}

}  // namespace

void LexerInit(Lexer& lex, const char* start, const char* end) {
    lex.lookahead = ' ';
    lex.kind = TokenKind::None;
    lex.length = 0;
    lex.text[0] = 0;
    lex.textStart = lex.textCursor = start;
    lex.textEnd = end;
}

void Advance(Lexer& lex) {
    if (lex.kind == TokenKind::Error) return;
    for (;;) {
        lex.length = 0;
        lex.text[0] = 0;
        while (IsSpace(lex.lookahead)) Read(lex);
        const int c = lex.lookahead;
        if (c == 0) {
            lex.kind = TokenKind::End;
            return;
        }
        if (IsLetter(c)) {
            while (IsLetter(lex.lookahead) || IsDigit(lex.lookahead)) Take(lex);
            lex.kind = TokenKind::Name;
            return;
        }
        if (IsDigit(c)) {
            Take(lex);
            if (c == '0' && (lex.lookahead == 'x' || lex.lookahead == 'X')) Take(lex);
            while (IsHexDigit(lex.lookahead)) Take(lex);
            lex.kind = TokenKind::Number;
            return;
        }
        Take(lex);
        switch (c) {
        case '!': lex.kind = Pair(lex, '=', TokenKind::NotEqual, TokenKind::Not); return;
        case '&': lex.kind = Pair(lex, '&', TokenKind::LogicalAnd, TokenKind::BitAnd); return;
        case '|': lex.kind = Pair(lex, '|', TokenKind::LogicalOr, TokenKind::BitOr); return;
        case '<':
            if (lex.lookahead == '<') {
                Take(lex);
                lex.kind = TokenKind::ShiftLeft;
            } else {
                lex.kind = Pair(lex, '=', TokenKind::LessEqual, TokenKind::Less);
            }
            return;
        case '>':
            if (lex.lookahead == '>') {
                Take(lex);
                lex.kind = TokenKind::ShiftRight;
            } else {
                lex.kind = Pair(lex, '=', TokenKind::GreaterEqual, TokenKind::Greater);
            }
            return;
        case '=': lex.kind = Pair(lex, '=', TokenKind::Equal, TokenKind::Error); return;
        case '(': lex.kind = TokenKind::Open; return;
        case ')': lex.kind = TokenKind::Close; return;
        case ',': lex.kind = TokenKind::Comma; return;
        case '?': lex.kind = TokenKind::Question; return;
        case ':': lex.kind = TokenKind::Colon; return;
        case '^': lex.kind = TokenKind::BitXor; return;
        case '~': lex.kind = TokenKind::Complement; return;
        case '+': lex.kind = TokenKind::Plus; return;
        case '-': lex.kind = TokenKind::Minus; return;
        case '*': lex.kind = TokenKind::Times; return;
        case '%': lex.kind = TokenKind::Remainder; return;
        case '/':
            if (lex.lookahead != '/') {
                lex.kind = TokenKind::Divide;
                return;
            }
            // A comment runs up to a carriage return; a line feed alone does not end it.
            while (lex.lookahead != '\r' && lex.lookahead != 0) Read(lex);
            continue;
        default: lex.kind = TokenKind::Error; return;
        }
    }
}

bool ConvertNumber(const char* text, int32_t* value) {
    uint32_t base = 10, v = 0;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    } else if (text[0] == '0') {
        base = 8;
        ++text;
    }
    for (; *text; ++text) {
        const int c = static_cast<unsigned char>(*text);
        uint32_t digit;
        if (IsDigit(c)) digit = uint32_t(c - '0');
        else if (c >= 'a' && c <= 'f') digit = uint32_t(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') digit = uint32_t(c - 'A' + 10);
        else return false;
        if (digit >= base) return false;
        v = v * base + digit;
    }
    *value = int32_t(v);
    return true;
}

void TokenRange(const Lexer& lex, int32_t* start, int32_t* end) {
    int32_t e = int32_t(lex.textCursor - lex.textStart) - (lex.lookahead != 0 ? 1 : 0);
    // Only an emitter that cannot take even the prologue stops before the
    // first character is read; its range is the empty one at the start.
    if (e < 0) e = 0;
    int32_t s = e - lex.length;
    *start = s < 0 ? 0 : s;
    *end = e;
}
