// The benchmark's formula set: each with the same formula written by hand in
// C++ (the practical limit of a compiled per-pixel loop), and, where the
// other tools can express it, ImageMagick -fx and G'MIC -fill expressions.
#pragma once
#include <cstdint>

struct PluginState;

// One whole pass written by hand: reads the state's input buffer, area size,
// sliders, tables and random state as the compiled code would, and writes
// the output buffer. Alpha, when present, is copied.
using HandFormula = void (*)(PluginState* s);

struct BenchFormula {
    const char* name;
    const char* formula;  // the same text for red, green and blue; alpha "a"
    HandFormula hand;
    const char* magickFx;  // -fx expression on 0..1 values, or null
    const char* gmicFill;  // -fill expression on 0..255 values, or null
};

extern const BenchFormula kBenchFormulas[];
extern const int kBenchFormulaCount;
