// One-pass recursive-descent parser of the formula language.
//
// There is no syntax tree: each time the parser has recognised an operand or
// an operator it names a code template through the Emitter, in postfix order.
// What a name means in bytes is the emitter's business; the parser never sees
// machine code. Portable: no platform headers.
#pragma once
#include <cstdint>
#include "formula/lexer.h"
#include "formula/tables.h"

class Emitter {
public:
    // Appends the template `name`; false when there is no such template or no
    // room for it (the parser then raises a syntax error).
    virtual bool EmitTemplate(const char* name) = 0;
    // Appends a 32-bit literal; false when there is no room.
    virtual bool EmitValue(int32_t value) = 0;
    // A syntax error: discards everything emitted so far and emits the
    // "error" routine in its place. Later output lands behind it, unreached.
    virtual void RestartWithError() = 0;

protected:
    ~Emitter() = default;
};

// Nesting deeper than this is a syntax error. A formula slot holds at most
// 1023 characters and each level needs one, so no formula that fits a slot
// reaches it; longer texts cannot exhaust the host's stack.
constexpr int kMaxNesting = 1024;

// Parses the whole text of `lex` (initialised with LexerInit): emits "prolog",
// the formula and "epilog". True when the token after the formula is the end
// of the text. On false, lex holds the token at which parsing stopped.
bool ParseFormula(Lexer& lex, ByteTable funcs, Emitter& out);
