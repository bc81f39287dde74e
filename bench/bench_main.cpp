// tinctor_bench: megapixels per second of the image pass on one image.
//
//   tinctor_bench IMAGE.rgb WIDTH HEIGHT [--only NAME] [--rounds N] [--passes-only]
//                 [--extra FORMULA]...
//
// IMAGE.rgb holds WIDTH x HEIGHT pixels of 8-bit R, G, B. For each formula
// of the set it times, best of N rounds:
//   pass     the plug-in's pass on one thread (PrepareRun + RunFilter with
//            TINCTOR_THREADS=1, compiled templates)
//   threads  the same on every thread it may use (TINCTOR_THREADS as given
//            to this program, else every processor), alternating with pass
//   ref      the reference evaluator of the tests over the same pass
//   hand     the formula written by hand in C++ (-O2), same program
// and once: the floor of the design (a loop calling a minimal routine once
// per pixel and channel, cdecl with the state block as its argument), what
// a crew of threads costs, the time to compile four formulas of 1023
// characters, and the memory the pass takes beyond the host's buffers.
// --passes-only: the floor, pass and threads lines alone. Lines are "key value"
// for bench/run.sh.
#include <windows.h>
#include <psapi.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "bench/formulas.h"
#include "formula/runtime.h"
#include "interface/resource_ids.h"
#include "plugin/core/plugin.h"
#include "plugin/core/workers.h"
#include "tests/formula/reference_eval.h"

namespace {

uint8_t __cdecl NeverAbort() { return 0; }
void __cdecl NoProgress(int32_t, int32_t) {}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

template <class Fn>
double Best(int rounds, Fn fn) {
    double best = 1e30;
    for (int i = 0; i < rounds; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        fn();
        best = std::min(best, Seconds(t0));
    }
    return best;
}

// The floor: as many calls as the pass makes, to the cheapest routine with
// the same convention.
__attribute__((noinline)) int32_t __cdecl Minimal(PluginState* s) {
    return 255 - s->planeValue[s->z];
}

void FloorPass(PluginState* s, int32_t(__cdecl* volatile routine)(PluginState*)) {
    const int planes = s->zEnd;
    for (int32_t y = 0; y < s->yEnd; ++y) {
        const uint8_t* in = s->inBase + y * s->inRowBytes;
        uint8_t* out = s->outBase + y * s->outRowBytes;
        for (int32_t x = 0; x < s->xEnd; ++x, in += planes, out += planes)
            for (int z = 0; z < planes; ++z) {
                s->planeValue[z] = in[z];
                s->z = z;
                out[z] = uint8_t(routine(s));
            }
    }
}

void SetFormulas(FilterDefinition* d, const char* rgb, const char* alpha = "a") {
    for (int k = 0; k < 4; ++k) {
        std::memset(d->formula[k], 0, sizeof d->formula[k]);
        std::strncpy(d->formula[k], k < 3 ? rgb : alpha, sizeof d->formula[k] - 1);
    }
}

// The pass context as RunFilter leaves it, for the hand-written passes.
void SetPassContext(PluginState* s, const HostRecord& h) {
    s->xStart = s->yStart = s->zStart = 0;
    s->xEnd = h.inArea.right - h.inArea.left;
    s->yEnd = h.inArea.bottom - h.inArea.top;
    s->zEnd = h.inHiPlane - h.inLoPlane + 1;
    s->inBase = h.inData;
    s->outBase = h.outData;
    s->inRowBytes = h.inRowBytes;
    s->outRowBytes = h.outRowBytes;
}

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                         sizeof pmc);
    return pmc.PrivateUsage;
}

