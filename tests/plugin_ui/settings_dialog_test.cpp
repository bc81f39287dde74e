// "Save..." and "Load..." as the user meets them: in the editor (IDD_EDITOR)
// of TinctorEditor.lmf, through the real file dialogs. The editor shows the
// formulas in their fields and the slider values in their labels,
// reads typed formulas back on its 250 ms timer and, after a failed load,
// puts what it showed back into the definition.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "plugin_ui/resource.h"
#include "tests/plugin/fake_host.h"
#include "tests/plugin_ui/dialog_driver.h"

namespace {

int16_t __cdecl Advance() { return 0; }  // the buffers already hold the whole small image
int16_t __cdecl Display(const HostPixelMap*, const HostRect32*, int32_t, int32_t, void*) {
    return 0;
}

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// Replaces a field's text as typing would: a multi-line field reports
// EN_CHANGE for a replaced selection, not for WM_SETTEXT.
void SetText(HWND dialog, int id, const std::string& text) {
    SendDlgItemMessageA(dialog, id, EM_SETSEL, 0, -1);
    SendDlgItemMessageA(dialog, id, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

// Presses a button without waiting for what it does: Save... and Load... run
// their file dialogs modally inside the click.
void Press(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

}  // namespace

TEST(SettingsDialog, SaveAndLoadThroughTheEditor) {
    FakeHost host("TinctorEditor.lmf");
    ASSERT_TRUE(host.entry);
    host.record.advanceState = Advance;
    host.record.displayPixels = Display;
    host.SetImage(40, 30, 3);
    ASSERT_EQ(host.Call(kSelectorParameters), 0);
    ASSERT_EQ(host.Call(kSelectorPrepare), 0);

    std::string saved = TempPath("editor-saved.tfs"), loaded = TempPath("editor-load.tfs"),
                bad = TempPath("editor-bad.tfs");
    DeleteFileA(saved.c_str());
    WriteBytes(loaded,
               "%RGB-1.0\r10\r20\r30\r40\r50\r60\r70\r80\rr\\r\\nxor(1)\r\rg\r\rb/2\r\rA\r\r");
    WriteBytes(bad, "%RGB-1.0\r1\r2\r");
    int16_t result = -1;
    RunModal([&] { result = host.Call(kSelectorStart); },
             [&] {
                 HWND e = WaitForDialog("Tinctor Editor", 10000);
                 ASSERT_NE(e, nullptr) << "the editor did not open";
                 const char* typed[4] = {"255-r", "g", "b", "a"};
                 for (int k = 0; k < 4; ++k) SetText(e, IDC_FORMULA + k, typed[k]);
                 // The timer reads the fields back.
                 for (int i = 0; i < 250 && host.state()->formulasEdited; ++i) Sleep(20);

                 Press(e, IDC_SAVE);  // Save...
                 HWND save = WaitForDialog("Save As");
                 ASSERT_NE(save, nullptr);
                 ChooseFile(save, saved);
                 EXPECT_TRUE(WaitUntilClosed(save));

                 Press(e, IDC_LOAD);  // Load...
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

                 Press(e, IDC_LOAD);
                 open = WaitForDialog("Open");
                 ASSERT_NE(open, nullptr);
                 ChooseFile(open, bad);
                 HWND box = WaitForDialog("Tinctor Editor", 5000, e);
                 ASSERT_NE(box, nullptr);
                 EXPECT_NE(MessageText(box).find("may not have the correct format"),
                           std::string::npos);
                 Click(box, IDOK);
                 EXPECT_TRUE(WaitUntilClosed(box));
                 EXPECT_EQ(ItemText(e, IDC_FORMULA + 2), "b/2");  // what the dialog showed stays
                 EXPECT_EQ(ItemText(e, IDC_VALUE_LABEL), "10");

                 SetText(e, IDC_FORMULA, "r");
                 Press(e, IDOK);
                 EXPECT_TRUE(WaitUntilClosed(e));
             });
    EXPECT_EQ(result, 0);
    FilterDefinition* d = host.definition();
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->formula[2], "b/2");
    EXPECT_EQ(d->sliderValue[0], 10);
    EXPECT_EQ(d->sliderValue[7], 80);
    DeleteFileA(saved.c_str());
    DeleteFileA(loaded.c_str());
    DeleteFileA(bad.c_str());
}
