// The filter application engine: PrepareRun sets up one run, RunFilter walks
// the requested area once and stores every channel formula's result.
#include <windows.h>
#include <cstring>
#include "formula/runtime.h"
#include "plugin/plugin.h"

using CompiledFormula = int32_t (__cdecl*)(PluginState*);

namespace {

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

// Results in 0..255 are by far the most common: one predictable test.
inline uint8_t ClampToByte(int32_t v) {
    if (uint32_t(v) > 255u) v = v < 0 ? 0 : 255;
    return uint8_t(v);
}

// The walk over the area, for a plane count known at compile time (0: any).
// The compiled code reads x, y, z and planeValue from the block, so those are
// stored before every call, and the running pointers are kept there too;
// everything the loop itself needs stays in locals, because after each call
// into the code buffers the compiler must assume the block has changed.
template <int kPlanes>
bool Pass(PluginState* s, HostRecord* h, RunMode mode) {
    CompiledFormula code[4];
    for (int z = 0; z < 4; ++z) code[z] = reinterpret_cast<CompiledFormula>(s->code[z]);
    const int planes = kPlanes ? kPlanes : s->zEnd - s->zStart;
    const int32_t width = s->xEnd, height = s->yEnd;
    const int32_t inStep = s->inRowBytes, outStep = s->outRowBytes;
    uint8_t* inRow = s->inRow;
    uint8_t* outRow = s->outRow;
    for (int32_t y = s->yStart; y < height; ++y) {
        s->y = y;
        uint8_t* in = inRow;
        uint8_t* out = outRow;
        for (int32_t x = s->xStart; x < width; ++x) {
            s->x = x;
            s->inPixel = in;
            s->outPixel = out;
            if constexpr (kPlanes == 0) {
                for (int z = 0; z < planes; ++z) s->planeValue[z] = in[z];
                for (int z = 0; z < planes; ++z) {
                    s->z = z;
                    out[z] = ClampToByte(code[z](s));
                }
            } else {
                // All samples first: every formula sees the source pixel.
                s->planeValue[0] = in[0];
                s->planeValue[1] = in[1];
                s->planeValue[2] = in[2];
                if constexpr (kPlanes == 4) s->planeValue[3] = in[3];
                s->z = 0;
                out[0] = ClampToByte(code[0](s));
                s->z = 1;
                out[1] = ClampToByte(code[1](s));
                s->z = 2;
                out[2] = ClampToByte(code[2](s));
                if constexpr (kPlanes == 4) {
                    s->z = 3;
                    out[3] = ClampToByte(code[3](s));
                }
            }
            in += planes;
            out += planes;
        }
        s->inRow = inRow += inStep;
        s->outRow = outRow += outStep;
        if (mode == RunMode::Host) {
            if (y % 10 == 0) {
                if (h->abortProc()) return false;
                h->progressProc(y, height);
            }
        } else {
            // A keystroke waiting for any window of this thread stops the
            // preview; it stays queued so the dialog still gets it.
            MSG msg;
            if (PeekMessageA(&msg, nullptr, WM_CHAR, WM_CHAR, PM_NOREMOVE)) return false;
        }
    }
    return true;
}

}  // namespace

void PrepareRun() {
    PluginState* s = gState;
    if (TablesNeverBuilt(s)) BuildTrigTables(s);
    std::memcpy(s->slider, gDefinition->sliderValue, sizeof s->slider);
    for (int i = 0; i < 4; ++i) BuildMapTable(s->slider[2 * i], s->slider[2 * i + 1], s->mapTable[i]);
    s->randIndexA = 0;
    s->randIndexB = 31;
    SeedRandom(0, s->randTable);
    std::memset(s->cell, 0, sizeof s->cell);
}

bool RunFilter(RunMode mode) {
    PluginState* s = gState;
    HostRecord* h = gHost;
    std::memset(s->planeValue, 0, sizeof s->planeValue);
    s->xStart = 0;
    s->xEnd = h->inArea.right - h->inArea.left;
    s->yStart = 0;
    s->yEnd = h->inArea.bottom - h->inArea.top;
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

    switch (s->zEnd - s->zStart) {
    case 3:  return Pass<3>(s, h, mode);
    case 4:  return Pass<4>(s, h, mode);
    default: return Pass<0>(s, h, mode);
    }

}
