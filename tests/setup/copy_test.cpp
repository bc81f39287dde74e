// The copy: expansion through the system's LZ library, its error alerts,
// the runtime library the disk carries, and the loop over the file table
// with what it tells its hooks.  Runs in the throwaway prefix of
// run_engine_tests.sh (it writes into the system directories).
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "setup/engine.h"
#include "setup/runtime/pe_exports.h"
#include "setup/state.h"
#include "tests/setup/recording_hooks.h"
#include "tests/setup/system_support.h"

namespace {

std::string Disk() { return BuildDir() + "disk\\"; }

std::string SystemPath(const char* name) {
    char dir[kPathBuffer];
    GetSystemDirectoryA(dir, kPathMax);
    return std::string(dir) + "\\" + name;
}

// The disk's files copied into `dir` as a plain copy leaves them (stamped
// with the time of the copy), less the source `left`.
void CopyDiskTo(const std::string& dir, const char* left = "") {
    for (const CopyEntry& row : gCopy)
        if (strcmp(row.pszSource, left) != 0)
            CopyFileA((Disk() + row.pszSource).c_str(), (dir + row.pszSource).c_str(), FALSE);
}

class Copy : public ::testing::Test {
protected:
    void SetUp() override {
        gRecorded = RecordedCopy();
        gfNetworkWin = gfForceMSVC = 0;
        ghInst = GetModuleHandleA(nullptr);
    }
    // One file expanded, and the whole table installed, with the recording hooks.
    static int Expand(const std::string& source, const std::string& target) {
        return MyLZCopy(source.c_str(), target.c_str(), gRecorded.Hooks());
    }
    static int Install(int platform, const std::string& disk, const std::string& target) {
        return CopyFiles(platform, disk.c_str(), target.c_str(), gRecorded.Hooks());
    }
};

TEST_F(Copy, ExpandsEveryDiskFileByteForByte) {
    std::string out = ScratchDir("expand");
    for (const CopyEntry& row : gCopy) {
        std::string target = out + row.pszSource + ".out";
        ASSERT_EQ(Expand(Disk() + row.pszSource, target), 1) << row.pszSource;
        std::string expanded = FileBytes(target);
        EXPECT_FALSE(expanded.empty());
        EXPECT_TRUE(expanded == FileBytes(DiskOriginal(row.pszSource))) << row.pszSource;
    }
    // A source that is not compressed is copied unchanged.
    WriteBytes(out + "plain.bin", std::string("plain\0bytes", 11));
    ASSERT_EQ(Expand(out + "plain.bin", out + "plain.out"), 1);
    EXPECT_EQ(FileBytes(out + "plain.out"), std::string("plain\0bytes", 11));
    EXPECT_TRUE(gRecorded.alerts.empty());
}

TEST_F(Copy, ErrorsAreShownWithTheirMessages) {
    EXPECT_EQ(ReportLZError(-6, "x", gRecorded.Hooks()), -5);
    EXPECT_EQ(ReportLZError(-2, "x", gRecorded.Hooks()), -3);
    EXPECT_EQ(ReportLZError(-4, "a:\\f._mf", gRecorded.Hooks()), -4);
    std::vector<std::string> expected = {"Insufficient memory", "Internal error (-3)",
                                         "Disk full when copying \"a:\\f._mf\""};
    EXPECT_EQ(gRecorded.alerts, expected);
}

TEST_F(Copy, MissingSourceTouchesNoTarget) {
    std::string out = ScratchDir("missing");
    std::string source = out + "absent._mf", target = out + "kept.lmf";
    WriteBytes(target, "installed before");
    EXPECT_LT(Expand(source, target), 0);
    ASSERT_EQ(gRecorded.alerts.size(), 1u);
    EXPECT_EQ(gRecorded.alerts[0], "Cannot open \"" + source + "\"");
    EXPECT_EQ(FileBytes(target), "installed before");
}

TEST_F(Copy, CutSourceIsAReadErrorAndLeavesNoTarget) {
    std::string out = ScratchDir("cut"), target = out + "pkfilt01.lmf";
    WriteBytes(out + "cut._mf", FileBytes(Disk() + "pkfilt01._mf").substr(0, 60000));
    EXPECT_EQ(Expand(out + "cut._mf", target), -3);
    EXPECT_EQ(gRecorded.alerts, std::vector<std::string>{"Internal error (-3)"});
    EXPECT_FALSE(FileExist(target.c_str()));
}

TEST_F(Copy, TargetInUseIsReportedAndLeftAlone) {
    // A library that is loaded cannot be rewritten.
    std::string out = ScratchDir("inuse");
    std::string target = out + "pkcommon.dll";
    ASSERT_TRUE(CopyFileA(DiskOriginal("pkcommon._ll").c_str(), target.c_str(), FALSE));
    std::string before = FileBytes(target);
    HMODULE busy = LoadLibraryA(target.c_str());
    ASSERT_TRUE(busy);
    EXPECT_LT(Expand(Disk() + "pkfilt01._mf", target), 0);
    FreeLibrary(busy);
    ASSERT_EQ(gRecorded.alerts.size(), 1u);
    EXPECT_EQ(gRecorded.alerts[0], "Cannot open \"" + target + "\"");
    EXPECT_TRUE(FileBytes(target) == before);
    EXPECT_FALSE(FileExist((out + "pkcommon.dl_").c_str()));  // nor written elsewhere
}

TEST_F(Copy, FullDiskRemovesThePartialTargetOnly) {
    if (Scenario("ENGINE_TINY_KB").empty()) GTEST_SKIP() << "no tiny filesystem mounted as R:";
    WriteBytes("R:\\before.txt", "stays");
    std::string source = Disk() + "pkfilt01._mf";
    EXPECT_EQ(Expand(source, "R:\\pkfilt01.lmf"), -4);
    ASSERT_EQ(gRecorded.alerts.size(), 1u);
    EXPECT_EQ(gRecorded.alerts[0], "Disk full when copying \"" + source + "\"");
    EXPECT_FALSE(FileExist("R:\\pkfilt01.lmf"));
    EXPECT_EQ(FileBytes("R:\\before.txt"), "stays");
    DeleteFileA("R:\\before.txt");
}

TEST_F(Copy, RuntimeForwardsEveryExportOfThePlatformRuntime) {
    std::string out = ScratchDir("runtime");
    // Under a name of its own, so the loader cannot pick a built-in runtime.
    std::string dll = out + "fwdtest.dll";
    ASSERT_EQ(Expand(Disk() + "msvcrt20._ll", dll), 1);
    HMODULE ours = LoadLibraryA(dll.c_str());
    HMODULE platform = LoadLibraryA("msvcrt.dll");
    ASSERT_TRUE(ours && platform);
    char path[MAX_PATH];
    GetModuleFileNameA(platform, path, MAX_PATH);
    std::string error;
    std::vector<uint8_t> image;
    for (char c : FileBytes(path)) image.push_back(static_cast<uint8_t>(c));
    std::vector<std::string> names = PeExportNames(image, &error);
    ASSERT_GT(names.size(), 1000u) << error;
    int missing = 0;
    for (const std::string& name : names) {
        FARPROC a = GetProcAddress(ours, name.c_str()), b = GetProcAddress(platform, name.c_str());
        if (a != b) ++missing;
    }
    EXPECT_EQ(missing, 0);
    auto length = reinterpret_cast<size_t(__cdecl*)(const char*)>(
        reinterpret_cast<void*>(GetProcAddress(ours, "strlen")));
    ASSERT_TRUE(length);
    EXPECT_EQ(length("runtime"), 7u);
    FreeLibrary(ours);
}

const std::vector<int> kProgress = {8, 15, 23, 31, 38, 46, 54, 62, 69, 77, 85, 92, 100};

std::vector<std::string> Installed(const std::string& dir) {
    std::vector<std::string> names;
    for (const CopyEntry& row : gCopy)
        if (!row.fSystemDir && FileExist((dir + row.pszTarget).c_str()))
            names.push_back(row.pszTarget);
    return names;
}

TEST_F(Copy, LoopInstallsTheCollectionAndKeepsANewerRuntime) {
    std::string dest = ScratchDir("loop");
    std::string runtime = SystemPath("msvcrt20.dll");
    std::string before = FileBytes(runtime);  // the prefix's own, newer than ours
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(Install(PLATFORM_WIN95, Disk(), dest), 1);
    EXPECT_EQ(gRecorded.progress, kProgress);
    EXPECT_EQ(gRecorded.statuses.size(), 12u) << "one status before each installed row";
    EXPECT_EQ(Installed(dest).size(), 11u);
    EXPECT_TRUE(FileBytes(dest + "pkcommon.dll") == FileBytes(DiskOriginal("pkcommon._ll")));
    // The installed common library loads, answers and carries its version.
    std::string common = dest + "pkcommon.dll";
    HMODULE library = LoadLibraryA(common.c_str());
    ASSERT_TRUE(library);
    auto version = reinterpret_cast<DWORD(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(library, "PkCommonVersion")));
    ASSERT_TRUE(version);
    EXPECT_EQ(version(), 0x20000u);
    FreeLibrary(library);
    std::string info(GetFileVersionInfoSizeA(common.c_str(), nullptr), '\0');
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoA(common.c_str(), 0, info.size(), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x20000u);
    EXPECT_TRUE(FileBytes(runtime) == before);
    EXPECT_EQ(gRecorded.statuses.back(), "pkfilt10._mf -> " + dest + "pkfilt10.lmf");
    EXPECT_TRUE(gRecorded.alerts.empty());
}

