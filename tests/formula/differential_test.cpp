// Generated formulas run natively and in the reference evaluator on random
// pixel contexts: results, cells, random state and every other byte of the
// pixel context must agree, and the routine must hand back the caller's
// registers. Any read outside the source buffer hits a guard page. Division
// faults are completed by the fault guard, as in a pass, and must give the
// reference's results; any other fault ends the program with a report.
//
// Whole passes, too: four generated formulas over an image, walked on 1, 2,
// 3 and 8 threads, must give the reference's image byte for byte.
//
// Normal run: 20,000 formulas. Soak: formula_differential --formulas=5000000
// [--seed=N], or TINCTOR_FORMULAS / TINCTOR_SEED in the environment.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "formula/compiler.h"
#include "formula/runtime.h"
#include "interface/state.h"
#include "plugin/core/pass.h"
#include "tests/formula/formula_generator.h"
#include "tests/formula/native_runner.h"
#include "tests/formula/random_state.h"
#include "tests/formula/reference_eval.h"

namespace {

long long gFormulas = 20000;
unsigned long long gSeed = 20240611;
std::string gCurrent;  // the formula being run, for the fault report

LONG CALLBACK ReportFault(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (code != EXCEPTION_ACCESS_VIOLATION && code != EXCEPTION_INT_DIVIDE_BY_ZERO &&
        code != EXCEPTION_INT_OVERFLOW && code != EXCEPTION_STACK_OVERFLOW &&
        code != EXCEPTION_ILLEGAL_INSTRUCTION)
        return EXCEPTION_CONTINUE_SEARCH;
    std::fprintf(stderr, "FAULT 0x%08lX at %p while running formula:\n%s\n", code,
                 info->ExceptionRecord->ExceptionAddress, gCurrent.c_str());
    std::fflush(stderr);
    ExitProcess(3);
}

struct Counts {
    long long formulas = 0, complete = 0, syntaxErrors = 0, earlyEnds = 0, evaluations = 0,
              mismatches = 0;
    long long used[128] = {};
};

void Report(Counts& c, const std::string& what, const std::string& text) {
    if (++c.mismatches <= 10) ADD_FAILURE() << what << "\nformula: " << text;
}

TEST(FormulaDifferential, NativeRoutinesMatchTheReferenceEvaluator) {
    // Last in line: the fault guard of each run sees division faults first.
    AddVectoredExceptionHandler(0, ReportFault);
    const ByteTable funcs = native::Funcs();
    ASSERT_TRUE(funcs.bytes);
    PluginState* nat = native::NewExecutableState();
    auto* ref = native::NewState();
    ASSERT_TRUE(nat && ref);
    formula_state::GuardedSource source;
    formula_gen::Random rng(gSeed);
    Counts c;

    for (long long n = 0; n < gFormulas; ++n) {
        formula_gen::Options options;
        options.maxDepth = 3 + int(rng.Below(6));
        gCurrent = rng.Chance(10) ? formula_gen::Mutated(rng, options)
                                  : formula_gen::Formula(rng, options);
        const std::string& text = gCurrent;
        ++c.formulas;

        const native::Compiled got = native::Compile(nat, 0, text);
        const reference::Program program =
            reference::Compile(funcs, text.data(), 0, int32_t(text.size()));
        if (got.failed != program.failed || got.start != program.errorStart ||
            got.end != program.errorEnd || got.size != program.size) {
            Report(c,
                   "compile differs: native " + std::to_string(got.failed) + " [" +
                       std::to_string(got.start) + "," + std::to_string(got.end) + ") size " +
                       std::to_string(got.size) + ", reference " + std::to_string(program.failed) +
                       " [" + std::to_string(program.errorStart) + "," +
                       std::to_string(program.errorEnd) + ") size " + std::to_string(program.size),
                   text);
            continue;
        }
        const bool syntaxError = !program.ops.empty() &&
                                 std::strcmp(reference::OpName(program.ops[0].code), "error") == 0;
        if (!program.failed) ++c.complete;
        else if (syntaxError) ++c.syntaxErrors;
        else ++c.earlyEnds;
        if (!syntaxError)
            for (const reference::Op& op : program.ops) ++c.used[op.code & 127];

        for (int e = 0; e < 3; ++e) {
            formula_state::Randomize(rng, ref, source);
            std::memcpy(nat, ref, kPixelContextSize);
            const native::Call call = native::Run(nat, 0);
            const int32_t expected = reference::Run(program, ref);
            ++c.evaluations;
            if (call.value != expected || !call.registersKept) {
                Report(c,
                       "value " + std::to_string(call.value) + ", reference " +
                           std::to_string(expected) +
                           (call.registersKept ? "" : ", caller's registers not kept"),
                       text);
            } else if (std::memcmp(nat, ref, kPixelContextSize) != 0) {
                size_t at = 0;
                while (reinterpret_cast<uint8_t*>(nat)[at] == reinterpret_cast<uint8_t*>(ref)[at])
                    ++at;
                Report(c, "state differs at byte offset " + std::to_string(at), text);
            }
        }
    }

    std::printf(
        "formulas %lld (complete %lld, syntax errors %lld, early ends %lld), evaluations %lld, "
        "mismatches %lld, seed %llu\n",
        c.formulas, c.complete, c.syntaxErrors, c.earlyEnds, c.evaluations, c.mismatches, gSeed);
    EXPECT_EQ(c.mismatches, 0);
    // Every template ran in the compared routines.
    for (int code = 0; std::strcmp(reference::OpName(code), "?") != 0; ++code) {
        if (std::strcmp(reference::OpName(code), "error") == 0) continue;
        EXPECT_GT(c.used[code], 0) << "never ran: " << reference::OpName(code);
    }
    native::FreeState(ref);
    native::FreeState(nat);
}

// Four formulas over an image of 3, 4 or 6 planes with padded rows, its
// area away from the image origin: the pass on every thread count against
// the reference walk, then the generator and the cells it leaves.
TEST(FormulaDifferential, PassesOnOneTwoThreeAndEightThreadsMatchTheReference) {
    AddVectoredExceptionHandler(0, ReportFault);
    PluginState* nat = native::NewExecutableState();
    auto* ref = native::NewState();
    auto* prepared = native::NewState();
    ASSERT_TRUE(nat && ref && prepared);
    BuildTrigTables(nat);
    formula_gen::Random rng(gSeed + 1);
    long long images = 0, shared = 0, jumped = 0, mismatches = 0;
    for (long long n = 0; n < gFormulas / 100; ++n, ++images) {
        std::string texts[4];
        const char* formulas[4];
        for (int k = 0; k < 4; ++k) {
            const formula_gen::Options options{2 + int(rng.Below(4))};
            do
                texts[k] = rng.Chance(5) ? formula_gen::Mutated(rng, options)
                                         : formula_gen::Formula(rng, options);
            while (texts[k].find("put") != std::string::npos && !rng.Chance(10));
            if (rng.Chance(15)) texts[k] = "rnd(x, 255) ^ " + texts[k];
            formulas[k] = texts[k].c_str();
        }
        gCurrent = texts[0] + "\n" + texts[1] + "\n" + texts[2] + "\n" + texts[3];
        CompileChannels(nat, formulas, native::Funcs(), native::Opers());
        FlushCode(nat);

        const int planes = rng.Chance(50) ? 3 : rng.Chance(70) ? 4 : 6;
        const int16_t left = int16_t(rng.Below(300)), top = int16_t(rng.Below(300));
        HostRecord host{};
        host.inArea = host.outArea = {top, left, int16_t(top + 1 + rng.Below(45)),
                                      int16_t(left + 1 + rng.Below(70))};
        host.inHiPlane = host.outHiPlane = int16_t(planes - 1);
        const int width = host.inArea.right - left, height = host.inArea.bottom - top;
        host.inRowBytes = host.outRowBytes = int32_t(width * planes + rng.Below(9));
        std::vector<uint8_t> in(size_t(host.inRowBytes) * height), expected(in.size(), 0xA5);
        for (uint8_t& v : in) v = uint8_t(rng.Below(256));
        host.inData = in.data();

        for (int i = 0; i < 8; ++i) nat->slider[i] = int32_t(rng.Below(256));
        for (int i = 0; i < 4; ++i)
            BuildMapTable(nat->slider[2 * i], nat->slider[2 * i + 1], nat->mapTable[i]);
        nat->randIndexA = 0;
        nat->randIndexB = 31;
        SeedRandom(0, nat->randTable);
        std::memset(nat->cell, 0, sizeof nat->cell);
        std::memset(nat->planeValue, 0, sizeof nat->planeValue);  // as every pass starts
        std::memcpy(prepared, nat, kPixelContextSize);
        std::memcpy(ref, nat, kPixelContextSize);
        ref->xEnd = width;
        ref->yEnd = height;
        ref->zEnd = planes;
        ref->areaLeft = left;
        ref->areaTop = top;
        ref->areaRight = host.inArea.right;
        ref->areaBottom = host.inArea.bottom;
        ref->inRowBytes = ref->outRowBytes = host.inRowBytes;
        ref->inBase = in.data();
        ref->outBase = expected.data();
        RefProgram programs[4];
        for (int k = 0; k < 4; ++k) RefCompile(formulas[k], programs[k]);
        RefRunPass(programs, *ref);

        const Sharing sharing = SharingOf(ChannelShapes(nat), planes < 4 ? planes : 4);
        shared += sharing.allowed;
        jumped += sharing.allowed && sharing.rndPerPixel;
        for (int threads : {1, 2, 3, 8}) {
            std::memcpy(nat, prepared, kPixelContextSize);
            std::vector<uint8_t> out(in.size(), 0xA5);
            host.outData = out.data();
            RunPassOn(nat, &host, threads);
            // The generator (its indices and table lie side by side) and the cells.
            const bool sameState =
                !std::memcmp(&nat->randIndexA, &ref->randIndexA, 4 + sizeof nat->randTable) &&
                !std::memcmp(nat->cell, ref->cell, sizeof nat->cell);
            if ((out != expected || !sameState) && ++mismatches <= 10)
                ADD_FAILURE() << threads << " threads, " << width << "x" << height << "x" << planes
                              << (sameState ? ": image" : ": generator or cells") << "\n"
                              << gCurrent;
        }
    }
    std::printf(
        "images %lld (shared %lld, with rnd %lld) on 1, 2, 3 and 8 threads, mismatches %lld\n",
        images, shared, jumped, mismatches);
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(shared * 2, images) << "most images should be shared";
    EXPECT_GT(jumped * 3, images) << "many should jump the generator";
    native::FreeState(prepared);
    native::FreeState(ref);
    native::FreeState(nat);
}

}  // namespace

int main(int argc, char** argv) {
    if (const char* v = std::getenv("TINCTOR_FORMULAS")) gFormulas = std::atoll(v);
    if (const char* v = std::getenv("TINCTOR_SEED")) gSeed = std::strtoull(v, nullptr, 10);
    testing::InitGoogleTest(&argc, argv);
    for (int k = 1; k < argc; ++k) {
        if (std::strncmp(argv[k], "--formulas=", 11) == 0) gFormulas = std::atoll(argv[k] + 11);
        if (std::strncmp(argv[k], "--seed=", 7) == 0)
            gSeed = std::strtoull(argv[k] + 7, nullptr, 10);
    }
    return RUN_ALL_TESTS();
}
