// "Save..." and "Load..." through the real Save As and Open dialogs, in-process
// on the current definition (the editor's own fields are tested with the
// editor).
#include <gtest/gtest.h>
#include <windows.h>

#include "plugin_ui/maker.h"
#include "plugin_ui/settings_codec.h"
#include "plugin_ui/settings_file.h"
#include "plugin_ui/ui.h"
#include "tests/plugin_ui/import_patch.h"
#include "tests/plugin_ui/plugin_fixture.h"
#include "tests/support/files.h"
#include "tests/support/user.h"

namespace {

class SettingsDialogs : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        std::strcpy(definition_->formula[0], "255-r");
        std::strcpy(definition_->formula[1], "g\r\n// two lines");
        definition_->sliderValue[5] = 55;
    }
    // Answers the message box captioned with the definition's title.
    static std::string Answer(int button) {
        HWND box = WaitForDialog("Maker Test");
        if (!box) return "(no message box)";
        std::string text = MessageText(box);
        PressButton(box, button);
        WaitUntilClosed(box);
        return text;
    }
};

// WriteFile as on a full disk: it transfers half of what it is asked.
ImportPatch* gWritePatch;
BOOL WINAPI HalfWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED o) {
    return gWritePatch->Original<decltype(&WriteFile)>()(file, data, size / 2, written, o);
}

bool AnyTemporaryFileIn(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "*.tmp").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    return h != INVALID_HANDLE_VALUE;
}

}  // namespace

TEST_F(SettingsDialogs, FailedSavesAndMakesShowTheirMessageAndLeaveNothingBehind) {
    const std::string folder = OwnFolder() + "failures\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    enum Target { None, ReadOnly, Folder };
    const struct {
        const char* name;  // in the folder above; a settings file, else a made filter
        Target target;
        bool halfWrites;
        const char* message;
    } rows[] = {
        {"kept.tfs", ReadOnly, false,
         "An error occured while attempting to open the settings file."},
        {"full.tfs", None, true,
         "An error occured while attempting to write to the settings file."},
        {"kept", ReadOnly, false, "create the file 'kept.lmf' in the plug-in directory."},
        {"taken", Folder, false, "create the file 'taken.lmf' in the plug-in directory."},
        {"none\\x", None, false, "create the file 'x.lmf' in the plug-in directory."},
        {"a-title-too-long", None, false,
         "write to the file 'a-title-too-long.lmf' in the plug-in"},
    };
    for (const auto& row : rows) {
        const bool make = !std::strstr(row.name, ".tfs");
        const std::string target = folder + row.name + (make ? ".lmf" : "");
        if (row.target == ReadOnly) WriteBytes(target, "kept as it was");
        if (row.target == ReadOnly) SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
        if (row.target == Folder) CreateDirectoryA(target.c_str(), nullptr);
        const DWORD attributes = GetFileAttributesA(target.c_str());
        const std::string bytes = FileBytes(target);
        // A title longer than the menu name's slot takes makes the patch fail.
        const bool tooLong = std::strstr(row.name, "too-long");
        std::strcpy(MakerCopy().title, std::string(tooLong ? 40 : 4, 'T').c_str());
        std::snprintf(state_->makeFileName, sizeof state_->makeFileName, "failures\\%s", row.name);
        ImportPatch halfWrites(row.halfWrites ? GetModuleHandleA(nullptr) : nullptr, "kernel32.dll",
                               "WriteFile", reinterpret_cast<void*>(HalfWrite));
        gWritePatch = &halfWrites;
        std::string text;
        RunModal(
            make ? "Maker Test" : "Save As",
            [&] { make ? MakeFilter() : SaveSettings(hostWindow_); },
            [&](HWND d) {
                if (!make) ChooseFile(d, target);
                // "Do you want to replace it?" from the dialog or from Make.
                if (row.target != None && !make) PressButton(WaitForWindow({.except = d}), IDYES);
                if (row.target != None && make) Answer(IDYES);
                text = Answer(IDOK);
            });
        EXPECT_NE(text.find(row.message), std::string::npos) << text;
        EXPECT_FALSE(AnyTemporaryFileIn(folder)) << row.name;
        EXPECT_EQ(GetFileAttributesA(target.c_str()), attributes) << row.name;
        EXPECT_TRUE(FileBytes(target) == bytes) << row.name;
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(target.c_str());
        RemoveDirectoryA(target.c_str());
    }
    EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "something was left in " << folder;
}