TEST_F(Copy, PathsOfAnyLengthThatFitTheBuffer) {
    std::string disk = ScratchDir("long-source"), dest = ScratchDir("long-target");
    disk += std::string(120 - disk.size(), 's') + "\\";
    dest += std::string(137 - dest.size(), 't') + "\\";  // 150 with the names
    std::string tooLong = dest + "123456789\\", runtime = SystemPath("msvcrt20.dll"),
                before = FileBytes(runtime);
    for (const std::string& dir : {disk, dest, tooLong}) CreateDirectoryA(dir.c_str(), nullptr);
    CopyDiskTo(disk);
    EXPECT_EQ(Install(PLATFORM_NT, disk, dest), 1);
    EXPECT_TRUE(FileBytes(dest + "pkfilt10.lmf") == FileBytes(DiskOriginal("pkfilt10._mf")));
    EXPECT_EQ(gRecorded.statuses.back(), "pkfilt10._mf -> " + dest + "pkfilt10.lmf");
    // One name would not fit: nothing is copied, the runtime included.
    gfForceMSVC = 1;
    EXPECT_EQ(Install(PLATFORM_NT, disk, tooLong), -1);
    EXPECT_TRUE(Installed(tooLong).empty() && FileBytes(runtime) == before);
}

// `image` with the 8 bytes of file version in its version resource replaced.
std::string WithVersion(std::string image, const char (&version)[9]) {
    const std::string head("\xBD\x04\xEF\xFE\x00\x00\x01\x00", 8);  // signature, layout
    return image.replace(image.find(head), 16, head + std::string(version, 8));
}

