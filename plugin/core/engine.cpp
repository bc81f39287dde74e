// The filter application engine: PrepareRun sets up one run, RunPass walks
// the requested area once and stores every channel formula's result, on the
// calling thread alone or, in host mode where the formulas allow it, in
// bands shared with worker threads (plugin/core/shared_pass.cpp).
//
// Portable: the platform reaches the pass only through what is handed in
// (the preview's keystroke test), the formula library's fault guard and the
// crew of plugin/core/workers.h.
#include <chrono>
#include <cstring>
#include "formula/compiler.h"
#include "formula/native.h"
#include "formula/random_jump.h"
#include "formula/runtime.h"
#include "plugin/core/pass.h"
#include "plugin/core/plugin.h"
#include "plugin/core/workers.h"

namespace {

constexpr int kRandIndexA = 0, kRandIndexB = 31;
constexpr int32_t kRandomSeed = 0;
constexpr int kMaps = 4;  // map i from sliders 2i and 2i + 1

// The tables are built by the parameters call. A host that repeats the last
// filter in a fresh process never makes one, and the trigonometric and polar
// functions would then read zero tables; so a run builds them itself.
bool TablesNeverBuilt(const PluginState* s) {
    auto allZero = [](const auto& table) {
        for (auto v : table)
            if (v) return false;
        return true;
    };
    return allZero(s->sineTable) && allZero(s->arctanTable) && allZero(s->magnitudeTable);
}

// A channel whose buffer holds no routine gives 0, as a failed one does.
int32_t __cdecl NoRoutine(PluginState*) { return 0; }

// Rows fromRow .. toRow - 1 on the calling thread, with the host's questions
// (or the preview's keystroke test) after every row. The running pointers
// are kept in the block (the pixel pointers once a row).
template <int kRun>
bool Walk(PluginState* s, HostRecord* h, RunMode mode, bool (*keyWaiting)(),
          const Routines& routines, int32_t fromRow, int32_t toRow) {
    const Routines r = routines;  // a local the compiled code cannot reach: kept in registers
    const int planes = r.planes;
    const int32_t xStart = s->xStart, width = s->xEnd, height = s->yEnd;
    const int32_t inStep = s->inRowBytes, outStep = s->outRowBytes;
    uint8_t* inRow = s->inRow;
    uint8_t* outRow = s->outRow;
    for (int32_t y = fromRow; y < toRow; ++y) {
        s->y = y;
        WalkRow<kRun>(s, r, inRow, outRow, xStart, width);
        // No template reads the pixel pointers: they are brought up to date
        // once a row (at its last pixel, where the per-pixel walk left
        // them), which spares two stores per pixel.
        if (width > xStart) {
            s->inPixel = inRow + (width - xStart - 1) * planes;
            s->outPixel = outRow + (width - xStart - 1) * planes;
        }
        s->inRow = inRow += inStep;
        s->outRow = outRow += outStep;
        if (mode == RunMode::Preview) {
            if (keyWaiting && keyWaiting()) return false;
        } else if (h && !AskHost(h, y, height)) {
            return false;
        }
    }
    return true;
}

// The fields of the pass, from the host's record.
void SetUpPass(PluginState* s, const HostRecord* h) {
    std::memset(s->planeValue, 0, sizeof s->planeValue);
    s->xStart = 0;
    s->xEnd = h->inArea.right - h->inArea.left;
    s->yStart = 0;
    s->yEnd = h->inArea.bottom - h->inArea.top;
    // zEnd stays the host's plane count even beyond four: it is the pixel
    // stride that the pass, src, cnv and rad address with.
    s->zStart = 0;
    s->zEnd = h->inHiPlane - h->inLoPlane + 1;
    s->areaLeft = h->inArea.left;
    s->areaTop = h->inArea.top;
    s->areaRight = h->inArea.right;
    s->areaBottom = h->inArea.bottom;
    s->inRowBytes = h->inRowBytes;
    s->outRowBytes = h->outRowBytes;
    s->inBase = h->inData;
    s->outBase = h->outData;
    s->inRow = s->inBase;
    s->outRow = s->outBase;
}

// The bytes a buffer of `rows` rows spans, whichever way its stride runs.
void Span(const uint8_t* base, int32_t stride, int32_t rows, int32_t rowBytes, uintptr_t* lo,
          uintptr_t* hi) {
    const intptr_t reach = intptr_t(stride) * (rows - 1);
    *lo = uintptr_t(base) + uintptr_t(reach < 0 ? reach : 0);
    *hi = uintptr_t(base) + uintptr_t(reach > 0 ? reach : 0) + uintptr_t(rowBytes);
}

// Sharing, as far as the block and the host's buffers allow it: workers
// read the input (src, cnv, rad look anywhere in it) while others write the
// output, so the two must not overlap; and a jump needs the generator of a
// run. Anything else keeps the pass on one thread.
Sharing SharingFor(const PluginState* s, const Routines& r) {
    Sharing sharing = SharingOf(ChannelShapes(s), r.run);
    const int32_t width = s->xEnd, height = s->yEnd;
    if (width <= 0 || height <= 0) return {false, 0};
    uintptr_t inLo, inHi, outLo, outHi;
    Span(s->inBase, s->inRowBytes, height, width * r.planes, &inLo, &inHi);
    Span(s->outBase, s->outRowBytes, height, width * r.planes, &outLo, &outHi);
    if (inLo < outHi && outLo < inHi) sharing.allowed = false;
    if (sharing.rndPerPixel && !RandomJumpable(s)) sharing.allowed = false;
    return sharing;
}

// RunPass's set-up, then `body` under the fault guard.
template <class Body>
bool WithPass(PluginState* s, HostRecord* h, Body body) {
    SetUpPass(s, h);
    const Routines r = RoutinesOf(s);
    if (r.planes <= 0) return true;  // no plane to filter: nothing to walk
    // Division faults of the compiled code are completed for this pass only,
    // on whichever thread they happen.
    const FaultGuard guard(s->code[0], s->code[0] + sizeof s->code);
    return body(r);
}

}  // namespace

