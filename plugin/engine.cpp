// The filter application engine: PrepareRun sets up one run, RunFilter walks
// the requested area once and stores every channel formula's result.
//
// Portable: the platform reaches the pass only through what is handed in
// (the preview's keystroke test) and the formula library's fault guard.
#include <cstring>
#include "formula/compiler.h"
#include "formula/native.h"
#include "formula/runtime.h"
#include "plugin/plugin.h"

using CompiledFormula = int32_t(__cdecl*)(PluginState*);

namespace {

constexpr int kRowsPerHostCheck = 10;  // abort test and progress every tenth row
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

// Results in 0..255 are by far the most common: one predictable test.
inline uint8_t ClampToByte(int32_t v) {
    if (uint32_t(v) > 255u) v = v < 0 ? 0 : 255;
    return uint8_t(v);
}

// Between rows: the host's abort test and progress report (each skipped when
// the host has none), or the preview's keystroke test. False: stop.
bool KeepGoing(HostRecord* h, RunMode mode, bool (*keyWaiting)(), int32_t y, int32_t height) {
    if (mode == RunMode::Preview) return !(keyWaiting && keyWaiting());
    if (y % kRowsPerHostCheck != 0) return true;
    if (h->abortProc && h->abortProc()) return false;
    if (h->progressProc) h->progressProc(y, height);
    return true;
}

// The walk over the area. `planes` (zEnd - zStart) is the pixel stride; the
// formulas run for the first `kRun` planes (0: `run` of them, at most the
// four code buffers), the other planes of the output stay untouched.
// The compiled code reads x, y, z and planeValue from the block, so those are
// stored before every call; the running pointers are kept there too (the
// pixel pointers once a row);
// everything the loop itself needs stays in locals, because after each call
// into the code buffers the compiler must assume the block has changed.
template <int kRun>
bool Pass(PluginState* s, HostRecord* h, RunMode mode, bool (*keyWaiting)(), int run) {
    CompiledFormula code[kChannels];
    for (int z = 0; z < kChannels; ++z)
        code[z] = s->codeSize[z] > 0 ? reinterpret_cast<CompiledFormula>(s->code[z]) : NoRoutine;
    const int planes = s->zEnd - s->zStart;
    if constexpr (kRun != 0) run = kRun;
    const int32_t xStart = s->xStart, width = s->xEnd, height = s->yEnd;
    const int32_t inStep = s->inRowBytes, outStep = s->outRowBytes;
    uint8_t* inRow = s->inRow;
    uint8_t* outRow = s->outRow;
    for (int32_t y = s->yStart; y < height; ++y) {
        s->y = y;
        uint8_t* in = inRow;
        uint8_t* out = outRow;
        for (int32_t x = xStart; x < width; ++x) {
            s->x = x;
            if constexpr (kRun == 0) {
                for (int z = 0; z < run; ++z) s->planeValue[z] = in[z];
                for (int z = 0; z < run; ++z) {
                    s->z = z;
                    out[z] = ClampToByte(code[z](s));
                }
            } else {
                // All samples first: every formula sees the source pixel.
                s->planeValue[0] = in[0];
                s->planeValue[1] = in[1];
                s->planeValue[2] = in[2];
                if constexpr (kRun == 4) s->planeValue[3] = in[3];
                s->z = 0;
                out[0] = ClampToByte(code[0](s));
                s->z = 1;
                out[1] = ClampToByte(code[1](s));
                s->z = 2;
                out[2] = ClampToByte(code[2](s));
                if constexpr (kRun == 4) {
                    s->z = 3;
                    out[3] = ClampToByte(code[3](s));
                }
            }
            in += planes;
            out += planes;
        }
        // No template reads the pixel pointers: they are brought up to date
        // once a row (at its last pixel, where the per-pixel walk left them),
        // which spares two stores per pixel.
        if (width > xStart) {
            s->inPixel = in - planes;
            s->outPixel = out - planes;
        }
        s->inRow = inRow += inStep;
        s->outRow = outRow += outStep;
        if (!KeepGoing(h, mode, keyWaiting, y, height)) return false;
    }
    return true;
}

}  // namespace

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

    const int planes = s->zEnd - s->zStart;
    if (planes <= 0) return true;  // no plane to filter: nothing to walk
    const int run = planes < kChannels ? planes : kChannels;
    // Division faults of the compiled code are completed for this pass only.
    const FaultGuard guard(s->code[0], s->code[0] + sizeof s->code);
    switch (planes) {
    case 3: return Pass<3>(s, h, mode, keyWaiting, run);
    case 4: return Pass<4>(s, h, mode, keyWaiting, run);
    default: return Pass<0>(s, h, mode, keyWaiting, run);
    }
}

bool RunFilter(RunMode mode) { return RunPass(gState, gHost, mode, KeyWaiting); }
