// The grammar, lowest precedence first. Each binary level is left-associative
// and loops while the current token is one of its operators. The levels are
// not C's: shifts bind more loosely than comparisons, "|" and "^" share one
// level below "&", "&&" binds more loosely than "|". The sequence operator ","
// exists only at the top level; parentheses and arguments hold conditionals.
//
// A syntax error does not stop the procedures: the current token becomes an
// error token, which no rule matches and after which nothing is read, so the
// pending rules unwind (each further mismatch raises the error again, which
// only restarts the "error" routine) and the token that caused it stays
// current for the reported range.
#include "formula/parser.h"
#include <cstring>

namespace {

class Parser {
public:
    Parser(Lexer& lex, ByteTable funcs, Emitter& out) : lex_(lex), funcs_(funcs), out_(out) {}

    bool Formula() {
        Emit("prolog");
        Advance(lex_);
        Sequence();
        Emit("epilog");
        return lex_.kind == TokenKind::End;
    }

private:
    void SyntaxError() {
        out_.RestartWithError();
        lex_.kind = TokenKind::Error;
    }
    void Emit(const char* name) {
        if (!out_.EmitTemplate(name)) SyntaxError();
    }
    void Require(TokenKind kind) {
        if (lex_.kind == kind) Advance(lex_);
        else SyntaxError();
    }
    bool Is(TokenKind kind) const { return lex_.kind == kind; }

    void Sequence() {
        Conditional();
        while (Is(TokenKind::Comma)) {
            Emit(",");
            Advance(lex_);
            Conditional();
        }
    }

    void Conditional() {
        LogicalOr();
        if (!Is(TokenKind::Question)) return;
        Advance(lex_);
        Conditional();
        Require(TokenKind::Colon);
        Conditional();
        Emit("?");
    }

    void LogicalOr() {
        LogicalAnd();
        while (Is(TokenKind::LogicalOr)) {
            Advance(lex_);
            LogicalAnd();
            Emit("||");
        }
    }

    void LogicalAnd() {
        BitOr();
        while (Is(TokenKind::LogicalAnd)) {
            Advance(lex_);
            BitOr();
            Emit("&&");
        }
    }

    void BitOr() {
        BitAnd();
        while (Is(TokenKind::BitOr) || Is(TokenKind::BitXor)) {
            const char* name = Is(TokenKind::BitOr) ? "|" : "^";
            Advance(lex_);
            BitAnd();
            Emit(name);
        }
    }

    void BitAnd() {
        Shift();
        while (Is(TokenKind::BitAnd)) {
            Advance(lex_);
            Shift();
            Emit("&");
        }
    }

    void Shift() {
        Comparison();
        while (Is(TokenKind::ShiftLeft) || Is(TokenKind::ShiftRight)) {
            const char* name = Is(TokenKind::ShiftLeft) ? "<<" : ">>";
            Advance(lex_);
            Comparison();
            Emit(name);
        }
    }

    static const char* ComparisonName(TokenKind kind) {
        switch (kind) {
        case TokenKind::Equal: return "==";
        case TokenKind::NotEqual: return "!=";
        case TokenKind::Less: return "<";
        case TokenKind::LessEqual: return "<=";
        case TokenKind::Greater: return ">";
        case TokenKind::GreaterEqual: return ">=";
        default: return nullptr;
        }
    }

    void Comparison() {
        Additive();
        while (const char* name = ComparisonName(lex_.kind)) {
            Advance(lex_);
            Additive();
            Emit(name);
        }
    }

    void Additive() {
        Multiplicative();
        while (Is(TokenKind::Plus) || Is(TokenKind::Minus)) {
            const char* name = Is(TokenKind::Plus) ? "+" : "-";
            Advance(lex_);
            Multiplicative();
            Emit(name);
        }
    }

    void Multiplicative() {
        Unary();
        while (Is(TokenKind::Times) || Is(TokenKind::Divide) || Is(TokenKind::Remainder)) {
            const char* name = Is(TokenKind::Times) ? "*" : Is(TokenKind::Divide) ? "/" : "%";
            Advance(lex_);
            Unary();
            Emit(name);
        }
    }

    // Every level of nesting, parenthesised or prefixed, passes through here.
    void Unary() {
        if (depth_ >= kMaxNesting) {
            SyntaxError();
            return;
        }
        ++depth_;
        const char* name = nullptr;
        switch (lex_.kind) {
        case TokenKind::Not: name = "!"; break;
        case TokenKind::Complement: name = "~"; break;
        case TokenKind::Minus: name = "negate"; break;
        case TokenKind::Plus: name = ""; break;
        default: break;
        }
        if (name) {
            Advance(lex_);
            Unary();
            if (*name) Emit(name);
        } else {
            Primary();
        }
        --depth_;
    }

    void Primary() {
        switch (lex_.kind) {
        case TokenKind::Number: {
            int32_t value;
            if (!ConvertNumber(lex_.text, &value)) {
                SyntaxError();
                return;
            }
            Emit("number");
            if (!out_.EmitValue(value)) SyntaxError();
            Advance(lex_);
            return;
        }
        case TokenKind::Name: Call(); return;
        case TokenKind::Open:
            Advance(lex_);
            Conditional();
            Require(TokenKind::Close);
            return;
        default: SyntaxError(); return;
        }
    }

    // A variable, or a function with exactly its arity of arguments, emitted
    // left to right so that the rightmost ends on top.
    void Call() {
        const int arity = FindFunction(funcs_, lex_.text, lex_.length);
        if (arity < 0) {
            SyntaxError();
            return;
        }
        char name[kTokenTextMax + 1];
        std::memcpy(name, lex_.text, size_t(lex_.length) + 1);
        Advance(lex_);
        if (arity > 0) {
            Require(TokenKind::Open);
            for (int k = 1; k < arity; ++k) {
                Conditional();
                Require(TokenKind::Comma);
            }
            Conditional();
            Require(TokenKind::Close);
        }
        Emit(name);
    }

    Lexer& lex_;
    ByteTable funcs_;
    Emitter& out_;
    int depth_ = 0;
};

}  // namespace

bool ParseFormula(Lexer& lex, ByteTable funcs, Emitter& out) {
    return Parser(lex, funcs, out).Formula();
}
