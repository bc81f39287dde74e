// Random pixel contexts for differential runs: pixel values, positions,
// rectangle sizes and source area, sliders, map tables, cells, random state,
// trigonometric tables (built or random), and a small source buffer with a
// padded stride placed flush against an inaccessible page, so that any read
// outside it faults at once.
#pragma once
#include <cstdint>
#include "tests/formula/formula_generator.h"

struct PluginState;

namespace formula_state {

class GuardedSource {
public:
    GuardedSource();
    ~GuardedSource();
    GuardedSource(const GuardedSource&) = delete;
    GuardedSource& operator=(const GuardedSource&) = delete;
    // Room for `bytes` bytes that touch the guard page below (atEnd false) or
    // above (atEnd true). At most one page.
    uint8_t* Place(uint32_t bytes, bool atEnd);

private:
    uint8_t* region_;
};

// Fills the pixel context of `state` (everything compiled code may read) at
// random; the source buffer comes from `source`. Tables: the real ones from
// BuildTrigTables most of the time, random contents otherwise.
void Randomize(formula_gen::Random& rng, PluginState* state, GuardedSource& source);

}  // namespace formula_state
