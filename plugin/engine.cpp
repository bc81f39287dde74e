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

    CompiledFormula code[4];
    for (int z = 0; z < 4; ++z) code[z] = reinterpret_cast<CompiledFormula>(s->code[z]);
    const int planes = s->zEnd - s->zStart;

    for (s->y = s->yStart; s->y < s->yEnd; ++s->y) {
        s->inPixel = s->inRow;
        s->outPixel = s->outRow;
        for (s->x = s->xStart; s->x < s->xEnd; ++s->x) {
            for (int z = s->zStart; z < s->zEnd; ++z) s->planeValue[z] = s->inPixel[z];
            for (s->z = s->zStart; s->z < s->zEnd; ++s->z) {
                int32_t v = code[s->z](s);
                s->outPixel[s->z] = uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
            }
            s->inPixel += planes;
            s->outPixel += planes;
        }
        s->outRow += s->outRowBytes;
        s->inRow += s->inRowBytes;
        if (mode == RunMode::Host) {
            if (s->y % 10 == 0) {
                if (h->abortProc()) return false;
                h->progressProc(s->y, s->yEnd);
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
