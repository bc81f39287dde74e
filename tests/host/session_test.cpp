// The plug-in session in process: it loads the library, hands the record's
// callbacks to the services of the call in progress only, and when it ends
// frees the plug-in's working block and unloads the library, so the file can
// be deleted or replaced.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/session.h"
#include "tests/host/lumora_run.h"

namespace {

const std::string kTestPlugins = HOSTTEST_DIR;

class CountingServices final : public HostServices {
public:
    bool AbortRequested() override {
        ++aborts;
        return false;
    }
    void Progress(int32_t, int32_t) override { ++progress; }
    int16_t AdvanceState() override {
        ++advances;
        return 0;
    }
    int aborts = 0, progress = 0, advances = 0;
};

PluginRef TestPlugin(const std::string& path) {
    return {path, "LumoraTestEntry", "Host Test Invert..."};
}

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyInto(kTestPlugins + "\\LumoraTest.lmf", dir_.path(), "Copy.lmf"));
        path_ = dir_.file("Copy.lmf");
    }
    TempFolder dir_;
    std::string path_;
};

TEST_F(Session, EndingTheSessionFreesTheBlockAndReleasesTheFile) {
    HGLOBAL block = nullptr;
    {
        PluginSession session;
        std::string error;
        ASSERT_TRUE(session.Load(TestPlugin(path_), false, error)) << error;
        EXPECT_NE(GetModuleHandleA(path_.c_str()), nullptr);
        EXPECT_EQ(session.dataHandle(), 0);
        CountingServices services;
        EXPECT_EQ(session.Call(kSelectorPrepare, services), kResultOk);
        ASSERT_NE(session.dataHandle(), 0);
        block = GlobalHandle(reinterpret_cast<void*>(session.dataHandle()));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(GlobalFlags(block) & GMEM_LOCKCOUNT, 1u);
        // The block is kept from call to call.
        intptr_t first = session.dataHandle();
        EXPECT_EQ(session.Call(kSelectorFinish, services), kResultOk);
        EXPECT_EQ(session.dataHandle(), first);
    }
    EXPECT_EQ(GetModuleHandleA(path_.c_str()), nullptr);
    EXPECT_EQ(GlobalFlags(block), UINT(GMEM_INVALID_HANDLE));
    // Nothing holds the file: it can be replaced and then deleted.
    ASSERT_TRUE(CopyFileA((kTestPlugins + "\\LumoraTest.lmf").c_str(), path_.c_str(), FALSE));
    EXPECT_TRUE(DeleteFileA(path_.c_str()));
}

TEST_F(Session, SessionsOneAfterAnotherEachLoadAfresh) {
    for (int round = 0; round < 3; ++round) {
        PluginSession session;
        std::string error;
        ASSERT_TRUE(session.Load(TestPlugin(path_), false, error)) << error;
        CountingServices services;
        EXPECT_EQ(session.Call(kSelectorPrepare, services), kResultOk);
        EXPECT_NE(session.dataHandle(), 0);
    }
    EXPECT_EQ(GetModuleHandleA(path_.c_str()), nullptr);
    EXPECT_TRUE(DeleteFileA(path_.c_str()));
}

TEST_F(Session, CallbacksReachOnlyTheServicesOfTheCallInProgress) {
    PluginSession session;
    std::string error;
    ASSERT_TRUE(session.Load(TestPlugin(path_), false, error)) << error;
    HostRecord& r = session.record();
    CountingServices during;
    // The test plug-in's "sample" start asks for advance state once.
    SetEnvironmentVariableA("LUMORA_TEST_MODE", "sample");
    r.filterArea = HostArea{0, 0, 4, 6};
    r.planes = 3;
    EXPECT_EQ(session.Call(kSelectorPrepare, during), kResultOk);
    EXPECT_EQ(session.Call(kSelectorStart, during), kResultOk);
    SetEnvironmentVariableA("LUMORA_TEST_MODE", nullptr);
    EXPECT_EQ(during.advances, 1);
    // Called after the call returned (a plug-in keeping the record past its
    // call): the answers are "stop" and "cannot", nobody's services are used.
    EXPECT_EQ(r.abortProc(), 1);
    EXPECT_NE(r.advanceState(), 0);
    r.progressProc(1, 2);
    EXPECT_EQ(during.advances, 1);
    EXPECT_EQ(during.aborts, 0);
    EXPECT_EQ(during.progress, 0);
}

TEST_F(Session, TheAboutCallAloneCarriesThePlatformDataAtOffsetZero) {
    PluginSession session;
    std::string error;
    ASSERT_TRUE(session.Load(TestPlugin(path_), true, error)) << error;
    CountingServices services;
    session.Call(kSelectorAbout, services);
    ASSERT_NE(session.record().aboutPlatform, nullptr);
    EXPECT_EQ(session.record().aboutPlatform->mainWindow, session.mainWindow());
    EXPECT_TRUE(IsWindow(static_cast<HWND>(session.mainWindow())));
    EXPECT_FALSE(IsWindowVisible(static_cast<HWND>(session.mainWindow())));
    session.Call(kSelectorPrepare, services);
    EXPECT_EQ(session.record().aboutPlatform, nullptr);
    EXPECT_EQ(session.record().platformData->mainWindow, session.mainWindow());
}

TEST_F(Session, LoadFailuresSayWhyAndLeaveNothingLoaded) {
    PluginSession session;
    std::string error;
    EXPECT_FALSE(session.Load(TestPlugin(dir_.file("Missing.lmf")), false, error));
    EXPECT_NE(error.find("cannot load plug-in"), std::string::npos) << error;
    PluginRef wrongEntry = TestPlugin(path_);
    wrongEntry.entryName = "NoSuchEntry";
    EXPECT_FALSE(session.Load(wrongEntry, false, error));
    EXPECT_NE(error.find("no export 'NoSuchEntry'"), std::string::npos) << error;
    EXPECT_EQ(GetModuleHandleA(path_.c_str()), nullptr);
}

}  // namespace