TEST_F(SettingsDialogs, FilterListAndFolderComeFromOurOwnModule) {
    char filter[256];
    std::memset(filter, 'x', sizeof filter);
    LoadFileFilter(filter);
    const char expected[] = "Settings (*.tfs)\0*.tfs\0All Files (*.*)\0*.*\0";
    EXPECT_EQ(std::memcmp(filter, expected, sizeof expected), 0);
    char folder[256];
    PluginDirectory(folder);
    EXPECT_EQ(std::string(folder), OwnFolder());
}

TEST_F(SettingsDialogs, SaveAsWritesIntoThePluginFolderAndAsksBeforeReplacing) {
    std::string path = OwnFolder() + "dialog-saved.tfs";
    DeleteFileA(path.c_str());
    RunModal(
        "Save As", [&] { SaveSettings(hostWindow_); },
        [&](HWND d) {
            HWND types = GetDlgItem(d, 0x470);
            EXPECT_EQ(SendMessageA(types, CB_GETCOUNT, 0, 0), 2);
            char first[64] = "";
            SendMessageA(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
            EXPECT_STREQ(first, "Settings (*.tfs)");
            ChooseFile(d, "dialog-saved");  // the folder and the extension are the dialog's
            EXPECT_TRUE(WaitUntilClosed(d));
        });
    EXPECT_EQ(FileBytes(path), EncodeSettings(*definition_));

    definition_->sliderValue[5] = 66;
    RunModal(
        "Save As", [&] { SaveSettings(hostWindow_); },
        [&](HWND d) {
            ChooseFile(d, "dialog-saved.tfs");
            HWND ask = WaitForWindow({.except = d});
            ASSERT_NE(ask, nullptr);
            PressButton(ask, IDYES);
            EXPECT_TRUE(WaitUntilClosed(d));
        });
    EXPECT_EQ(FileBytes(path), EncodeSettings(*definition_));
    DeleteFileA(path.c_str());
}

TEST_F(SettingsDialogs, OpenLoadsAFileAndCompilesIt) {
    std::string path = OwnFolder() + "dialog-load.tfs";
    WriteBytes(path, "%RGB-1.0\r300\r-5\rabc\r 42\r0\r0\r0\r7\rr +\r\rg\r\rb\r\ra\r\r");
    RunModal(
        "Open", [&] { LoadSettings(hostWindow_); },
        [&](HWND d) {
            ChooseFile(d, path);
            EXPECT_TRUE(WaitUntilClosed(d));
        });
    EXPECT_EQ(WaitForDialog("Maker Test", 300), nullptr) << "a formula error is no load error";
    EXPECT_STREQ(definition_->formula[0], "r +");
    EXPECT_STREQ(definition_->formula[3], "a");
    int32_t expected[8] = {255, 0, 0, 42, 0, 0, 0, 7};
    EXPECT_EQ(std::memcmp(definition_->sliderValue, expected, sizeof expected), 0);
    EXPECT_NE(state_->compileFailed[0], 0);
    EXPECT_EQ(state_->compileFailed[1], 0);
    DeleteFileA(path.c_str());
}

TEST_F(SettingsDialogs, FailedLoadsShowTheirMessageAndKeepTheDefinition) {
    std::string bad = OwnFolder() + "dialog-bad.tfs";
    WriteBytes(bad, "%RGB-1.0\r1\r2\r3\r4\r5\r6\r7\r8\rcut\r\r");  // ends after the red formula
    FilterDefinition before = *definition_;
    std::string text;
    RunModal(
        "Open", [&] { LoadSettings(hostWindow_); },
        [&](HWND d) {
            ChooseFile(d, bad);
            text = Answer(IDOK);
        });
    EXPECT_NE(text.find("This file may not have the correct format."), std::string::npos) << text;
    // What the editor showed goes back into the definition: the editor test
    // (settings_dialog) checks that; this window shows no formulas.

    before = *definition_;

    // Only the path must exist: a missing file is accepted by the dialog and
    // then cannot be opened.
    RunModal(
        "Open", [&] { LoadSettings(hostWindow_); },
        [&](HWND d) {
            ChooseFile(d, OwnFolder() + "no-such-file.tfs");
            text = Answer(IDOK);
        });
    EXPECT_NE(text.find("An error occured while attempting to open the settings file."),
              std::string::npos)
        << text;
    EXPECT_EQ(std::memcmp(definition_, &before, sizeof before), 0);
    DeleteFileA(bad.c_str());
}

TEST_F(SettingsDialogs, CancelChangesNothing) {
    FilterDefinition before = *definition_;
    RunModal(
        "Open", [&] { LoadSettings(hostWindow_); },
        [&](HWND d) {
            PressButton(d, IDCANCEL);
            EXPECT_TRUE(WaitUntilClosed(d));
        });
    EXPECT_EQ(std::memcmp(definition_, &before, sizeof before), 0);
}
