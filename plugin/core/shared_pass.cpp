// The pass in bands shared by a crew of threads, and the rules that decide
// when a pass is shared (plugin/core/pass.h).
//
// Bands follow the host's questions: row 0, rows 1 to 10, 11 to 20, ...,
// each band ending on a row after which the abort test and the progress
// report are asked. The calling thread starts a band, walks chunks of it
// with the workers, waits until every chunk is walked, then asks the host,
// all on its own thread and in today's order; an abort answered there stops
// the pass before the next band starts.
//
// A band is cut into chunks: whole rows when it has as many rows as chunks,
// else equal runs of pixels. Each member first takes the chunks of its own
// share, from the front, then takes what is left of the others' shares from
// their back, so a member that falls behind (its processor taken by
// something else) is relieved by the rest. A member walks consecutive chunks
// with the generator it has; before any other chunk it loads the generator
// of the band's first pixel and jumps it over the pixels before the chunk.
// The member that walks the band's last chunk leaves the generator after it
// for the next band, and the last pixel's position and planes for the end.
// Portable: the threads are plugin/core/workers.h's.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include "formula/random_jump.h"
#include "plugin/core/pass.h"
#include "plugin/core/plugin.h"
#include "plugin/core/workers.h"

namespace {

// Measured under Wine (bench/, the crew line): a worker costs the calling
// thread 0.2 to 0.5 ms to start (it runs some 1.7 ms later) and 0.2 to 0.3
// ms to join, so about a millisecond with the work it misses meanwhile;
// waking the crew for a band, about a microsecond while the workers spin.
constexpr double kThreadStartSeconds = 1e-3;
constexpr double kMinPieceSeconds = 50e-6;
constexpr int kChunksPerMember = 4;  // enough to even out a member that falls behind
constexpr int kMaxChunks = 64;

// The members' copies of the PixelContext, each on cache lines of its own.
constexpr size_t kCacheLine = 64;
constexpr size_t kBlockStride = (kPixelContextSize + kCacheLine - 1) & ~(kCacheLine - 1);

struct Generator {
    int16_t indexA, indexB;
    int32_t table[56];
};

void Save(const PluginState* s, Generator* g) {
    g->indexA = s->randIndexA;
    g->indexB = s->randIndexB;
    std::memcpy(g->table, s->randTable, sizeof g->table);
}

void Load(const Generator& g, PluginState* s) {
    s->randIndexA = g.indexA;
    s->randIndexB = g.indexB;
    std::memcpy(s->randTable, g.table, sizeof g.table);
}

// What the last pixel leaves in the block besides the generator.
struct LastPixel {
    int32_t planeValue[16];
    int32_t x, y, z;
};

// The chunks of a band: chunk c covers pixels First(c) .. First(c + 1) - 1
// of the band, First(c) being Step(c) units (whole rows, or equal runs).
struct Chunks {
    int count;
    int32_t rows;
    bool byRows;
    int64_t unit;  // pixels
    int64_t pixels;

    Chunks(int chunks, int32_t bandRows, int32_t width)
        : count(chunks),
          rows(bandRows),
          byRows(chunks <= bandRows),
          unit(byRows ? width : (int64_t(bandRows) * width + chunks - 1) / chunks),
          pixels(int64_t(bandRows) * width) {}
    int Step(int c) const { return byRows ? rows * c / count : c; }
    int64_t First(int c) const { return std::min(unit * Step(c), pixels); }
};

// A member's share of the chunks, taken from the front by the member and
// from the back by the others: front in the low half, back in the high one.
struct alignas(kCacheLine) Share {
    std::atomic<uint32_t> span;