// Formulas of exactly `length` characters. A dense one uses much of the
// language and overflows the 2047-byte code buffer, so it ends in the error
// routine after the whole text has been read; a sparse one (long literals,
// spaces, a comment) fits.
std::string LongFormula(size_t length, int channel, bool dense) {
    const char* pieces[] = {
        "r*3",        "g/7",       "(b^x)",       "sin(x*4)",          "c2m(x-128,y)",
        "rnd(0,9)",   "put(x,1)",  "get(1)",      "scl(c,0,255,9,99)", "cnv(1,2,1,2,4,2,1,2,1,16)",
        "src(y,x,z)", "min(c,99)", "val(2,5,50)", "(x<y?r:g)"};
    const char* sparse[] = {"1234567890", "c", "x * 1000000", "ctl(1)"};
    std::string f = std::to_string(channel);
    for (int i = 0; f.size() < length - 40; ++i)
        f += dense ? std::string(i % 3 ? "+" : "-") + pieces[i % 14]
                   : std::string(" + ") + sparse[i % 4];
    f += " // the rest is a comment";
    while (f.size() < length) f += ' ';
    f.resize(length);
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: tinctor_bench IMAGE.rgb WIDTH HEIGHT [--only NAME] [--rounds N] "
                     "[--extra FORMULA]...\n");
        return 2;
    }
    const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
    std::string only;
    std::vector<std::string> extra;  // formulas timed through the pass only
    int rounds = 3;
    bool passesOnly = false;
    for (int i = 4; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--passes-only")) passesOnly = true;
        if (i + 1 == argc) break;
        if (!std::strcmp(argv[i], "--only")) only = argv[++i];
        else if (!std::strcmp(argv[i], "--rounds")) rounds = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--extra")) extra.push_back(argv[++i]);
    }

    gModule = reinterpret_cast<HINSTANCE__*>(GetModuleHandleA(nullptr));
    auto* state = static_cast<PluginState*>(AllocBlock(sizeof(PluginState)));
    auto* definition =
        static_cast<FilterDefinition*>(LoadResourceCopy(FourCC("PARM"), IDR_DEFINITION));
    if (!state || !definition || !MakeCodeExecutable(state)) {
        std::fprintf(stderr, "tinctor_bench: cannot set up the state block\n");
        return 1;
    }
    state->definition = definition;
    definition->sliderValue[1] = 128;

    // The host's buffers: 3 interleaved planes, rows padded to 4 bytes.
    HostRecord host{};
    host.abortProc = NeverAbort;
    host.progressProc = NoProgress;
    host.inArea = host.outArea = HostArea{0, 0, int16_t(height), int16_t(width)};
    host.filterArea = host.inArea;
    host.inLoPlane = host.outLoPlane = 0;
    host.inHiPlane = host.outHiPlane = 2;
    host.inRowBytes = host.outRowBytes = (width * 3 + 3) & ~3;
    std::vector<uint8_t> in(size_t(host.inRowBytes) * height), out(in.size());
    FILE* f = std::fopen(argv[1], "rb");
    if (!f) {
        std::fprintf(stderr, "tinctor_bench: cannot open %s\n", argv[1]);
        return 2;
    }
    for (int y = 0; y < height; ++y)
        if (std::fread(&in[size_t(y) * host.inRowBytes], 1, size_t(width) * 3, f) !=
            size_t(width) * 3) {
            std::fprintf(stderr, "tinctor_bench: %s is shorter than %d x %d x 3 bytes\n", argv[1],
                         width, height);
            return 2;
        }
    std::fclose(f);
    host.inData = in.data();
    host.outData = out.data();

    gHost = &host;
    gState = state;
    gDefinition = definition;
    BuildTrigTables();
    char threadsValue[16] = "";
    if (GetEnvironmentVariableA("TINCTOR_THREADS", threadsValue, sizeof threadsValue) >=
        sizeof threadsValue)
        threadsValue[0] = 0;
    const std::string threads = threadsValue;
    const double mp = double(width) * height / 1e6;
    std::printf("image %dx%d\n", width, height);

    SetPassContext(state, host);
    // The first pass over the buffers pays for page faults and clock ramp-up.
    FloorPass(state, Minimal);
    double floor = Best(passesOnly ? 1 : rounds + 2, [&] { FloorPass(state, Minimal); });
    std::printf("floor %.2f\n", mp / floor);

    // The engine's own loop around the same minimal routine, as machine code
    // in the code buffers: what the pass costs besides the templates.
    if (!passesOnly) {
        static const uint8_t kMinimal[] = {
            0x8B, 0x44, 0x24, 0x04,        // mov eax, [esp + 4]     the state block
            0x8B, 0x48, 0x58,              // mov ecx, [eax + z]
            0x8B, 0x0C, 0x88,              // mov ecx, [eax + ecx*4] planeValue[z]
            0xB8, 0xFF, 0x00, 0x00, 0x00,  // mov eax, 255
            0x29, 0xC8,                    // sub eax, ecx
            0xC3};                         // ret
        for (int k = 0; k < 4; ++k) {
            std::memcpy(state->code[k], kMinimal, sizeof kMinimal);
            state->codeSize[k] = sizeof kMinimal;
        }
        FlushCode(state);
        double loop = Best(rounds, [&] {
            PrepareRun();
            RunFilter(RunMode::Host);
        });
        std::printf("engine-loop %.2f\n", mp / loop);
    }

    // What sharing a pass costs the calling thread: starting a crew of every
    // thread the pass may use (the workers then start each other), a band in
    // which every member checks in and does nothing else, and ending the
    // crew once every worker has run (joining them). Lines "crew N start
    // BAND END", in microseconds.
    if (!passesOnly) {
        struct Roll {
            Crew* crew;
            std::atomic<int> remaining;
        } roll;
        const Crew::Job checkIn = [](void* context, int) {
            auto* r = static_cast<Roll*>(context);
            if (r->remaining.fetch_sub(1) == 1) r->crew->BandDone();
        };
        const int members = ThreadsWanted(), crews = 20, bands = 2000;
        double start = 0, end = 0, band = 0;
        for (int i = 0; i < crews; ++i) {
            auto t0 = std::chrono::steady_clock::now();
            auto* crew = new Crew(members, checkIn, &roll);
            start += Seconds(t0);
            roll.crew = crew;
            t0 = std::chrono::steady_clock::now();
            for (int k = 0; k < (i ? 1 : bands); ++k) {
                roll.remaining.store(crew->Members());
                crew->RunBand(roll.remaining);
            }
            if (i == 0) band = Seconds(t0) / bands;
            t0 = std::chrono::steady_clock::now();
            delete crew;
            end += Seconds(t0);
        }
        std::printf("crew %d start %.1f band %.2f end %.1f\n", members, start / crews * 1e6,
                    band * 1e6, end / crews * 1e6);
    }

    for (const std::string& text : extra) {
        SetFormulas(definition, text.c_str());
        CompileChannelFormulas();
        double pass = Best(rounds, [&] {
            PrepareRun();
            RunFilter(RunMode::Host);
        });
        std::printf("extra %.2f %s%s\n", mp / pass, text.c_str(),
                    state->compileFailed[0] ? " (fails)" : "");
    }
    if (!extra.empty()) return 0;

    for (int i = 0; i < kBenchFormulaCount; ++i) {
        const BenchFormula& bf = kBenchFormulas[i];
        if (!only.empty() && only != bf.name) continue;
        SetFormulas(definition, bf.formula);
        CompileChannelFormulas();
        if (state->compileFailed[0]) {
            std::fprintf(stderr, "tinctor_bench: %s does not compile\n", bf.formula);
            return 1;
        }
        // The pass on one thread and on all threads (TINCTOR_THREADS as this
        // program was started with, else every processor), alternating, the
        // best of `rounds` each; the first output of each is kept.
        size_t before = PrivateBytes();
        double pass = 1e30, shared = 1e30;
        std::vector<uint8_t> passOut, sharedOut;
        for (int round = 0; round < rounds; ++round) {
            SetEnvironmentVariableA("TINCTOR_THREADS", "1");
            pass = std::min(pass, Best(1, [&] {
                                PrepareRun();
                                RunFilter(RunMode::Host);
                            }));
            if (round == 0) passOut = out;
            SetEnvironmentVariableA("TINCTOR_THREADS", threads.empty() ? nullptr : threads.c_str());
            shared = std::min(shared, Best(1, [&] {
                                  PrepareRun();
                                  RunFilter(RunMode::Host);
                              }));
            if (round == 0) sharedOut = out;
        }
        long grown = long(PrivateBytes()) - long(before);
        std::printf("formula %s | %s\n", bf.name, bf.formula);
        std::printf("pass %s %.2f\n", bf.name, mp / pass);
        std::printf("threads %s %.2f %s\n", bf.name, mp / shared,
                    sharedOut == passOut ? "same" : "DIFFERENT");
        std::fflush(stdout);
        if (passesOnly) continue;

        RefProgram programs[4];
        for (int k = 0; k < 4; ++k) RefCompile(definition->formula[k], programs[k]);
        double ref = Best(1, [&] {
            PrepareRun();
            SetPassContext(state, host);
            RefRunPass(programs, *state);
        });
        const bool same = out == passOut;

        double hand = Best(rounds, [&] {
            PrepareRun();
            SetPassContext(state, host);
            bf.hand(state);
        });
        std::printf("ref %s %.2f %s\n", bf.name, mp / ref, same ? "same" : "DIFFERENT");
        std::printf("hand %s %.2f\n", bf.name, mp / hand);
        std::printf("memory %s %ld\n", bf.name, grown);
        std::fflush(stdout);
    }

    // Compile time of four formulas of 1023 characters.
    for (bool dense : {true, false}) {
        if (passesOnly) break;
        for (int k = 0; k < 4; ++k) {
            std::string text = LongFormula(1023, k, dense);
            std::memset(definition->formula[k], 0, sizeof definition->formula[k]);
            std::memcpy(definition->formula[k], text.data(), text.size());
        }
        const int compiles = 200;
        auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < compiles; ++i) CompileChannelFormulas();
        double each = Seconds(t0) / compiles;
        int failed = 0, bytes = 0;
        for (int k = 0; k < 4; ++k) {
            failed += state->compileFailed[k];
            bytes += state->codeSize[k];
        }
        std::printf("compile %.3f ms for 4 x 1023 characters (%s: %d code bytes, %d of 4 failed)\n",
                    each * 1e3, dense ? "dense, overflowing the buffer" : "sparse, fitting", bytes,
                    failed);
    }
    return 0;
}
