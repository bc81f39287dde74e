// Rare paths through the host interface that no host may crash: a plane
// range widened after prepare, continue without start, hosts without abort
// or progress callbacks, and a system that refuses executable memory.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>
#include "tests/plugin/fake_host.h"

namespace {

class RarePaths : public ::testing::Test {
protected:
    FakeHost host;
    void SetUp() override {
        ASSERT_NE(host.entry, nullptr) << "Tinctor.lmf not found in plugins";
        host.Call(kSelectorFinish);  // allocates the block
        ASSERT_NE(host.definition(), nullptr);
    }
    void SetFormulas(const char* text) {
        for (auto& slot : host.definition()->formula) {
            std::memset(slot, 0, sizeof slot);
            std::strcpy(slot, text);
        }
    }
    size_t At(int x, int y, int z, int planes) const {
        return size_t(y) * host.record.inRowBytes + size_t(x) * planes + z;
    }
};

bool AreaEmpty(const HostArea& a) { return (a.top | a.left | a.bottom | a.right) == 0; }

// zEnd stays the host's plane count (the pixel stride); the formulas run for
// the first four planes, the others keep what the host had in them.
TEST_F(RarePaths, PlanesBeyondFourAfterPrepareAreLeftUntouched) {
    const int w = 5, h = 4, planes = 6;
    host.SetImage(w, h, planes);
    SetFormulas("255 - c + z * 0");
    ASSERT_EQ(host.Call(kSelectorPrepare), kResultOk);
    host.record.inHiPlane = host.record.outHiPlane = planes - 1;  // the host widens the range
    ASSERT_EQ(host.Call(kSelectorStart), kResultOk);
    EXPECT_EQ(host.Call(kSelectorContinue), kResultOk);
    EXPECT_EQ(host.state()->zEnd, planes);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int z = 0; z < planes; ++z) {
                const size_t at = At(x, y, z, planes);
                EXPECT_EQ(host.out[at], z < 4 ? 255 - host.in[at] : 0xEE)
                    << x << "," << y << "," << z;
            }
    // The row padding is never written.
    EXPECT_EQ(host.out[size_t(w) * planes], 0xEE);
}

// The code buffers hold the "error" routine from allocation: a continue that
// no start preceded writes 0 and still clears both areas.
TEST_F(RarePaths, ContinueWithoutStartWritesZero) {
    const int w = 7, h = 3;
    host.SetImage(w, h, 3);
    host.record.inArea = host.record.outArea = host.record.filterArea;
    host.record.inHiPlane = host.record.outHiPlane = 2;
    EXPECT_EQ(host.Call(kSelectorContinue), kResultOk);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int z = 0; z < 3; ++z) EXPECT_EQ(host.out[At(x, y, z, 3)], 0) << x << "," << y;
    EXPECT_TRUE(AreaEmpty(host.record.inArea));
    EXPECT_TRUE(AreaEmpty(host.record.outArea));
}

TEST_F(RarePaths, MissingAbortAndProgressCallbacksAreSkipped) {
    host.SetImage(3, 25, 3);
    SetFormulas("c / 2");
    host.record.abortProc = nullptr;
    host.record.progressProc = nullptr;
    EXPECT_EQ(host.Apply(false), kResultOk);
    EXPECT_EQ(host.out[At(2, 24, 1, 3)], host.in[At(2, 24, 1, 3)] / 2);
}

// Replaces every import address of `real` in `module` by `stand` (or back).
int PatchImports(HMODULE module, void* real, void* stand) {
    auto* base = reinterpret_cast<uint8_t*>(module);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int patched = 0;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name;
         ++d) {
        for (auto* slot = reinterpret_cast<void**>(base + d->FirstThunk); *slot; ++slot) {
            if (*slot != real) continue;
            DWORD old;
            VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
            *slot = stand;
            VirtualProtect(slot, sizeof *slot, old, &old);
            ++patched;
        }
    }
    return patched;
}

BOOL WINAPI RefuseProtection(LPVOID, SIZE_T, DWORD, PDWORD) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

// A system that refuses to make the code buffers executable: start answers
// out of memory instead of running code from non-executable memory, and so
// does continue, which still clears both areas and writes nothing.
TEST_F(RarePaths, RefusedExecutableMemoryAnswersOutOfMemory) {
    void* real =
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "VirtualProtect"));
    ASSERT_GT(PatchImports(host.module, real, reinterpret_cast<void*>(RefuseProtection)), 0);
    host.SetImage(4, 4, 3);
    host.Call(kSelectorPrepare);
    EXPECT_EQ(host.Call(kSelectorStart), kResultOutOfMemory);
    host.record.inArea = host.record.outArea = host.record.filterArea;
    EXPECT_EQ(host.Call(kSelectorContinue), kResultOutOfMemory);
    EXPECT_TRUE(AreaEmpty(host.record.inArea));
    EXPECT_TRUE(AreaEmpty(host.record.outArea));
    for (uint8_t v : host.out) ASSERT_EQ(v, 0xEE);
    PatchImports(host.module, reinterpret_cast<void*>(RefuseProtection), real);
    // Once the system agrees again, the filter runs.
    EXPECT_EQ(host.Apply(false), kResultOk);
}

int gHostSaw = 0;

LONG CALLBACK HostHandler(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (code != EXCEPTION_INT_DIVIDE_BY_ZERO && code != EXCEPTION_INT_OVERFLOW)
        return EXCEPTION_CONTINUE_SEARCH;
    ++gHostSaw;
    info->ContextRecord->Eip += 2;  // skip the two-byte idiv
    return EXCEPTION_CONTINUE_EXECUTION;
}

// A division that faults is completed inside the pass (the most negative
// value by -1 gives itself, whose unsigned top bit is 1); the host's own
// handler never sees it, the reserved fields of the block stay zero, and
// once the plug-in has returned nothing of its handler is left: the same
// routine called by the host faults into the host's handler.
TEST_F(RarePaths, DivisionFaultsStayInsideThePass) {
    const int w = 6, h = 5;
    host.SetImage(w, h, 3);
    SetFormulas(
        "((-2147483648 / -1) >> 31) + c + put(rnd(0, 9), 3) * 0 + cnv(1,1,1,1,1,1,1,1,1,0)");
    host.definition()->hasDialog = 0;  // the parameters call then opens no window
    void* handler = AddVectoredExceptionHandler(0, HostHandler);
    gHostSaw = 0;
    EXPECT_EQ(host.Apply(true), kResultOk);
    EXPECT_EQ(gHostSaw, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t at = At(x, y, 1, 3);
            EXPECT_EQ(host.out[at], host.in[at] == 255 ? 255 : host.in[at] + 1) << x << "," << y;
        }
    const PluginState* s = host.state();
    for (uint8_t v : s->reserved1) ASSERT_EQ(v, 0);
    for (uint8_t v : s->reserved2) ASSERT_EQ(v, 0);
    for (uint8_t v : s->reserved3) ASSERT_EQ(v, 0);

    using Routine = int32_t(__cdecl*)(PluginState*);
    reinterpret_cast<Routine>(reinterpret_cast<uintptr_t>(host.state()->code[0]))(host.state());
    EXPECT_EQ(gHostSaw, 1);
    RemoveVectoredExceptionHandler(handler);
}

}  // namespace
