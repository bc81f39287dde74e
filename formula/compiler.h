// The code generator: turns one formula into a native routine by appending
// OPER templates into a code buffer, as the parser names them.
//
// A compiled routine is called as int32_t __cdecl routine(PluginState*): the
// templates keep EDI = state block and use the machine stack as the
// evaluation stack; "prolog" and "epilog" frame the routine.
//
// The FUNC and OPER tables are the caller's (the plug-in copies them from
// its resources); nothing here reaches the plug-in's globals.
#pragma once
#include <cstdint>
#include "formula/lexer.h"
#include "formula/tables.h"

struct PluginState;

// The compiler's working record for one compile; never outlives the call.
struct CompilerState {
    Lexer lex;  // lookahead, kind, length, text, text range and cursor
    uint8_t* codeStart;
    uint8_t* codeCursor;
    uint8_t* codeEnd;  // codeStart + capacity
    ByteTable operTable;
};

// One formula and one code buffer per channel: red, green, blue, alpha.
constexpr int kChannels = 4;

// What a routine does to the state block besides reading it. The templates
// write only the random state (rnd) and the cells (put), and none of them
// jumps over another (every operand is evaluated, both branches of "?"
// included), so every call of the routine runs each of its templates once.
// Counted as the parser names the templates; after a syntax error only the
// "error" routine is live, and it writes nothing.
struct RoutineShape {
    int32_t rndCalls;  // how often one call advances the random generator
    bool writesCells;  // a put: a later pixel may read what this one stored
};

// Compiles the bytes base+start .. base+end into `code`, whose capacity is
// *size; a routine holds at most capacity - 1 bytes. On return *size is the
// number of code bytes written and [*start, *end) the token at which parsing
// stopped (an empty range at the end of the text on success). Returns 0 when
// the whole text was a formula, 1 otherwise. After a syntax error the buffer
// holds the "error" routine (returns 0); when only a trailing token was left
// over it holds the complete routine of the leading expression.
// `shape`, when given, receives what the routine writes.
int CompileFormula(ByteTable funcs, ByteTable opers, const char* base, int32_t* start, int32_t* end,
                   uint8_t* code, int32_t* size, RoutineShape* shape = nullptr);

// Compiles the four zero-terminated formula slots (at most 1023 characters
// each) into the code buffers of `state` and records compileFailed,
// errorStart, errorEnd and codeSize per channel; all four are compiled even
// when one fails; then clears formulasEdited. The caller makes the new code
// visible to the processor. A channel whose codeSize is 0 holds no routine
// (never compiled, or the tables were missing): it is not called, and its
// output is 0 as that of a failed formula.
void CompileChannels(PluginState* state, const char* const formulas[4], ByteTable funcs,
                     ByteTable opers);

// The shapes of the four routines in the code buffers of `state`, as its
// last CompileChannels found them; null when the buffers hold anything but
// what that compile wrote (another block, or bytes written since).
const RoutineShape* ChannelShapes(const PluginState* state);
