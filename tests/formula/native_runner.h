// Test helpers around the native back end: the FUNC and OPER tables of this
// test program, state blocks (one with executable code buffers), a compile
// into one of its code buffers, and a call, under the fault guard of a pass,
// that checks the routine hands back every register the caller relies on.
#pragma once
#include <cstdint>
#include <string>
#include "formula/tables.h"

struct PluginState;

namespace native {

// The FUNC and OPER resources (IDR_FORMULA_TABLES) linked into this test program.
ByteTable Funcs();
ByteTable Opers();

// A zero-filled state block; NewExecutableState's code buffers may be run.
PluginState* NewState();
PluginState* NewExecutableState();
void FreeState(PluginState* state);

struct Compiled {
    int failed;
    int32_t start, end, size;
};
Compiled Compile(PluginState* state, int channel, const std::string& text, int32_t capacity = 2048);

struct Call {
    int32_t value;
    bool registersKept;  // EBX, ESI, EDI and EBP as before the call
};
Call Run(PluginState* state, int channel);

}  // namespace native
