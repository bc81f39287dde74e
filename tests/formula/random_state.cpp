// Random pixel contexts with a guarded source buffer.
#include "tests/formula/random_state.h"
#include <windows.h>
#include <cstring>
#include "formula/runtime.h"
#include "interface/state.h"

namespace formula_state {
namespace {
constexpr uint32_t kPage = 4096;
}

GuardedSource::GuardedSource() {
    // [no access][data][no access]
    region_ = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, 3 * kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(region_, kPage, PAGE_NOACCESS, &old);
    VirtualProtect(region_ + 2 * kPage, kPage, PAGE_NOACCESS, &old);
}

GuardedSource::~GuardedSource() { VirtualFree(region_, 0, MEM_RELEASE); }

uint8_t* GuardedSource::Place(uint32_t bytes, bool atEnd) {
    return atEnd ? region_ + 2 * kPage - bytes : region_ + kPage;
}

void Randomize(formula_gen::Random& rng, PluginState* s, GuardedSource& source) {
    static PluginState tables;  // built once: BuildTrigTables is not cheap
    static bool built = false;
    if (!built) {
        BuildTrigTables(&tables);
        built = true;
    }
    auto wild = [&rng](int32_t lo, int32_t hi, uint32_t wildPercent) {
        return rng.Chance(wildPercent) ? rng.Any() : rng.Range(lo, hi);
    };

    std::memset(s->planeValue, 0, sizeof s->planeValue);
    const int32_t planes = rng.Chance(50) ? 3 : 4;
    for (int k = 0; k < planes; ++k) s->planeValue[k] = wild(0, 255, 3);
    const int32_t width = rng.Range(1, 9), height = rng.Range(1, 9);
    s->xStart = s->yStart = s->zStart = 0;
    s->xEnd = width;
    s->yEnd = height;
    s->zEnd = planes;
    s->x = rng.Chance(90) ? rng.Range(0, width - 1) : wild(-3, width + 3, 30);
    s->y = rng.Chance(90) ? rng.Range(0, height - 1) : wild(-3, height + 3, 30);
    s->z = rng.Range(0, planes - 1);
    for (int32_t& v : s->slider) v = wild(0, 255, 3);
    s->areaLeft = rng.Chance(60) ? 0 : rng.Range(-20, 20);
    s->areaTop = rng.Chance(60) ? 0 : rng.Range(-20, 20);
    s->areaRight = s->areaLeft + width;
    s->areaBottom = s->areaTop + height;

    s->randIndexA = int16_t(rng.Range(0, 55));
    s->randIndexB = int16_t(rng.Range(0, 55));
    for (int32_t& v : s->randTable) v = rng.Any();
    if (rng.Chance(80)) {
        for (int i = 0; i < 4; ++i)
            BuildMapTable(s->slider[2 * i], s->slider[2 * i + 1], s->mapTable[i]);
    } else {
        for (auto& row : s->mapTable)
            for (uint8_t& v : row) v = uint8_t(rng.Below(256));
    }
    if (rng.Chance(85)) {
        std::memcpy(s->sineTable, tables.sineTable, sizeof s->sineTable);
        std::memcpy(s->arctanTable, tables.arctanTable, sizeof s->arctanTable);
        std::memcpy(s->magnitudeTable, tables.magnitudeTable, sizeof s->magnitudeTable);
    } else {
        // Random tables catch index mistakes that the symmetric real ones hide.
        for (int16_t& v : s->sineTable) v = int16_t(rng.Below(65536));
        for (uint16_t& v : s->arctanTable) v = uint16_t(rng.Below(65536));
        for (uint16_t& v : s->magnitudeTable) v = uint16_t(rng.Below(65536));
    }
    for (int32_t& v : s->cell) v = rng.Chance(50) ? rng.Range(-5, 300) : rng.Any();

    const int32_t stride = width * planes + rng.Range(0, 7);
    const uint32_t bytes = uint32_t((height - 1) * stride + width * planes);
    uint8_t* buffer = source.Place(bytes, rng.Chance(50));
    for (uint32_t k = 0; k < bytes; ++k) buffer[k] = uint8_t(rng.Below(256));
    s->inRowBytes = stride;
    s->inBase = buffer;
    s->outRowBytes = stride;
    s->outBase = nullptr;
}

}  // namespace formula_state
