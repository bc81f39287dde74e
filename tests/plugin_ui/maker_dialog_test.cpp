// The Build Filter dialog, "Make..." over an existing file and the About box
// in real windows under Xvfb, driven from a second thread.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/pipl.h"
#include "plugin_ui/dialogs.h"
#include "plugin_ui/maker.h"
#include "plugin_ui/ui.h"
#include "tests/plugin_ui/plugin_fixture.h"
#include "tests/support/files.h"
#include "tests/support/pixels.h"
#include "tests/support/user.h"

namespace {

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

// A check box and its label as "<checked><enabled>", e.g. "10".
std::string Pair(HWND dialog, int box, int label) {
    return {char('0' + ItemChecked(dialog, box)), char('0' + ItemEnabled(dialog, label))};
}

class BuildDialog : public PluginFixture {};
class MakeFilterTest : public PluginFixture {};
class AboutBox : public PluginFixture {};

}  // namespace

TEST_F(BuildDialog, StartsFromTheTemplateAndKeepsMapsAndControlsApart) {
    FilterDefinition& copy = MakerCopy();
    std::strcpy(copy.title, "From the definition");  // never shown in the dialog
    bool accepted = false;
    RunModal(
        "Build Filter", [&] { accepted = RunBuildDialog(); },
        [&](HWND d) {
            EXPECT_EQ(ItemText(d, IDC_BUILD_CATEGORY), "Synthetic");
            EXPECT_EQ(ItemText(d, IDC_BUILD_TITLE), "Untitled");
            EXPECT_EQ(ItemText(d, IDC_BUILD_AUTHOR), "Anonymous");
            EXPECT_NE(ItemText(d, IDC_BUILD_COPYRIGHT).find("\r\n"), std::string::npos);
            EXPECT_EQ(ItemText(d, IDC_BUILD_FILE_NAME), "");
            EXPECT_EQ(ItemText(d, IDC_BUILD_MAP_LABEL + 3), "Map 3:");
            EXPECT_EQ(ItemText(d, IDC_BUILD_SLIDER_LABEL + 7), "Control 7:");
            EXPECT_EQ(FocusOf(d), GetDlgItem(d, IDC_BUILD_CATEGORY));
            const auto [from, to] = SelectionOf(GetDlgItem(d, IDC_BUILD_CATEGORY));
            EXPECT_EQ(from, 0);
            EXPECT_EQ(to, 9);
            struct {
                int id, limit;
            } limits[] = {{IDC_BUILD_CATEGORY, 32},        {IDC_BUILD_TITLE, 32},
                          {IDC_BUILD_COPYRIGHT, 128},      {IDC_BUILD_AUTHOR, 128},
                          {IDC_BUILD_FILE_NAME, 32},       {IDC_BUILD_MAP_LABEL, 64},
                          {IDC_BUILD_SLIDER_LABEL + 7, 64}};
            for (auto l : limits)
                EXPECT_EQ(SendDlgItemMessageA(d, l.id, EM_GETLIMITTEXT, 0, 0), l.limit) << l.id;
            for (int id = IDC_BUILD_MAP_LABEL; id < IDC_BUILD_MAP_LABEL + 12; ++id)
                EXPECT_FALSE(ItemEnabled(d, id)) << id;
            for (int id = IDC_BUILD_MAP_BOX; id < IDC_BUILD_MAP_BOX + 12; ++id)
                EXPECT_FALSE(ItemChecked(d, id)) << id;

            // A box and its label: "11" checked and enabled, "00" cleared and disabled.
            auto map = [&](int i) {
                return Pair(d, IDC_BUILD_MAP_BOX + i, IDC_BUILD_MAP_LABEL + i);
            };
            auto slider = [&](int j) {
                return Pair(d, IDC_BUILD_SLIDER_BOX + j, IDC_BUILD_SLIDER_LABEL + j);
            };
            PressButton(d, IDC_BUILD_SLIDER_BOX + 2);
            EXPECT_EQ(slider(2), "11");
            PressButton(d, IDC_BUILD_SLIDER_BOX + 3);
            // "Map 1" clears "Control 2" and "Control 3" and disables their labels.
            PressButton(d, IDC_BUILD_MAP_BOX + 1);
            EXPECT_EQ(map(1) + slider(2) + slider(3), "110000");
            // "Control 3" clears "Map 1", leaves "Control 2" cleared.
            PressButton(d, IDC_BUILD_SLIDER_BOX + 3);
            EXPECT_EQ(slider(3) + map(1) + slider(2), "110000");
            // Other pairs are not touched; a box cleared again disables its label.
            PressButton(d, IDC_BUILD_SLIDER_BOX + 0);
            PressButton(d, IDC_BUILD_MAP_BOX + 2);
            EXPECT_EQ(slider(0), "11");
            PressButton(d, IDC_BUILD_SLIDER_BOX + 0);
            EXPECT_EQ(slider(0), "00");
            PressButton(d, IDC_BUILD_MAP_BOX + 3);
            PressButton(d, IDC_BUILD_MAP_BOX + 3);
            EXPECT_EQ(map(3), "00");
            ReplaceText(d, IDC_BUILD_MAP_LABEL + 2, "Curve:");
            ReplaceText(d, IDC_BUILD_FILE_NAME, "Waves.old");
            SaveWindowBmp(d, "build_filter.bmp");

            // Forty characters pasted into the title: it keeps 32, 31 are stored.
            ReplaceText(d, IDC_BUILD_TITLE, "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMN");
            EXPECT_EQ(ItemText(d, IDC_BUILD_TITLE).size(), 32u);

            // OK with an empty category: focus there, the dialog stays.
            ReplaceText(d, IDC_BUILD_CATEGORY, "");
            PressButton(d, IDOK);
            EXPECT_TRUE(IsWindowVisible(d));
            EXPECT_EQ(FocusOf(d), GetDlgItem(d, IDC_BUILD_CATEGORY));
            ReplaceText(d, IDC_BUILD_CATEGORY, "Obsidia");
            ReplaceText(d, IDC_BUILD_FILE_NAME, "");
            PressButton(d, IDOK);
            EXPECT_TRUE(IsWindowVisible(d));
            EXPECT_EQ(FocusOf(d), GetDlgItem(d, IDC_BUILD_FILE_NAME));
            ReplaceText(d, IDC_BUILD_FILE_NAME, "Waves.old");
            PressButton(d, IDOK);
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
    RunModal(
        "Build Filter", [&] { accepted = RunBuildDialog(); },
        [&](HWND d) {
            ReplaceText(d, IDC_BUILD_TITLE, "Changed");
            PressButton(d, IDCANCEL);
            EXPECT_TRUE(WaitUntilClosed(d));
        });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(std::memcmp(&copy, &before, sizeof copy), 0);

    for (int had : {0, 1}) {
        copy.hasDialog = had;
        RunModal(
            "Build Filter", [&] { accepted = RunBuildDialog(); },
            [&](HWND d) {
                ReplaceText(d, IDC_BUILD_FILE_NAME, "x");
                PressButton(d, IDOK);  // nothing shown
                EXPECT_TRUE(WaitUntilClosed(d));
            });
        EXPECT_TRUE(accepted);
        EXPECT_EQ(copy.hasDialog, had);
    }
}

TEST_F(MakeFilterTest, OverAnExistingFileAnsweredNoThenYes) {
    const std::string name = "MakerDialogTest";
    const std::string path = OwnFolder() + name + ".lmf";
    WriteBytes(path, "the previous file");
    FilterDefinition& copy = MakerCopy();
    std::strcpy(copy.title, "Dialog Made");
    std::strcpy(copy.category, "Maker Tests");
    copy.madeFilter = 0;
    copy.hasDialog = 1;
    std::strcpy(copy.formula[0], "255-r");
    std::strcpy(state_->makeFileName, (name + ".old").c_str());

    // The boxes are captioned with the editor's title, not the copy's.
    RunModal(
        "Maker Test", [&] { MakeFilter(); },
        [&](HWND box) {
            EXPECT_NE(MessageText(box).find("The file '" + name +
                                            ".lmf' already exists. Do you want to overwrite it?"),
                      std::string::npos)
                << MessageText(box);
            PressButton(box, IDNO);
            EXPECT_TRUE(WaitUntilClosed(box));
        });
    EXPECT_EQ(FileBytes(path), "the previous file");

    std::strcpy(state_->makeFileName, (name + ".old").c_str());
    RunModal(
        "Maker Test", [&] { MakeFilter(); },
        [&](HWND box) {
            PressButton(box, IDYES);
            EXPECT_TRUE(WaitUntilClosed(box));
            HWND done = WaitForDialog("Maker Test");
            ASSERT_NE(done, nullptr);
            EXPECT_NE(MessageText(done).find("The new filter '" + name +
                                             ".lmf' was successfully created."),
                      std::string::npos)
                << MessageText(done);
            PressButton(done, IDOK);
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
    RunModal(
        "", [&] { RunAboutBox(); },
        [&](HWND box) {
            EXPECT_EQ(GetWindow(box, GW_OWNER), hostWindow_);
            EXPECT_EQ(ItemText(box, IDC_ABOUT_TITLE), "Maker Test");
            EXPECT_EQ(ItemText(box, IDC_ABOUT_COPYRIGHT), "Copyright line one\r\nand line two");
            EXPECT_EQ(ItemText(box, IDC_ABOUT_AUTHOR), "By the tests");
            // Both lines are drawn: the copyright static has ink in two bands.
            SaveWindowBmp(box, "about.bmp");
            PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
            Sleep(300);
            EXPECT_TRUE(IsWindowVisible(box)) << "Escape closed the About box";
            PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
            EXPECT_TRUE(WaitUntilClosed(box));
        });
    RunModal(
        "", [&] { RunAboutBox(); },
        [&](HWND box) {
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
    RunModal(
        "", [&] { RunAboutBox(); },
        [&](HWND box) {
            EXPECT_EQ(ItemText(box, IDC_ABOUT_TITLE), std::string(256, 'T'));
            EXPECT_EQ(ItemText(box, IDC_ABOUT_COPYRIGHT), std::string(256, 'C'));
            EXPECT_EQ(ItemText(box, IDC_ABOUT_AUTHOR), std::string(256, 'A'));
            PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
            EXPECT_TRUE(WaitUntilClosed(box));
        });
    // The message boxes' captions.
    for (bool formatted : {false, true}) {
        RunModal(
            nullptr,
            [&] {
                formatted ? ShowFormattedMessage(IDS_FILTER_CREATED, "x", MB_OK)
                          : ShowErrorBox(IDS_SETTINGS_OPEN_FAILED);
            },
            [&](HWND box) {
                EXPECT_EQ(TextOf(box), std::string(256, 'T')) << formatted;
                PressButton(box, IDOK);
                EXPECT_TRUE(WaitUntilClosed(box));
            });
    }
}
