// Generated formulas run natively and in the reference evaluator on random
// pixel contexts: results, cells, random state and every other byte of the
// pixel context must agree, and the routine must hand back the caller's
// registers. Any read outside the source buffer hits a guard page. Division
// faults are completed by the fault guard, as in a pass, and must give the
// reference's results; any other fault ends the program with a report.
//
// Normal run: 20,000 formulas. Soak: formula_differential --formulas=5000000
// [--seed=N], or TINCTOR_FORMULAS / TINCTOR_SEED in the environment.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "interface/state.h"
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