TEST_F(Copy, RuntimeVersionDecidesAndForceReplaces) {
    std::string disk = ScratchDir("plaincopy"), dest = ScratchDir("forced");
    CopyDiskTo(disk);
    for (const CopyEntry& row : gCopy) Stamp(disk + row.pszSource, 2100, 1, 1, 12, 0);
    std::string runtime = SystemPath("msvcrt20.dll"), kept = FileBytes(runtime);
    std::string ours = FileBytes(DiskOriginal("msvcrt20._ll"));
    std::string real = WithVersion(ours, "\x0C\0\x02\0\xDE\x10\0\0");  // 2.12
    const std::tuple<std::string, int, int, bool> rows[] = {
        // installed, year, /m, replaced
        {real, 1996, 0, false},        // a higher version stays, though older
        {ours + "x", 1996, 0, false},  // so does an equal one
        {WithVersion(ours, "\0\0\0\0\x05\0\0\0"), 2105, 0, true},  // a lower one goes, though newer
        {real, 1996, 1, true},                                     // /m
    };
    for (const auto& [installed, year, force, replaced] : rows) {
        WriteBytes(runtime, installed);
        Stamp(runtime, year, 6, 1, 12, 0);
        gfForceMSVC = force;
        EXPECT_EQ(Install(PLATFORM_WIN31, disk, dest), 1);
        EXPECT_TRUE(FileBytes(runtime) == (replaced ? ours : installed)) << year;
    }
    WriteBytes(runtime, kept);
    gfForceMSVC = 0;

    char windows[kPathBuffer];
    GetWindowsDirectoryA(windows, kPathMax);
    std::string network = std::string(windows) + "\\msvcrt20.dll";
    DeleteFileA(network.c_str());
    gfNetworkWin = 1;
    EXPECT_EQ(Install(PLATFORM_NT, Disk(), dest), 1);
    EXPECT_TRUE(FileBytes(network) == ours);
    DeleteFileA(network.c_str());
}

