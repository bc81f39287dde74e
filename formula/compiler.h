// The code generator: turns one formula into a native routine by appending
// OPER templates into a code buffer, as the parser names them.
//
// A compiled routine is called as int32_t __cdecl routine(PluginState*): the
// templates keep EDI = state block and use the machine stack as the
// evaluation stack; "prolog" and "epilog" frame the routine.
#pragma once
#include <cstdint>
#include "formula/lexer.h"
#include "formula/tables.h"

// The compiler's working record for one compile; never outlives the call.
struct CompilerState {
    Lexer          lex;          // lookahead, kind, length, text, text range and cursor
    uint8_t*       codeStart;
    uint8_t*       codeCursor;
    uint8_t*       codeEnd;      // codeStart + capacity
    ByteTable      funcTable;
    ByteTable      operTable;
};

// Compiles the bytes base+start .. base+end into `code`, whose capacity is
// *size; a routine holds at most capacity - 1 bytes. On return *size is the
// number of code bytes written and [*start, *end) the token at which parsing
// stopped (an empty range at the end of the text on success). Returns 0 when
// the whole text was a formula, 1 otherwise. After a syntax error the buffer
// holds the "error" routine (returns 0); when only a trailing token was left
// over it holds the complete routine of the leading expression.
// Without the FUNC or OPER resource: returns 1 and writes nothing.
int CompileFormula(const char* base, int32_t* start, int32_t* end, uint8_t* code, int32_t* size);

// The same with the two tables supplied by the caller.
int CompileWithTables(ByteTable funcs, ByteTable opers, const char* base, int32_t* start, int32_t* end,
                      uint8_t* code, int32_t* size);
