// Readers of the two resources behind the compiler.
//
// FUNC: rows of 8 name bytes (zero-padded) and an int16 arity, ended by a row
// whose first byte is 0. OPER: rows of 8 name bytes, an int16 code length and
// that many code bytes, ended the same way. Both readers stop at the table's
// size as well, so a damaged resource cannot make them read past its copy.
#pragma once
#include <cstdint>

struct ByteTable {
    const uint8_t* bytes;
    uint32_t size;
};

// The arity of the first FUNC row whose name equals the `length` characters at
// `text`, or -1 when no row has that name.
int FindFunction(ByteTable funcs, const char* text, int length);

struct TemplateRow {
    const uint8_t* code;
    int length;
};

// The first OPER row named `name`; false when there is none.
bool FindTemplate(ByteTable opers, const char* name, TemplateRow* row);