bool WalkAlone(PluginState* s, HostRecord* h, RunMode mode, bool (*keyWaiting)(), const Routines& r,
               int32_t fromRow, int32_t toRow) {
    switch (r.planes) {
    case 3: return Walk<3>(s, h, mode, keyWaiting, r, fromRow, toRow);
    case 4: return Walk<4>(s, h, mode, keyWaiting, r, fromRow, toRow);
    default: return Walk<0>(s, h, mode, keyWaiting, r, fromRow, toRow);
    }
}

Routines RoutinesOf(const PluginState* s) {
    Routines r;
    for (int z = 0; z < kChannels; ++z)
        r.code[z] = s->codeSize[z] > 0 ? reinterpret_cast<CompiledFormula>(s->code[z]) : NoRoutine;
    r.planes = s->zEnd - s->zStart;
    r.run = r.planes < kChannels ? r.planes : kChannels;
    return r;
}

bool AskHost(HostRecord* h, int32_t y, int32_t height) {
    if (y % kRowsPerHostCheck != 0) return true;
    if (h->abortProc && h->abortProc()) return false;
    if (h->progressProc) h->progressProc(y, height);
    return true;
}

void PrepareRun() {
    PluginState* s = gState;
    if (TablesNeverBuilt(s)) BuildTrigTables(s);
    std::memcpy(s->slider, gDefinition->sliderValue, sizeof s->slider);
    for (int i = 0; i < kMaps; ++i)
        BuildMapTable(s->slider[2 * i], s->slider[2 * i + 1], s->mapTable[i]);
    s->randIndexA = kRandIndexA;
    s->randIndexB = kRandIndexB;
    SeedRandom(kRandomSeed, s->randTable);
    std::memset(s->cell, 0, sizeof s->cell);
}

bool RunPass(PluginState* s, HostRecord* h, RunMode mode, bool (*keyWaiting)()) {
    return WithPass(s, h, [&](const Routines& r) {
        const int height = s->yEnd;
        const int wanted = mode == RunMode::Host ? ThreadsWanted() : 1;
        const Sharing sharing = wanted > 1 ? SharingFor(s, r) : Sharing{false, 0};
        if (!sharing.allowed || height < 2) return WalkAlone(s, h, mode, keyWaiting, r, 0, height);
        // The first row runs alone and tells what the rest is worth (the
        // host's questions after it are not counted: they may take long).
        const auto start = std::chrono::steady_clock::now();
        WalkAlone(s, nullptr, mode, nullptr, r, 0, 1);
        const double firstRow =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!AskHost(h, 0, height)) return false;
        const int members = MembersWorthStarting(wanted, firstRow, height - 1);
        if (members < 2) return WalkAlone(s, h, mode, keyWaiting, r, 1, height);
        return SharedWalk(s, h, r, members, sharing.rndPerPixel, 1);
    });
}

bool RunPassOn(PluginState* s, HostRecord* h, int threads) {
    return WithPass(s, h, [&](const Routines& r) {
        const Sharing sharing = threads > 1 ? SharingFor(s, r) : Sharing{false, 0};
        if (!sharing.allowed) return WalkAlone(s, h, RunMode::Host, nullptr, r, 0, s->yEnd);
        return SharedWalk(s, h, r, threads, sharing.rndPerPixel, 0);
    });
}

bool RunFilter(RunMode mode) { return RunPass(gState, gHost, mode, KeyWaiting); }
