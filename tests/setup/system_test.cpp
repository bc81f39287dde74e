// The engine's questions to the system, asked in a throwaway Wine prefix
// that tests/setup/run_engine_tests.sh prepares: the Windows version set in
// Wine's registry, drive Q: mapped to a folder with \lumora\plugins, drive
// R: a tiny filesystem.
#include <gtest/gtest.h>

#include <direct.h>

#include <cstdlib>
#include <thread>

#include "setup/engine.h"
#include "setup/state.h"
#include "tests/setup/system_support.h"

namespace {

std::string CurrentDir() {
    char here[kPathBuffer];
    return _getcwd(here, kPathMax) ? here : "";
}

TEST(Platform, FollowsTheConfiguredWindowsVersion) {
    std::string expected = Scenario("ENGINE_EXPECT_PLATFORM");
    ASSERT_FALSE(expected.empty()) << "run through run_engine_tests.sh platform";
    EXPECT_EQ(Platform(), atoi(expected.c_str()));
}

TEST(HostIni, PlugInDirectoryIsTakenAsWritten) {
    char buffer[kPathBuffer] = "stale";
    char ini[kPathBuffer];
    GetWindowsDirectoryA(ini, kPathMax);
    strcat(ini, "\\lumora30.ini");
    DeleteFileA(ini);
    EXPECT_EQ(CheckINI(buffer), 0);
    EXPECT_STREQ(buffer, "");
    ASSERT_TRUE(WritePrivateProfileStringA("Lumora", "PlugInDirectory", "D:\\Lumora\\Plug-Ins",
                                           "lumora30.ini"));
    EXPECT_NE(CheckINI(buffer), 0);
    EXPECT_STREQ(buffer, "D:\\Lumora\\Plug-Ins");
    // Another section's key is not the host's.
    WritePrivateProfileStringA("Lumora", "PlugInDirectory", nullptr, "lumora30.ini");
    WritePrivateProfileStringA("Other", "PlugInDirectory", "e:\\x", "lumora30.ini");
    EXPECT_EQ(CheckINI(buffer), 0);
    DeleteFileA(ini);
}

TEST(Drives, SearchFindsTheDirectoryOnAMappedDrive) {
    ASSERT_FALSE(Scenario("ENGINE_DRIVE_Q").empty()) << "run through run_engine_tests.sh system";
    std::string before = CurrentDir();
    char buffer[kPathBuffer] = "stale";
    ASSERT_NE(testdir("\\lumora\\plugins", buffer), 0);
    EXPECT_STREQ(buffer, "Q:\\lumora\\plugins");
    EXPECT_EQ(testdir("\\no\\such\\dir", buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(CurrentDir(), before);
}

TEST(Drives, ValidDirAcceptsOnlyExistingDirectories) {
    std::string before = CurrentDir();
    EXPECT_NE(validdir("q:\\lumora\\plugins"), 0);
    EXPECT_NE(validdir("  Q:\\LUMORA\\"), 0);
    EXPECT_EQ(validdir("q:\\lumora\\missing"), 0);
    EXPECT_EQ(validdir("q:\\lumora\\plugins\\old.lmf"), 0);  // a file
    EXPECT_EQ(validdir("w:\\plugins"), 0);                   // no such drive
    EXPECT_EQ(CurrentDir(), before);
    // A directory under a file can never be made: the plug-in dialog then
    // shows BADPATH.
    EXPECT_EQ(_mkdir("q:\\lumora\\plugins\\old.lmf\\sub"), -1);
    EXPECT_EQ(validdir("q:\\lumora\\plugins\\old.lmf\\sub"), 0);
}

TEST(FreeSpace, TinyDriveAndTheDisplayOfTypedPaths) {
    std::string tiny = Scenario("ENGINE_TINY_KB");
    if (tiny.empty()) GTEST_SKIP() << "no tiny filesystem could be mounted as R:";
    unsigned long kb = freespace(18);
    EXPECT_GT(kb, 0u);
    EXPECT_LE(kb, strtoul(tiny.c_str(), nullptr, 10));
    EXPECT_EQ(freespace(23), 0u);  // W: is not mapped

    char expected[32], text[32] = "";
    freespacestr(kb, expected);
    FreeSpaceDisplay display;
    ASSERT_TRUE(display.Text("r:\\plugins", text));
    EXPECT_STREQ(text, expected);
    EXPECT_FALSE(display.Text("R:\\other", text));  // same drive: not asked again
    ASSERT_TRUE(display.Text("   ", text));
    EXPECT_STREQ(text, "--");
    ASSERT_TRUE(display.Text("r:", text));  // typed again after clearing: refreshed
    EXPECT_STREQ(text, expected);
    ASSERT_TRUE(display.Text("w:\\", text));
    EXPECT_STREQ(text, "--");
}

// Plays the user in the open-file dialog: types `name` and presses OK, or
// cancels when `name` is null.
void AnswerFileDialog(const char* name) {
    for (int i = 0; i < 200; ++i) {
        HWND dialog = FindWindowA(nullptr, "Plug-in's directory...");
        if (dialog && IsWindowVisible(dialog)) {
            if (!name) {
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            SetDlgItemTextA(dialog, 0x480, name);  // the file name field
            SetDlgItemTextA(dialog, 0x47C, name);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            return;
        }
        Sleep(50);
    }
}

TEST(Drives, FileDialogLeavesTheDirectoryOfThePickedName) {
    char buffer[kPathBuffer] = "q:\\lumora";
    std::thread user(AnswerFileDialog, nullptr);
    EXPECT_EQ(FindDir(nullptr, buffer), 0);
    user.join();
    EXPECT_STREQ(buffer, "q:\\lumora");
    std::thread picker(AnswerFileDialog, "Q:\\lumora\\plugins\\anything.lmf");
    EXPECT_EQ(FindDir(nullptr, buffer), 1);
    picker.join();
    EXPECT_STREQ(buffer, "Q:\\lumora\\plugins\\");
}

TEST(FileTests, ExistenceAndWriteAccess) {
    std::string dir = ScratchDir("filetests");
    std::string file = dir + "plain.lmf", locked = dir + "locked.lmf";
    WriteBytes(file, "x");
    WriteBytes(locked, "x");
    EXPECT_TRUE(FileExist(file.c_str()));
    EXPECT_FALSE(FileExist((dir + "missing.lmf").c_str()));
    EXPECT_TRUE(FileWriteable(file.c_str()));
    EXPECT_TRUE(FileWriteable((dir + "missing.lmf").c_str()));
    // Held open without sharing, as a running program holds its file.
    HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FileWriteable(locked.c_str()));
    CloseHandle(hold);
    EXPECT_TRUE(FileWriteable(locked.c_str()));
}

// The stamp rules themselves are tested on their own; here the stamps are
// read from real files.
TEST(FileTests, NewerReadsTheFilesStamps) {
    std::string dir = ScratchDir("newer");
    std::string source = dir + "source._mf", target = dir + "target.lmf";
    WriteBytes(source, "new");
    EXPECT_EQ(FileNewer(source.c_str(), target.c_str()), 1);  // no target yet
    WriteBytes(target, "old");
    Stamp(source, 1996, 1, 31, 10, 0);
    Stamp(target, 1996, 2, 1, 9, 0);  // same coarse day: the time decides
    EXPECT_EQ(FileNewer(source.c_str(), target.c_str()), 1);
    Stamp(target, 1996, 1, 31, 10, 0);
    EXPECT_EQ(FileNewer(source.c_str(), target.c_str()), 0);
    Stamp(source, 1995, 6, 1, 12, 0);
    EXPECT_EQ(FileNewer(source.c_str(), target.c_str()), 0);
    // A source that cannot be read never replaces an existing target.
    EXPECT_EQ(FileNewer((dir + "gone._mf").c_str(), target.c_str()), 0);
}

}  // namespace