TEST_F(Copy, MissingSourceStopsAfterTheFilesBefore) {
    std::string disk = ScratchDir("partdisk"), dest = ScratchDir("partdest");
    CopyDiskTo(disk, "pkfilt05._mf");
    EXPECT_EQ(Install(PLATFORM_NT, disk, dest), -1);
    ASSERT_EQ(gRecorded.alerts.size(), 1u);
    EXPECT_EQ(gRecorded.alerts[0], "Cannot open \"" + disk + "pkfilt05._mf\"");
    std::vector<std::string> kept = {"pkcommon.dll", "pkfilt01.lmf", "pkfilt02.lmf", "pkfilt03.lmf",
                                     "pkfilt04.lmf"};
    EXPECT_EQ(Installed(dest), kept);
    EXPECT_EQ(gRecorded.progress, std::vector<int>(kProgress.begin(), kProgress.begin() + 7));
}

TEST_F(Copy, CancelTakesEffectBeforeTheNextRow) {
    std::string dest = ScratchDir("cancel");
    gRecorded.cancelAtYield = 4;
    EXPECT_EQ(Install(PLATFORM_WIN95, Disk(), dest), 0);
    EXPECT_EQ(gRecorded.yields, 4);
    std::vector<std::string> copied = {"pkcommon.dll", "pkfilt01.lmf"};
    EXPECT_EQ(Installed(dest), copied);
    EXPECT_TRUE(gRecorded.alerts.empty());
}

TEST_F(Copy, FullDiskDuringTheLoopKeepsWhatFitted) {
    if (Scenario("ENGINE_TINY_KB").empty()) GTEST_SKIP() << "no tiny filesystem mounted as R:";
    EXPECT_EQ(Install(PLATFORM_WIN95, Disk(), "r:\\"), -1);
    ASSERT_EQ(gRecorded.alerts.size(), 1u);
    EXPECT_EQ(gRecorded.alerts[0], "Disk full when copying \"" + Disk() + "pkfilt01._mf\"");
    EXPECT_TRUE(FileExist("r:\\pkcommon.dll"));
    EXPECT_FALSE(FileExist("r:\\pkfilt01.lmf"));
    DeleteFileA("r:\\pkcommon.dll");
}

}  // namespace
