// The Build Filter dialog, "Make..." over an existing file and the About box
// in real windows under Xvfb, driven from a second thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "host/pipl.h"
#include "plugin_ui/dialogs.h"
#include "plugin_ui/maker.h"
#include "plugin_ui/ui.h"
#include "tests/plugin_ui/dialog_driver.h"
#include "tests/plugin_ui/plugin_fixture.h"

namespace {

void SetText(HWND dialog, int id, const std::string& text) {
    SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// One resource of a plug-in file, read as data.
std::string ResourceOf(const std::string& path, const char* type) {
    HMODULE m = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!m) return "";
    HRSRC r = FindResourceA(m, MAKEINTRESOURCEA(16), type);
    const char* p = r ? static_cast<const char*>(LockResource(LoadResource(m, r))) : nullptr;
    std::string bytes = p ? std::string(p, SizeofResource(m, r)) : "";
    FreeLibrary(m);
    return bytes;
}

class BuildDialog : public PluginFixture {};
class MakeFilterTest : public PluginFixture {};
class AboutBox : public PluginFixture {};

}  // namespace

TEST_F(BuildDialog, StartsFromTheTemplateAndKeepsMapsAndControlsApart) {
    FilterDefinition& copy = MakerCopy();
    std::strcpy(copy.title, "From the definition");  // never shown in the dialog
    bool accepted = false;
    RunModal([&] { accepted = RunBuildDialog(); },
             [&] {
                 HWND d = WaitForDialog("Build Filter");
                 ASSERT_NE(d, nullptr);
                 EXPECT_EQ(ItemText(d, IDC_BUILD_CATEGORY), "Synthetic");
                 EXPECT_EQ(ItemText(d, IDC_BUILD_TITLE), "Untitled");
                 EXPECT_EQ(ItemText(d, IDC_BUILD_AUTHOR), "Anonymous");
                 EXPECT_NE(ItemText(d, IDC_BUILD_COPYRIGHT).find("\r\n"), std::string::npos);
                 EXPECT_EQ(ItemText(d, IDC_BUILD_FILE_NAME), "");
                 EXPECT_EQ(ItemText(d, IDC_BUILD_MAP_LABEL + 3), "Map 3:");
                 EXPECT_EQ(ItemText(d, IDC_BUILD_SLIDER_LABEL + 7), "Control 7:");
                 EXPECT_EQ(FocusedId(d), IDC_BUILD_CATEGORY);
                 DWORD from = 1, to = 0;
                 SendDlgItemMessageA(d, IDC_BUILD_CATEGORY, EM_GETSEL, WPARAM(&from), LPARAM(&to));
                 EXPECT_EQ(from, 0u);
                 EXPECT_EQ(to, 9u);
                 struct {
                     int id, limit;
                 } limits[] = {{IDC_BUILD_CATEGORY, 32},        {IDC_BUILD_TITLE, 32},
                               {IDC_BUILD_COPYRIGHT, 128},      {IDC_BUILD_AUTHOR, 128},
                               {IDC_BUILD_FILE_NAME, 32},       {IDC_BUILD_MAP_LABEL, 64},
                               {IDC_BUILD_SLIDER_LABEL + 7, 64}};
                 for (auto l : limits)
                     EXPECT_EQ(SendDlgItemMessageA(d, l.id, EM_GETLIMITTEXT, 0, 0), l.limit)
                         << l.id;
                 for (int id = IDC_BUILD_MAP_LABEL; id < IDC_BUILD_MAP_LABEL + 12; ++id)
                     EXPECT_FALSE(Enabled(d, id)) << id;
                 for (int id = IDC_BUILD_MAP_BOX; id < IDC_BUILD_MAP_BOX + 12; ++id)
                     EXPECT_FALSE(Checked(d, id)) << id;

                 Click(d, IDC_BUILD_SLIDER_BOX + 2);
                 EXPECT_TRUE(Checked(d, IDC_BUILD_SLIDER_BOX + 2));
                 EXPECT_TRUE(Enabled(d, IDC_BUILD_SLIDER_LABEL + 2));
                 Click(d, IDC_BUILD_SLIDER_BOX + 3);
                 // "Map 1" clears "Control 2" and "Control 3" and disables their labels.
                 Click(d, IDC_BUILD_MAP_BOX + 1);
                 EXPECT_TRUE(Checked(d, IDC_BUILD_MAP_BOX + 1));
                 EXPECT_TRUE(Enabled(d, IDC_BUILD_MAP_LABEL + 1));
                 EXPECT_FALSE(Checked(d, IDC_BUILD_SLIDER_BOX + 2));
                 EXPECT_FALSE(Checked(d, IDC_BUILD_SLIDER_BOX + 3));
                 EXPECT_FALSE(Enabled(d, IDC_BUILD_SLIDER_LABEL + 2));
                 EXPECT_FALSE(Enabled(d, IDC_BUILD_SLIDER_LABEL + 3));
                 // "Control 3" clears "Map 1", leaves "Control 2" cleared.
                 Click(d, IDC_BUILD_SLIDER_BOX + 3);
                 EXPECT_TRUE(Checked(d, IDC_BUILD_SLIDER_BOX + 3));
                 EXPECT_TRUE(Enabled(d, IDC_BUILD_SLIDER_LABEL + 3));
                 EXPECT_FALSE(Checked(d, IDC_BUILD_MAP_BOX + 1));
                 EXPECT_FALSE(Enabled(d, IDC_BUILD_MAP_LABEL + 1));
                 EXPECT_FALSE(Checked(d, IDC_BUILD_SLIDER_BOX + 2));
                 EXPECT_FALSE(Enabled(d, IDC_BUILD_SLIDER_LABEL + 2));
                 // Other pairs are not touched; a box cleared again disables its label.
                 Click(d, IDC_BUILD_SLIDER_BOX + 0);
                 Click(d, IDC_BUILD_MAP_BOX + 2);
                 EXPECT_TRUE(Checked(d, IDC_BUILD_SLIDER_BOX + 0));
                 Click(d, IDC_BUILD_SLIDER_BOX + 0);
                 EXPECT_FALSE(Enabled(d, IDC_BUILD_SLIDER_LABEL + 0));
                 Click(d, IDC_BUILD_MAP_BOX + 3);
                 Click(d, IDC_BUILD_MAP_BOX + 3);
                 EXPECT_FALSE(Enabled(d, IDC_BUILD_MAP_LABEL + 3));
                 SetText(d, IDC_BUILD_MAP_LABEL + 2, "Curve:");
                 SetText(d, IDC_BUILD_FILE_NAME, "Waves.old");
                 SaveWindowBmp(d, "build_filter.bmp");

                 // Typing 32 characters into the title keeps 32; 31 are stored.
                 SetText(d, IDC_BUILD_TITLE, "");
                 for (int i = 0; i < 40; ++i)
                     SendDlgItemMessageA(d, IDC_BUILD_TITLE, WM_CHAR, 'A' + i % 26, 1);
                 EXPECT_EQ(ItemText(d, IDC_BUILD_TITLE).size(), 32u);

                 // OK with an empty category: focus there, the dialog stays.
                 SetText(d, IDC_BUILD_CATEGORY, "");
                 Click(d, IDOK);
                 EXPECT_TRUE(IsWindowVisible(d));
                 EXPECT_EQ(FocusedId(d), IDC_BUILD_CATEGORY);
                 SetText(d, IDC_BUILD_CATEGORY, "Obsidia");
                 SetText(d, IDC_BUILD_FILE_NAME, "");
                 Click(d, IDOK);
                 EXPECT_TRUE(IsWindowVisible(d));
                 EXPECT_EQ(FocusedId(d), IDC_BUILD_FILE_NAME);
                 SetText(d, IDC_BUILD_FILE_NAME, "Waves.old");
                 Click(d, IDOK);
                 EXPECT_TRUE(WaitUntilClosed(d));
             });
    EXPECT_TRUE(accepted);
    EXPECT_STREQ(copy.category, "Obsidia");
    EXPECT_EQ(std::string(copy.title), std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE"));
    EXPECT_STREQ(state_->makeFileName, "Waves.old");
    EXPECT_STREQ(copy.author, "Anonymous");
    EXPECT_NE(std::strstr(copy.copyright, "\r\n"), nullptr);
    int shownSliders[8] = {0, 0, 0, 1, 0, 0, 0, 0}, shownMaps[4] = {0, 0, 1, 0};
    for (int j = 0; j < 8; ++j) EXPECT_EQ(copy.sliderShown[j], shownSliders[j]) << j;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(copy.mapShown[i], shownMaps[i]) << i;
    EXPECT_STREQ(copy.mapLabel[2], "Curve:");
    EXPECT_STREQ(copy.sliderLabel[0], "Control 0:");  // disabled fields are read too
    EXPECT_EQ(copy.hasDialog, 1);
}

TEST_F(BuildDialog, CancelLeavesTheCopyAndHasDialogIsNeverCleared) {
    FilterDefinition& copy = MakerCopy();
    FilterDefinition before = copy;
    bool accepted = true;
    RunModal([&] { accepted = RunBuildDialog(); },
             [&] {
                 HWND d = WaitForDialog("Build Filter");
                 ASSERT_NE(d, nullptr);
                 SetText(d, IDC_BUILD_TITLE, "Changed");
                 Click(d, IDCANCEL);
                 EXPECT_TRUE(WaitUntilClosed(d));
             });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(std::memcmp(&copy, &before, sizeof copy), 0);

    for (int had : {0, 1}) {
        copy.hasDialog = had;
        RunModal([&] { accepted = RunBuildDialog(); },
                 [&] {
                     HWND d = WaitForDialog("Build Filter");
                     ASSERT_NE(d, nullptr);
                     SetText(d, IDC_BUILD_FILE_NAME, "x");
                     Click(d, IDOK);  // nothing shown
                     EXPECT_TRUE(WaitUntilClosed(d));
                 });
        EXPECT_TRUE(accepted);
        EXPECT_EQ(copy.hasDialog, had);
    }
}

TEST_F(MakeFilterTest, OverAnExistingFileAnsweredNoThenYes) {
    const std::string name = "MakerDialogTest";
    const std::string path = OwnFolder() + name + ".lmf";
    {
        std::ofstream old(path, std::ios::binary);
        old << "the previous file";
    }
    FilterDefinition& copy = MakerCopy();
    std::strcpy(copy.title, "Dialog Made");
    std::strcpy(copy.category, "Maker Tests");
    copy.madeFilter = 0;
    copy.hasDialog = 1;
    std::strcpy(copy.formula[0], "255-r");
    std::strcpy(state_->makeFileName, (name + ".old").c_str());

    RunModal(
        [&] { MakeFilter(); },
        [&] {
            HWND box =
                WaitForDialog("Maker Test");  // captioned with the editor's title, not the copy's
            ASSERT_NE(box, nullptr);
            EXPECT_NE(MessageText(box).find("The file '" + name +
                                            ".lmf' already exists. Do you want to overwrite it?"),
                      std::string::npos)
                << MessageText(box);
            Click(box, IDNO);
            EXPECT_TRUE(WaitUntilClosed(box));
        });
    EXPECT_EQ(FileBytes(path), "the previous file");

    std::strcpy(state_->makeFileName, (name + ".old").c_str());
    RunModal([&] { MakeFilter(); },
             [&] {
                 HWND box = WaitForDialog("Maker Test");
                 ASSERT_NE(box, nullptr);
                 Click(box, IDYES);
                 EXPECT_TRUE(WaitUntilClosed(box));
                 HWND done = WaitForDialog("Maker Test");
                 ASSERT_NE(done, nullptr);
                 EXPECT_NE(MessageText(done).find("The new filter '" + name +
                                                  ".lmf' was successfully created."),
                           std::string::npos)
                     << MessageText(done);
                 Click(done, IDOK);
                 EXPECT_TRUE(WaitUntilClosed(done));
             });
    std::string parm = ResourceOf(path, "PARM");
    ASSERT_EQ(parm.size(), sizeof(FilterDefinition));
    FilterDefinition made;
    std::memcpy(&made, parm.data(), sizeof made);
    EXPECT_EQ(made.madeFilter, 1);
    EXPECT_STREQ(made.title, "Dialog Made");
    EXPECT_STREQ(made.formula[0], "255-r");
    std::string pipl = ResourceOf(path, "PIPL");
    PropertyListResult list =
        ParsePropertyList(reinterpret_cast<const uint8_t*>(pipl.data()), pipl.size());
    ASSERT_TRUE(list.ok) << list.error;
    EXPECT_EQ(list.properties.name, "Dialog Made...");
    EXPECT_EQ(list.properties.category, "Maker Tests");
    EXPECT_EQ(list.properties.entry, "ENTRYPOINT1");
    DeleteFileA(path.c_str());
}

TEST_F(AboutBox, ShowsTwoLinesOfCopyrightAndClosesOnEnterOrClickNotEscape) {
    std::strcpy(definition_->copyright, "Copyright line one\r\nand line two");
    std::strcpy(definition_->author, "By the tests");
    RunModal([&] { RunAboutBox(); },
             [&] {
                 HWND box = WaitForDialog("");
                 ASSERT_NE(box, nullptr);
                 EXPECT_EQ(GetWindow(box, GW_OWNER), hostWindow_);
                 EXPECT_EQ(ItemText(box, IDC_ABOUT_TITLE), "Maker Test");
                 EXPECT_EQ(ItemText(box, IDC_ABOUT_COPYRIGHT),
                           "Copyright line one\r\nand line two");
                 EXPECT_EQ(ItemText(box, IDC_ABOUT_AUTHOR), "By the tests");
                 // Both lines are drawn: the copyright static has ink in two bands.
                 SaveWindowBmp(box, "about.bmp");
                 PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
                 Sleep(300);
                 EXPECT_TRUE(IsWindowVisible(box)) << "Escape closed the About box";
                 PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
                 EXPECT_TRUE(WaitUntilClosed(box));
             });
    RunModal([&] { RunAboutBox(); },
             [&] {
                 HWND box = WaitForDialog("");
                 ASSERT_NE(box, nullptr);
                 // A click on the copyright text reaches the box.
                 RECT r;
                 GetWindowRect(GetDlgItem(box, IDC_ABOUT_COPYRIGHT), &r);
                 POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                 ScreenToClient(box, &p);
                 PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
                 EXPECT_TRUE(WaitUntilClosed(box));
             });
}

TEST_F(AboutBox, TextsWithoutTerminatorsEndAtTheirSlots) {
    // Title, copyright, author and everything after them without a NUL, up
    // to the last byte of the block.
    std::memset(definition_->title, 'x',
                sizeof(FilterDefinition) - offsetof(FilterDefinition, title) - 1);
    std::memset(definition_->title, 'T', sizeof definition_->title);
    std::memset(definition_->copyright, 'C', sizeof definition_->copyright);
    std::memset(definition_->author, 'A', sizeof definition_->author);
    RunModal([&] { RunAboutBox(); },
             [&] {
                 HWND box = WaitForDialog("");
                 ASSERT_NE(box, nullptr);
                 EXPECT_EQ(ItemText(box, IDC_ABOUT_TITLE), std::string(256, 'T'));
                 EXPECT_EQ(ItemText(box, IDC_ABOUT_COPYRIGHT), std::string(256, 'C'));
                 EXPECT_EQ(ItemText(box, IDC_ABOUT_AUTHOR), std::string(256, 'A'));
                 PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
                 EXPECT_TRUE(WaitUntilClosed(box));
             });
    // The message boxes' captions.
    for (bool formatted : {false, true}) {
        RunModal(
            [&] {
                formatted ? ShowFormattedMessage(IDS_FILTER_CREATED, "x", MB_OK)
                          : ShowErrorBox(IDS_SETTINGS_OPEN_FAILED);
            },
            [&] {
                HWND box = WaitForDialog(nullptr);
                ASSERT_NE(box, nullptr);
                char caption[1024] = "";
                GetWindowTextA(box, caption, sizeof caption);
                EXPECT_EQ(std::string(caption), std::string(256, 'T')) << formatted;
                Click(box, IDOK);
                EXPECT_TRUE(WaitUntilClosed(box));
            });
    }
}
