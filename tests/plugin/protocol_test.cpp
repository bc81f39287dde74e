// The selector protocol as the host sees it: allocation, the definition
// load, result codes, prepare's plane rule, start's dialog life cycle and
// area requests, continue's clean-up.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <algorithm>
#include <atomic>
#include <thread>
#include "tests/plugin/fake_host.h"

namespace {

class Protocol : public ::testing::Test {
protected:
    FakeHost host;
    void SetUp() override {
        ASSERT_NE(host.module, nullptr) << "Tinctor.lmf not found in plugins";
        ASSERT_NE(host.entry, nullptr);
    }
};

TEST_F(Protocol, FirstCallAllocatesTheBlockAndLoadsTheDefinition) {
    EXPECT_EQ(host.Call(kSelectorFinish), kResultOk);
    ASSERT_NE(host.data, 0);
    FilterDefinition* d = host.definition();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->size, 8296);
    EXPECT_EQ(d->madeFilter, 1);
    // The block is zero-filled but for the definition pointer.
    PluginState* s = host.state();
    EXPECT_EQ(s->dialogRequested, 0);
    EXPECT_EQ(s->codeSize[0], 0);
    // Later calls keep the same block and the same definition copy.
    host.Call(kSelectorPrepare);
    EXPECT_EQ(host.state(), s);
    EXPECT_EQ(host.definition(), d);
}

TEST_F(Protocol, CodeBuffersAreExecutable) {
    host.Call(kSelectorFinish);
    MEMORY_BASIC_INFORMATION info{};
    for (int k = 0; k < 4; ++k) {
        ASSERT_NE(VirtualQuery(host.state()->code[k], &info, sizeof info), 0u);
        EXPECT_EQ(info.Protect, DWORD(PAGE_EXECUTE_READWRITE)) << "channel " << k;
    }
}

TEST_F(Protocol, SelectorsOutsideZeroToFiveAreRejected) {
    host.Call(kSelectorFinish);
    std::vector<uint8_t> before(reinterpret_cast<uint8_t*>(host.state()),
                                reinterpret_cast<uint8_t*>(host.state()) + sizeof(PluginState));
    for (int32_t selector : {6, -1, 32767, -32768, 0x10006}) {
        EXPECT_EQ(host.Call(selector), kResultBadSelector) << selector;
    }
    EXPECT_EQ(0, std::memcmp(before.data(), host.state(), sizeof(PluginState)));
    // Only the low 16 bits count: 0x10005 is finish.
    EXPECT_EQ(host.Call(0x10005), kResultOk);
    EXPECT_EQ(host.Call(0xFFFF0002), kResultOk);
}

TEST_F(Protocol, MissingDefinitionIsRetriedOnTheNextCall) {
    host.Call(kSelectorFinish);
    PluginState* s = host.state();
    // As after a failed load: the block exists, the definition does not.
    s->definition = nullptr;
    EXPECT_EQ(host.Call(kSelectorFinish), kResultOk);
    EXPECT_EQ(host.state(), s);
    ASSERT_NE(s->definition, nullptr);
    EXPECT_EQ(s->definition->size, 8296);
}