    void Set(int front, int back) { span.store(uint32_t(front) | uint32_t(back) << 16); }
    int Take(bool fromBack) {
        uint32_t v = span.load();
        for (;;) {
            const int front = int(v & 0xFFFF), back = int(v >> 16);
            if (front >= back) return -1;
            const uint32_t next = fromBack ? uint32_t(front) | uint32_t(back - 1) << 16
                                           : uint32_t(front + 1) | uint32_t(back) << 16;
            if (span.compare_exchange_weak(v, next)) return fromBack ? back - 1 : front;
        }
    }
};

struct Member {
    PluginState* block;  // its own copy of the PixelContext
    int64_t position;    // pixel (from the pass's first) its generator stands before
};

struct Band {
    Crew* crew;
    const Routines* routines;
    int members;
    int chunkCount;
    uint32_t rndPerPixel;
    int32_t width;
    // The band being walked; written before the shares are handed out.
    int32_t row;
    Chunks chunks{1, 1, 1};
    int lastChunk;
    int parity;  // start[parity]: the generator at the band's first pixel
    Generator start[2];
    LastPixel last;
    std::atomic<int> remaining;  // chunks not yet walked
    Share share[kMaxThreads];
    Member member[kMaxThreads];
    // jump[q]: over the rnd calls of q units of pixels.
    int64_t jumpUnit = 0;
    int jumps = 0;
    RandomJump jump[kMaxChunks + 1];
};

template <int kRun>
void WalkChunk(Band& band, int m, int c) {
    const int64_t bandStart = int64_t(band.row) * band.width;
    const int64_t first = band.chunks.First(c), last = band.chunks.First(c + 1);
    Member& me = band.member[m];
    PluginState* s = me.block;
    if (first < last) {
        if (band.rndPerPixel && bandStart + first != me.position) {
            Load(band.start[band.parity], s);
            if (const int q = band.chunks.Step(c)) band.jump[q].Apply(s);
        }
        me.position = bandStart + last;
        const Routines r = *band.routines;  // a local the compiled code cannot reach
        const int32_t width = band.width;
        int32_t y = band.row + int32_t(first / width), x = int32_t(first % width);
        for (int64_t at = first; at < last; ++y, x = 0) {
            const int32_t xEnd = int32_t(std::min<int64_t>(width, x + (last - at)));
            s->y = y;
            WalkRow<kRun>(s, r, s->inBase + intptr_t(y) * s->inRowBytes + x * r.planes,
                          s->outBase + intptr_t(y) * s->outRowBytes + x * r.planes, x, xEnd);
            at += xEnd - x;
        }
        if (c == band.lastChunk) {
            Save(s, &band.start[band.parity ^ 1]);
            std::memcpy(band.last.planeValue, s->planeValue, sizeof band.last.planeValue);
            band.last.x = s->x;
            band.last.y = s->y;
            band.last.z = s->z;
        }
    }
    if (band.remaining.fetch_sub(1) == 1) band.crew->BandDone();
}

// What every member does in a band; a member that comes late to it (or to
// an earlier one) takes whatever is left of the band being walked.
template <int kRun>
void MemberJob(void* context, int m) {
    Band& band = *static_cast<Band*>(context);
    for (int c; (c = band.share[m].Take(false)) >= 0;) WalkChunk<kRun>(band, m, c);
    for (int k = 1; k < band.members; ++k) {
        Share& other = band.share[(m + k) % band.members];
        for (int c; (c = other.Take(true)) >= 0;) WalkChunk<kRun>(band, m, c);
    }
}

// The jumps a band's chunks need: powers of the jump over one unit.
void PrepareJumps(Band& band) {
    const Chunks& chunks = band.chunks;
    const int needed = chunks.byRows ? chunks.rows : chunks.count;
    if (band.jumpUnit != chunks.unit) {
        band.jumpUnit = chunks.unit;
        band.jump[1] = RandomJump(uint64_t(chunks.unit) * band.rndPerPixel);
        band.jumps = 1;
    }
    for (; band.jumps < needed; ++band.jumps)
        band.jump[band.jumps + 1] = band.jump[band.jumps].Then(band.jump[1]);
}

// Rows row .. row + rows - 1: the chunks described, the shares handed out
// (which lets the members in), walked, and the generator turned over.
void WalkBand(Crew& crew, Band& band, int32_t row, int32_t rows) {
    band.row = row;
    band.chunks = Chunks(band.chunkCount, rows, band.width);
    band.lastChunk = band.chunkCount - 1;
    while (band.chunks.First(band.lastChunk) == band.chunks.pixels) --band.lastChunk;
    if (band.rndPerPixel) PrepareJumps(band);
    band.remaining.store(band.chunkCount);
    for (int m = 0; m < band.members; ++m)
        band.share[m].Set(band.chunkCount * m / band.members,
                          band.chunkCount * (m + 1) / band.members);
    crew.RunBand(band.remaining);
    band.parity ^= 1;
}

// Leaves `s` as one thread would have: the last pixel's position and
// planes and the generator after it; the running pointers after `lastRow`.
void FinishAsOneThread(PluginState* s, const Band& band, int32_t lastRow, int planes) {
    std::memcpy(s->planeValue, band.last.planeValue, sizeof s->planeValue);
    s->x = band.last.x;
    s->y = band.last.y;
    s->z = band.last.z;
    Load(band.start[band.parity], s);
    s->inRow = s->inBase + intptr_t(lastRow + 1) * s->inRowBytes;
    s->outRow = s->outBase + intptr_t(lastRow + 1) * s->outRowBytes;
    s->inPixel = s->inRow - s->inRowBytes + (band.width - 1) * planes;
    s->outPixel = s->outRow - s->outRowBytes + (band.width - 1) * planes;
}

}  // namespace

