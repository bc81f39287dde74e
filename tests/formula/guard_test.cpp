// The fault guard of a pass: it completes division faults of compiled code
// inside its range while it lives, and nothing else. A counting handler of
// the "host" sits behind it and sees every fault the guard leaves alone.
#include <gtest/gtest.h>
#include <windows.h>
#include <climits>
#include "formula/native.h"
#include "interface/state.h"
#include "tests/formula/native_runner.h"

extern "C" int32_t CallRoutineChecked(const void* code, PluginState* state, uint32_t* kept);

namespace {

int gHostSaw = 0;
constexpr DWORD kHostResult = 12345;

// What a host's own handler might do: note the fault, skip the two-byte
// division and carry on with a result of its own.
LONG CALLBACK HostHandler(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (code != EXCEPTION_INT_DIVIDE_BY_ZERO && code != EXCEPTION_INT_OVERFLOW)
        return EXCEPTION_CONTINUE_SEARCH;
    ++gHostSaw;
    info->ContextRecord->Eax = kHostResult;
    info->ContextRecord->Eip += 2;
    return EXCEPTION_CONTINUE_EXECUTION;
}

TEST(FaultGuard, CompletesOnlyInsideItsRangeAndOnlyWhileItLives) {
    PluginState* s = native::NewExecutableState();
    ASSERT_TRUE(s);
    ASSERT_EQ(native::Compile(s, 0, "-2147483648 / -1").failed, 0);
    void* host = AddVectoredExceptionHandler(0, HostHandler);
    uint32_t kept = 0;
    gHostSaw = 0;
    {
        const FaultGuard guard(s->code[0], s->code[0] + sizeof s->code);
        EXPECT_EQ(CallRoutineChecked(s->code[0], s, &kept), INT_MIN);
        EXPECT_EQ(gHostSaw, 0);
    }
    {
        // A guard over other code leaves this fault to the host.
        const FaultGuard guard(s->code[1], s->code[1] + sizeof s->code[1]);
        EXPECT_EQ(CallRoutineChecked(s->code[0], s, &kept), int32_t(kHostResult));
        EXPECT_EQ(gHostSaw, 1);
    }
    // Nothing of the guard stays installed.
    EXPECT_EQ(CallRoutineChecked(s->code[0], s, &kept), int32_t(kHostResult));
    EXPECT_EQ(gHostSaw, 2);
    EXPECT_TRUE(kept);
    RemoveVectoredExceptionHandler(host);
    native::FreeState(s);
}

}  // namespace
