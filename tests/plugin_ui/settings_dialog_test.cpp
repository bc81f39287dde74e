// "Save..." and "Load..." as the user meets them: in the editor (IDD_EDITOR)
// of TinctorEditor.lmf, through the real file dialogs. The editor shows the
// formulas in their fields and the slider values in their labels,
// reads typed formulas back on its 250 ms timer and, after a failed load,
// puts what it showed back into the definition.
#include <gtest/gtest.h>
#include <windows.h>

#include "plugin_ui/resource.h"
#include "tests/plugin/fake_host.h"
#include "tests/support/files.h"
#include "tests/support/user.h"

namespace {

int16_t __cdecl Advance() { return 0; }  // the buffers already hold the whole small image
int16_t __cdecl Display(const HostPixelMap*, const HostRect32*, int32_t, int32_t, void*) {
    return 0;
}

}  // namespace

TEST(SettingsDialog, SaveAndLoadThroughTheEditor) {
    FakeHost host("TinctorEditor.lmf");
    ASSERT_TRUE(host.entry);
    host.record.advanceState = Advance;
    host.record.displayPixels = Display;
    host.SetImage(40, 30, 3);
    ASSERT_EQ(host.Call(kSelectorParameters), 0);
    ASSERT_EQ(host.Call(kSelectorPrepare), 0);

    TempFolder dir;
    std::string saved = dir.file("editor-saved.tfs"), loaded = dir.file("editor-load.tfs"),
                bad = dir.file("editor-bad.tfs");
    WriteBytes(loaded,
               "%RGB-1.0\r10\r20\r30\r40\r50\r60\r70\r80\rr\\r\\nxor(1)\r\rg\r\rb/2\r\rA\r\r");
    WriteBytes(bad, "%RGB-1.0\r1\r2\r");
    int16_t result = -1;
    RunModal(
        "Tinctor Editor", [&] { result = host.Call(kSelectorStart); },
        [&](HWND e) {
            const char* typed[4] = {"255-r", "g", "b", "a"};
            for (int k = 0; k < 4; ++k) ReplaceText(e, IDC_FORMULA + k, typed[k]);
            // The timer reads the fields back.
            WaitUntil([&] { return !host.state()->formulasEdited; }, 5000, 20);

            PostButton(e, IDC_SAVE);  // Save...
            HWND save = WaitForDialog("Save As");
            ASSERT_NE(save, nullptr);
            ChooseFile(save, saved);
            EXPECT_TRUE(WaitUntilClosed(save));

            PostButton(e, IDC_LOAD);  // Load...
            HWND open = WaitForDialog("Open");
            ASSERT_NE(open, nullptr);
            // The editor writes the file after the Save As window has
            // gone; it has taken the next command, so the file is complete.
            EXPECT_EQ(FileBytes(saved),
                      "%RGB-1.0\r101\r0\r0\r0\r0\r0\r0\r0\r255-r\r\rg\r\rb\r\ra\r\r");
            ChooseFile(open, loaded);
            EXPECT_TRUE(WaitUntilClosed(open));
            // Reading a field waits for the editor's thread, which
            // answers once the load has shown its formulas and markers.
            // "\r" comes back as CR LF, "\n" as LF.
            EXPECT_EQ(ItemText(e, IDC_FORMULA), "r\r\n\nxor(1)");
            EXPECT_EQ(ItemText(e, IDC_FORMULA + 2), "b/2");
            EXPECT_EQ(ItemText(e, IDC_FORMULA + 3), "A");
            for (int i = 0; i < 8; ++i)
                EXPECT_EQ(ItemText(e, IDC_VALUE_LABEL + i), std::to_string(10 * (i + 1))) << i;
            // "xor" is no function: the red marker shows, no message box.
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(e, IDC_MARKER)));

            PostButton(e, IDC_LOAD);
            open = WaitForDialog("Open");
            ASSERT_NE(open, nullptr);
            ChooseFile(open, bad);
            HWND box = WaitForWindow({.caption = "Tinctor Editor", .except = e});
            ASSERT_NE(box, nullptr);
            EXPECT_NE(MessageText(box).find("may not have the correct format"), std::string::npos);
            PressButton(box, IDOK);
            EXPECT_TRUE(WaitUntilClosed(box));
            EXPECT_EQ(ItemText(e, IDC_FORMULA + 2), "b/2");  // what the dialog showed stays
            EXPECT_EQ(ItemText(e, IDC_VALUE_LABEL), "10");

            ReplaceText(e, IDC_FORMULA, "r");
            PostButton(e, IDOK);
            EXPECT_TRUE(WaitUntilClosed(e));
        });
    EXPECT_EQ(result, 0);
    FilterDefinition* d = host.definition();
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->formula[2], "b/2");
    EXPECT_EQ(d->sliderValue[0], 10);
    EXPECT_EQ(d->sliderValue[7], 80);
}