int ParseThreadCount(const char* text) {
    int value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return 0;
        value = value * 10 + (*c - '0');
        if (value > kMaxThreads) return 0;
    }
    return value;
}

Sharing SharingOf(const RoutineShape* shapes, int run) {
    if (!shapes) return {false, 0};
    Sharing sharing{true, 0};
    for (int k = 0; k < run && k < kChannels; ++k) {
        if (shapes[k].writesCells) return {false, 0};
        sharing.rndPerPixel += uint32_t(shapes[k].rndCalls);
    }
    return sharing;
}

int MembersWorthStarting(int wanted, double firstRowSeconds, int32_t rowsLeft) {
    const double rest = firstRowSeconds * rowsLeft;
    const double byStart = std::sqrt(rest / kThreadStartSeconds);
    const double byPiece = firstRowSeconds * kRowsPerHostCheck / kMinPieceSeconds;
    const double members = std::min({double(wanted), byStart, byPiece});
    return members < 1 ? 1 : int(members);
}

bool SharedWalk(PluginState* s, HostRecord* h, const Routines& r, int members, uint32_t rndPerPixel,
                int32_t fromRow) {
    const int32_t width = s->xEnd, height = s->yEnd;
    members = std::clamp(members, 1, kMaxThreads);
    auto* copies = static_cast<uint8_t*>(AllocBlock(uint32_t(members * kBlockStride + kCacheLine)));
    auto* band = static_cast<Band*>(AllocBlock(sizeof(Band)));
    if (!copies || !band) {
        FreeBlock(copies);
        FreeBlock(band);
        return WalkAlone(s, h, RunMode::Host, nullptr, r, fromRow, height);
    }
    new (band) Band();
    uint8_t* aligned = copies + (kCacheLine - uintptr_t(copies) % kCacheLine) % kCacheLine;
    band->routines = &r;
    band->rndPerPixel = rndPerPixel;
    band->width = width;
    band->parity = 0;
    Save(s, &band->start[0]);
    bool completed = true;
    {
        const Crew::Job job = r.planes == 3   ? MemberJob<3>
                              : r.planes == 4 ? MemberJob<4>
                                              : MemberJob<0>;
        Crew crew(members, job, band);
        band->crew = &crew;
        band->members = crew.Members();
        band->chunkCount = std::min(kMaxChunks, band->members * kChunksPerMember);
        for (int m = 0; m < band->members; ++m) {
            band->member[m].block = reinterpret_cast<PluginState*>(aligned + m * kBlockStride);
            std::memcpy(band->member[m].block, s, kPixelContextSize);
            band->member[m].position = int64_t(fromRow) * width;
        }
        int32_t lastRow = fromRow - 1;
        for (int32_t y = fromRow; y < height && completed;) {
            const int32_t toCheck = (kRowsPerHostCheck - y % kRowsPerHostCheck) % kRowsPerHostCheck;
            lastRow = std::min(y + toCheck, height - 1);
            WalkBand(crew, *band, y, lastRow - y + 1);
            y = lastRow + 1;
            completed = AskHost(h, lastRow, height);
        }
        if (lastRow >= fromRow) FinishAsOneThread(s, *band, lastRow, r.planes);
    }  // the workers end here
    band->~Band();
    FreeBlock(band);
    FreeBlock(copies);
    return completed;
}
