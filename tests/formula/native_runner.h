// Test helpers around the native back end: an executable state block, a
// compile into one of its code buffers, and a call that checks the routine
// hands back every register the caller relies on.
#pragma once
#include <cstdint>
#include <string>

struct PluginState;

namespace native {

// Resources of this test program (FUNC, OPER, PARM) become "our own".
void UseOwnResources();

// A zero-filled state block whose code buffers may be executed.
PluginState* NewExecutableState();
void FreeState(PluginState* state);

struct Compiled {
    int     failed;
    int32_t start, end, size;
};
Compiled Compile(PluginState* state, int channel, const std::string& text, int32_t capacity = 2048);

struct Call {
    int32_t value;
    bool    registersKept;  // EBX, ESI, EDI and EBP as before the call
};
Call Run(PluginState* state, int channel);

}  // namespace native