TEST(ProtocolWithoutDefinition, YieldsOutOfMemoryAndKeepsTheBlock) {
    // A copy of the plug-in whose definition resource has been removed.
    char temp[MAX_PATH], copy[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    GetTempFileNameA(temp, "nop", 0, copy);
    ASSERT_TRUE(CopyFileA(PluginPath("Tinctor.lmf").c_str(), copy, FALSE));
    // Rename the resource type in the directory: "PARM" (UTF-16) becomes "PARX".
    {
        HANDLE f =
            CreateFileA(copy, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        std::vector<char> bytes(GetFileSize(f, nullptr));
        DWORD n = 0;
        ReadFile(f, bytes.data(), DWORD(bytes.size()), &n, nullptr);
        const char wide[] = {'P', 0, 'A', 0, 'R', 0, 'M', 0};
        auto at = std::search(bytes.begin(), bytes.end(), std::begin(wide), std::end(wide));
        ASSERT_NE(at, bytes.end());
        at[6] = 'X';
        SetFilePointer(f, 0, nullptr, FILE_BEGIN);
        WriteFile(f, bytes.data(), DWORD(bytes.size()), &n, nullptr);
        CloseHandle(f);
    }

    HMODULE m = LoadLibraryA(copy);
    ASSERT_NE(m, nullptr);
    auto entry = reinterpret_cast<PluginEntryProc>(
        reinterpret_cast<void*>(GetProcAddress(m, "ENTRYPOINT1")));
    HostRecord record{};
    intptr_t data = 0;
    int16_t result = 0;
    entry(kSelectorPrepare, &record, &data, &result);
    EXPECT_EQ(result, kResultOutOfMemory);
    ASSERT_NE(data, 0) << "the block stays allocated";
    intptr_t block = data;
    EXPECT_EQ(record.bufferSpace, 0) << "no handler runs";
    entry(kSelectorFinish, &record, &data, &result);
    EXPECT_EQ(result, kResultOutOfMemory);
    EXPECT_EQ(data, block) << "the next call reuses the block and tries the load again";
    FreeLibrary(m);
    DeleteFileA(copy);
}

TEST_F(Protocol, PrepareRequestsTransparencyOnlyWhenAllThreeFieldsSayso) {
    struct {
        int16_t layer, inAlpha, outAlpha, last;
    } rows[] = {
        {1, 1, 1, 3}, {0, 1, 1, 2}, {1, 0, 1, 2}, {1, 1, 0, 2}, {0, 0, 0, 2}, {-1, 7, 1, 3},
    };
    for (auto& r : rows) {
        host.record.inLayerPlanes = r.layer;
        host.record.inTransparentIndex = r.inAlpha;
        host.record.outTransparentIndex = r.outAlpha;
        host.record.inLoPlane = host.record.inHiPlane = 9;
        EXPECT_EQ(host.Call(kSelectorPrepare), kResultOk);
        EXPECT_EQ(host.record.bufferSpace, 131072);
        EXPECT_EQ(host.record.inLoPlane, 0);
        EXPECT_EQ(host.record.inHiPlane, r.last) << r.layer << r.inAlpha << r.outAlpha;
        EXPECT_EQ(host.record.outLoPlane, 0);
        EXPECT_EQ(host.record.outHiPlane, r.last);
    }
}

TEST_F(Protocol, StartShowsTheDialogOnlyOnceAfterParameters) {
    host.SetImage(4, 3, 3);
    // No window here (the dialogs are driven in tests/plugin_ui): a made
    // filter without a dialog takes the same road through start.
    host.Call(kSelectorFinish);
    host.definition()->hasDialog = 0;
    EXPECT_EQ(host.Call(kSelectorParameters), kResultOk);
    EXPECT_EQ(host.state()->dialogRequested, 1);
    host.Call(kSelectorPrepare);
    EXPECT_EQ(host.Call(kSelectorStart), kResultOk);
    EXPECT_EQ(host.state()->dialogRequested, 0);
    EXPECT_EQ(host.Call(kSelectorStart), kResultOk);
    EXPECT_EQ(host.state()->dialogRequested, 0);
}

TEST_F(Protocol, StartRequestsTheFilterAreaAndPreparesTheRun) {
    host.SetImage(40, 30, 3);
    host.record.filterArea = HostArea{5, 7, 25, 33};
    host.record.maskArea = HostArea{1, 2, 3, 4};
    host.Call(kSelectorPrepare);
    host.Call(kSelectorFinish);
    PluginState* s = host.state();
    for (int i = 0; i < 256; ++i) s->cell[i] = i + 1;
    s->randIndexA = 17;
    host.definition()->sliderValue[3] = 200;
    EXPECT_EQ(host.Call(kSelectorStart), kResultOk);
    const HostArea& in = host.record.inArea;
    const HostArea& out = host.record.outArea;
    EXPECT_EQ((std::vector<int>{in.top, in.left, in.bottom, in.right}),
              (std::vector<int>{5, 7, 25, 33}));
    EXPECT_EQ((std::vector<int>{out.top, out.left, out.bottom, out.right}),
              (std::vector<int>{5, 7, 25, 33}));
    EXPECT_EQ((std::vector<int>{host.record.maskArea.top, host.record.maskArea.right}),
              (std::vector<int>{1, 4}));
    EXPECT_EQ(s->slider[0], 101);
    EXPECT_EQ(s->slider[3], 200);
    EXPECT_EQ(s->randIndexA, 0);
    EXPECT_EQ(s->randIndexB, 31);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(s->cell[i], 0);
    // Without a parameters call start compiled the kept formulas.
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(s->compileFailed[k], 0) << k;
        EXPECT_GT(s->codeSize[k], 0) << k;
    }
}

TEST_F(Protocol, ContinueAlwaysLeavesBothAreasEmpty) {
    for (int abortAt : {-1, 0}) {
        host.SetImage(6, 25, 3);
        FakeHost::abortAtCall = abortAt;
        FakeHost::abortCalls = 0;
        host.Call(kSelectorPrepare);
        ASSERT_EQ(host.Call(kSelectorStart), kResultOk);
        EXPECT_EQ(host.Call(kSelectorContinue), abortAt < 0 ? kResultOk : kResultCancelled);
        const HostArea& in = host.record.inArea;
        const HostArea& out = host.record.outArea;
        EXPECT_EQ(in.top | in.left | in.bottom | in.right, 0);
        EXPECT_EQ(out.top | out.left | out.bottom | out.right, 0);
    }
}

BOOL CALLBACK FindOwnVisibleWindow(HWND w, LPARAM found) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

TEST_F(Protocol, AboutIsAnsweredOnAFirstCall) {
    // The About box is modal: dismiss it from another thread once it shows.
    std::atomic<bool> done{false};
    std::atomic<int> shown{0};
    std::thread closer([&] {
        while (!done) {
            HWND box = nullptr;
            EnumWindows(FindOwnVisibleWindow, reinterpret_cast<LPARAM>(&box));
            if (box) {
                ++shown;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
            Sleep(50);
        }
    });
    int16_t r = host.Call(kSelectorAbout);
    done = true;
    closer.join();
    EXPECT_EQ(r, kResultOk);
    EXPECT_GT(shown.load(), 0) << "no About box appeared";
    ASSERT_NE(host.definition(), nullptr);
}

}  // namespace
