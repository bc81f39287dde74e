// Reference evaluator of compiled formulas: an interpreter of the template
// sequence that the compiler emits, written from the language's stated
// meaning in plain C++ (64-bit intermediates, no machine code). It runs the
// same template names in the same order against the same PluginState, so its
// results, cells and random state must equal the native routine's.
//
// Compiling uses the real parser and FUNC table (names and arities) and the
// shipped template lengths (tests/formula/shipped_lengths.h), so a reference
// program fails, overflows and stops where the shipped plug-in does; the
// native compile must agree.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "formula/tables.h"

struct PluginState;

namespace reference {

// One emitted template; `value` is the literal of "number".
struct Op {
    int code;  // index into the reference's own name list
    int32_t value;
};

struct Program {
    std::vector<Op> ops;     // as emitted, "error" and "epilog" included
    int failed = 1;          // CompileFormula's result
    int32_t errorStart = 0;  // reported range
    int32_t errorEnd = 0;
    int32_t size = 0;  // code bytes the native compile writes
};

// Compiles base+start .. base+end with the given FUNC table and a code
// capacity, recording template names instead of bytes.
Program Compile(ByteTable funcs, const char* base, int32_t start, int32_t end,
                int32_t capacity = 2048);

// The same with the FUNC resource linked into this program.
Program Compile(const std::string& text, int32_t capacity = 2048);

// Runs a program against `state` as the native routine would: reads the
// pixel context, updates randIndexA/B, randTable and cells, returns the value.
int32_t Run(const Program& program, PluginState* state);

// Names of the templates the reference knows, for diagnostics.
const char* OpName(int code);

}  // namespace reference

// Short names for image-level users (end-to-end tests, the benchmark):
// compile a zero-terminated formula with our own resources, run it on a state.
using RefProgram = reference::Program;
inline void RefCompile(const char* text, RefProgram& program) {
    program = reference::Compile(std::string(text));
}
inline int32_t RefRun(const RefProgram& program, PluginState& state) {
    return reference::Run(program, &state);
}

// The engine's walk over the area with reference programs: `state` holds the
// pass fields as RunFilter sets them (sizes, area, strides, buffer pointers,
// and the prepared sliders, maps, random state and cells); every pixel's
// samples are loaded before its first formula, results clamped to 0..255.
void RefRunPass(const RefProgram (&programs)[4], PluginState& state);
