// The image pass from the inside: the walk over pixels that the calling
// thread and the workers share, and the rules that decide when a pass is
// shared among threads.
//
// A worker runs the same code buffers on its own copy of the PixelContext:
// the templates address the block only through EDI and write nothing but
// the random state (rnd) and the cells (put). So a filter whose running
// formulas never put runs in bands of rows on every thread, each band
// starting, for rnd, from the generator state that one thread would have
// reached there (formula/random_jump.h); the output is that of one thread,
// byte for byte. Portable: the threads are plugin/core/workers.h's.
#pragma once
#include <cstdint>
#include "formula/compiler.h"
#include "interface/host_record.h"
#include "interface/state.h"
#include "plugin/core/plugin.h"

using CompiledFormula = int32_t(__cdecl*)(PluginState*);

// What a walk calls: the routine of each channel, or, for a channel without
// code, one that gives 0.
struct Routines {
    CompiledFormula code[kChannels];
    int run;     // formulas per pixel: the planes, at most the four code buffers
    int planes;  // pixel stride: zEnd - zStart
};
Routines RoutinesOf(const PluginState* state);

// Results in 0..255 are by far the most common: one predictable test.
inline uint8_t ClampToByte(int32_t v) {
    if (uint32_t(v) > 255u) v = v < 0 ? 0 : 255;
    return uint8_t(v);
}

// Columns x .. xEnd - 1 of row `y` (stored by the caller); `in` and `out`
// point at pixel x. The formulas run for the first `kRun` planes (0: r.run of
// them), the other planes of the output stay untouched. The compiled code
// reads x, z and planeValue from the block, so those are stored before every
// call; everything the loop needs stays in locals, because after each call
// into the code buffers the compiler must assume the block has changed.
template <int kRun>
[[gnu::always_inline]] inline void WalkRow(PluginState* s, const Routines& r, const uint8_t* in,
                                           uint8_t* out, int32_t x, int32_t xEnd) {
    const int planes = r.planes;
    for (; x < xEnd; ++x) {
        s->x = x;
        if constexpr (kRun == 0) {
            for (int z = 0; z < r.run; ++z) s->planeValue[z] = in[z];
            for (int z = 0; z < r.run; ++z) {
                s->z = z;
                out[z] = ClampToByte(r.code[z](s));
            }
        } else {
            // All samples first: every formula sees the source pixel.
            s->planeValue[0] = in[0];
            s->planeValue[1] = in[1];
            s->planeValue[2] = in[2];
            if constexpr (kRun == 4) s->planeValue[3] = in[3];
            s->z = 0;
            out[0] = ClampToByte(r.code[0](s));
            s->z = 1;
            out[1] = ClampToByte(r.code[1](s));
            s->z = 2;
            out[2] = ClampToByte(r.code[2](s));
            if constexpr (kRun == 4) {
                s->z = 3;
                out[3] = ClampToByte(r.code[3](s));
            }
        }
        in += planes;
        out += planes;
    }
}

// Rows between two questions to the host: the abort test and the progress
// report come after rows 0, 10, 20, ...
constexpr int kRowsPerHostCheck = 10;

// After row `y` of a host-mode pass: the abort test and progress report on
// every tenth row (each skipped when the host has none). False: stop.
bool AskHost(HostRecord* host, int32_t y, int32_t height);

// Rows fromRow .. toRow - 1 on the calling thread alone, with the host's
// questions (or, in preview mode, the keystroke test) after every row; in
// host mode without a host (null), none.
bool WalkAlone(PluginState* state, HostRecord* host, RunMode mode, bool (*keyWaiting)(),
               const Routines& r, int32_t fromRow, int32_t toRow);

// ---- sharing ----

// A value of TINCTOR_THREADS: a number in 1..64 (digits only), else 0.
int ParseThreadCount(const char* text);

// Whether a host-mode pass over the routines in the code buffers may be
// shared, decided from what the compiler found (shapes null: the buffers
// hold something it did not write, which runs on one thread): not when a
// running channel puts into a cell, since a later pixel may read it.
// rndPerPixel: rnd calls per pixel, the step of the generator's jumps.
struct Sharing {
    bool allowed;
    uint32_t rndPerPixel;
};
Sharing SharingOf(const RoutineShape* shapes, int run);

// The members worth starting for the rest of a pass, from the time its
// first row took on one thread: n members save (1 - 1/n) of the rest and
// cost n - 1 thread starts, so about sqrt(rest / start) of them; and each
// member's piece of a band must outweigh its wake-up. At most `wanted`.
int MembersWorthStarting(int wanted, double firstRowSeconds, int32_t rowsLeft);

// The pass over rows `fromRow` .. yEnd - 1, shared by `members` threads
// (those the system refuses to start leave their share to the others); the
// block's fields are set as RunPass sets them, and the fault guard is in
// place. Ends with the block as one thread would leave it. False when the
// abort test stopped it; without memory for the members' copies the calling
// thread walks alone.
bool SharedWalk(PluginState* state, HostRecord* host, const Routines& r, int members,
                uint32_t rndPerPixel, int32_t fromRow);

// The host-mode pass as RunPass runs it, on exactly `threads` threads from
// the first row on where the formulas allow it (1: today's pass), however
// small the area. For the tests; RunPass chooses the count itself.
bool RunPassOn(PluginState* state, HostRecord* host, int threads);
