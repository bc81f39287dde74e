// The formula editor in a real window, driven through TinctorEditor.lmf by
// the test host: typing, the recompilation timer, error markers, OK refusing
// while a channel fails, Cancel, and a slider dragged with the mouse.
#include <gtest/gtest.h>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>
#include "plugin_ui/resource.h"
#include "plugin_ui/slider.h"
#include "tests/plugin_ui/dialog_host.h"
#include "tests/plugin_ui/editor_fixture.h"
#include "tests/plugin_ui/import_patch.h"

namespace {

// Stand-ins for the plug-in's imports. Only the plug-in's import slots are
// patched: a stand-in passes calls on through this program's own imports.
// SetTimer, recorded: the period the editor asks for.
UINT gTimerPeriod;
UINT_PTR WINAPI RecordTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC proc) {
    gTimerPeriod = ms;
    return SetTimer(window, id, ms, proc);
}

// GlobalAlloc with no room for a copy of the definition.
HGLOBAL WINAPI NoRoomForADefinition(UINT flags, SIZE_T bytes) {
    return bytes == sizeof(FilterDefinition) ? nullptr : GlobalAlloc(flags, bytes);
}

TEST_F(EditorDialog, TypingShowsAMarkerAtTheNextRecompileAndCancelKeepsTheEdits) {
    ImportPatch timer(host.Module(), "user32.dll", "SetTimer",
                      reinterpret_cast<void*>(RecordTimer));
    ASSERT_TRUE(timer.Active());
    ASSERT_TRUE(Open(3));
    EXPECT_EQ(gTimerPeriod, 250u);  // typing is compiled at most four times a second
    HWND red = GetDlgItem(dialog, IDC_FORMULA);
    EXPECT_EQ(TextOf(dialog), "Tinctor Editor");
    EXPECT_EQ(FocusOf(dialog), red);
    // Three planes: the alpha row is hidden.
    EXPECT_FALSE(ItemVisible(dialog, IDC_FORMULA + 3));
    EXPECT_FALSE(ItemVisible(dialog, IDC_ALPHA_LABEL));
    EXPECT_FALSE(ItemVisible(dialog, IDC_MARKER + 3));
    for (int k = 0; k < 3; ++k) EXPECT_FALSE(ItemVisible(dialog, IDC_MARKER + k)) << k;

    TypeText("r+foo(1)");  // replaces the selected text
    Sleep(700);
    EXPECT_EQ(ItemText(dialog, IDC_FORMULA), "r+foo(1)");
    EXPECT_STREQ(host.Definition()->formula[0], "r+foo(1)");
    EXPECT_TRUE(ItemVisible(dialog, IDC_MARKER));
    EXPECT_FALSE(ItemVisible(dialog, IDC_MARKER + 1));

    for (int i = 0; i < 6; ++i) PressKey(VK_BACK);
    TypeText("g");
    Sleep(700);
    EXPECT_EQ(ItemText(dialog, IDC_FORMULA), "r+g");
    EXPECT_FALSE(ItemVisible(dialog, IDC_MARKER));

    ClickItem(dialog, IDCANCEL);
    EXPECT_EQ(host.Wait(), 1);  // cancelled: the filter is not applied
    EXPECT_STREQ(host.Definition()->formula[0], "r+g");

    // Nothing was undone: the next opening shows the edit.
    ASSERT_TRUE(Open(3));
    EXPECT_EQ(ItemText(dialog, IDC_FORMULA), "r+g");
}

TEST_F(EditorDialog, ClickingAMarkerSelectsTheErrorRangeInItsField) {
    ASSERT_TRUE(Open(3));
    // A multi-line field reports no change for text set by a program, so
    // the user types it.
    ClickItem(dialog, IDC_FORMULA + 1);
    PressKey(VK_END);
    TypeText("*(2+zork)");
    Sleep(700);
    const std::string text = ItemText(dialog, IDC_FORMULA + 1);
    ASSERT_EQ(text, std::string(host.Definition()->formula[1]));
    ASSERT_TRUE(ItemVisible(dialog, IDC_MARKER + 1));
    const PluginState* s = host.State();
    ASSERT_TRUE(s->compileFailed[1]);
    ASSERT_LT(s->errorStart[1], s->errorEnd[1]);

    ClickItem(dialog, IDC_MARKER + 1);
    Sleep(200);
    HWND green = GetDlgItem(dialog, IDC_FORMULA + 1);
    EXPECT_EQ(FocusOf(dialog), green);
    auto [start, end] = SelectionOf(green);
    EXPECT_EQ(start, s->errorStart[1]);
    EXPECT_EQ(end, s->errorEnd[1]);
    EXPECT_EQ(text.substr(size_t(start), size_t(end - start)), "zork");
    // Ctrl+A selects the whole field and changes nothing.
    PressKey(VK_CONTROL, 'A');
    Sleep(200);
    const auto all = SelectionOf(green);
    EXPECT_EQ(all.first, 0);
    EXPECT_EQ(all.second, int(text.size()));
    EXPECT_EQ(ItemText(dialog, IDC_FORMULA + 1), text);
    EXPECT_FALSE(host.Finished());
}

TEST_F(EditorDialog, OkWithErrorsInGreenAndAlphaSelectsGreenAndStaysOpen) {
    ASSERT_TRUE(Open(4));
    EXPECT_TRUE(ItemVisible(dialog, IDC_FORMULA + 3));
    EXPECT_TRUE(ItemVisible(dialog, IDC_ALPHA_LABEL));
    SetDlgItemTextA(dialog, IDC_FORMULA + 1, "g+zork");
    SetDlgItemTextA(dialog, IDC_FORMULA + 3, "a+blah");
    ClickItem(dialog, IDOK);  // at once: OK recompiles by itself
    Sleep(300);
    EXPECT_FALSE(host.Finished());
    EXPECT_TRUE(IsWindowVisible(dialog));
    HWND green = GetDlgItem(dialog, IDC_FORMULA + 1);
    EXPECT_EQ(FocusOf(dialog), green);
    auto [start, end] = SelectionOf(green);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(end, 6);
    EXPECT_FALSE(ItemVisible(dialog, IDC_MARKER));
    EXPECT_TRUE(ItemVisible(dialog, IDC_MARKER + 1));
    EXPECT_TRUE(ItemVisible(dialog, IDC_MARKER + 3));

    SetDlgItemTextA(dialog, IDC_FORMULA + 1, "g");
    SetDlgItemTextA(dialog, IDC_FORMULA + 3, "255-a");
    ClickItem(dialog, IDOK);
    EXPECT_EQ(host.Wait(), 0);
    EXPECT_STREQ(host.Definition()->formula[3], "255-a");
}

TEST_F(EditorDialog, MakeRefusesWhileAChannelFailsOrMemoryIsShort) {
    ASSERT_TRUE(Open(3));
    ClickItem(dialog, IDC_FORMULA + 2);
    PressKey(VK_END);
    TypeText("+zork");
    ClickItem(dialog, IDC_MAKE);  // before the timer: Make recompiles by itself
    Sleep(400);
    HWND blue = GetDlgItem(dialog, IDC_FORMULA + 2);
    EXPECT_EQ(FocusOf(dialog), blue);
    auto [start, end] = SelectionOf(blue);
    EXPECT_EQ(ItemText(dialog, IDC_FORMULA + 2).substr(size_t(start), size_t(end - start)), "zork");
    EXPECT_EQ(FindWindows({.thread = host.ThreadId()}).size(), 1u);  // no Build Filter, no message
    EXPECT_EQ(host.State()->makerCopy, nullptr);

    // Mended, but without memory for the maker's copy: message 2005.
    SetDlgItemTextA(dialog, IDC_FORMULA + 2, "b");
    ImportPatch alloc(host.Module(), "kernel32.dll", "GlobalAlloc",
                      reinterpret_cast<void*>(NoRoomForADefinition));
    ASSERT_TRUE(alloc.Active());
    ClickItem(dialog, IDC_MAKE);
    HWND box = WaitForWindow(
        {.words = "Unable to allocate local memory. This operation cannot be completed.",
         .thread = host.ThreadId()});
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "Tinctor Editor");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(host.State()->makerCopy, nullptr);
}

TEST_F(EditorDialog, HiddenAlphaFormulaThatFailsNeitherShowsAMarkerNorBlocksOk) {
    // The alpha formula never runs on three planes, nor on four when the
    // output keeps no transparency.
    for (int planes : {3, 4}) {
        host.outputTransparency = planes == 3;
        std::strcpy(host.Definition()->formula[3], "a+");
        ASSERT_TRUE(Open(planes));
        EXPECT_FALSE(ItemVisible(dialog, IDC_FORMULA + 3)) << planes;
        EXPECT_FALSE(ItemVisible(dialog, IDC_ALPHA_LABEL)) << planes;
        TypeText("r");  // over the selected red formula: a recompilation
        Sleep(700);
        EXPECT_STREQ(host.Definition()->formula[0], "r");
        EXPECT_TRUE(host.State()->compileFailed[3]);
        EXPECT_FALSE(ItemVisible(dialog, IDC_MARKER + 3)) << planes;
        ClickItem(dialog, IDOK);
        EXPECT_EQ(host.Wait(), 0) << planes;
        EXPECT_STREQ(host.Definition()->formula[3], "a+");  // still kept
    }
}

// Notifications the dialog receives from its sliders, with the number of
// preview redraws the host had seen when each arrived.
struct Notification {
    int id, code, value, displaysBefore;
};
std::mutex gNotesLock;
std::vector<Notification> gNotes;
DialogHost* gNotesHost;

LRESULT CALLBACK RecordNotifications(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    static const UINT message = RegisterWindowMessageA("LMSlCmd");
    if (code == HC_ACTION && m->message == message) {
        std::lock_guard<std::mutex> g(gNotesLock);
        gNotes.push_back({int(m->wParam), int(HIWORD(m->lParam)), int(LOWORD(m->lParam)),
                          gNotesHost->DisplayCount()});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The value the slider's geometry gives a pointer at client x.
int ValueAt(HWND slider, int x) {
    RECT c;
    GetClientRect(slider, &c);
    const int length = c.right - 14;
    int p = x - 7;
    if (p < 0) p = 0;
    if (p > length) p = length;
    return (p * 255 + length / 2) / length;
}

TEST_F(EditorDialog, DraggingASliderUpdatesItsLabelAndRedrawsOnPauseAndRelease) {
    ASSERT_TRUE(Open(3));
    HWND slider = GetDlgItem(dialog, IDC_SLIDER + 2);
    gNotesHost = &host;
    gNotes.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordNotifications, nullptr, host.ThreadId());
    ASSERT_NE(hook, nullptr);
    const std::string otherLabel = ItemText(dialog, IDC_VALUE_LABEL);

    RECT r;
    GetWindowRect(slider, &r);
    const int y = (r.top + r.bottom) / 2;
    MouseTo(r.left + 40, y);
    MouseButton(true);
    Sleep(80);
    MouseTo(r.left + 60, y);
    Sleep(80);
    MouseTo(r.left + 80, y);
    Sleep(700);  // a pause: held, then held again
    MouseTo(r.left + 100, y);
    Sleep(80);
    MouseButton(false);
    Sleep(300);
    UnhookWindowsHookEx(hook);

    std::vector<Notification> notes;
    {
        std::lock_guard<std::mutex> g(gNotesLock);
        notes = gNotes;
    }
    ASSERT_GE(notes.size(), 5u);
    for (const Notification& n : notes) EXPECT_EQ(n.id, IDC_SLIDER + 2);
    EXPECT_EQ(notes.front().code, SliderMoving);
    EXPECT_EQ(notes.front().value, ValueAt(slider, 40));
    EXPECT_EQ(notes.back().code, SliderReleased);
    EXPECT_EQ(notes.back().value, ValueAt(slider, 100));

    int held = 0, repeats = 0;
    for (size_t i = 0; i < notes.size(); ++i) {
        const Notification& n = notes[i];
        if (n.code == SliderHeld) {
            ++held;
            EXPECT_EQ(n.value, ValueAt(slider, 80));
            ASSERT_GT(i, 0u);
            EXPECT_EQ(notes[i - 1].code, SliderMoving);  // the first pause after a move
        }
        if (n.code == SliderHeldRepeat) {
            ++repeats;
            EXPECT_EQ(n.value, ValueAt(slider, 80));
        }
        // Only a pause and the release redraw the preview.
        const int after = i + 1 < notes.size() ? notes[i + 1].displaysBefore : host.DisplayCount();
        const bool redraws = n.code == SliderHeld || n.code == SliderReleased;
        EXPECT_EQ(after - n.displaysBefore, redraws ? 1 : 0)
            << "notification " << i << " code " << n.code;
    }
    EXPECT_EQ(held, 1);
    EXPECT_GE(repeats, 1);

    const int final = ValueAt(slider, 100);
    EXPECT_EQ(ItemText(dialog, IDC_VALUE_LABEL + 2), std::to_string(final));
    EXPECT_EQ(SendMessageA(slider, SliderGet, 0, 0), final);
    EXPECT_EQ(host.Definition()->sliderValue[2], final);
    EXPECT_EQ(ItemText(dialog, IDC_VALUE_LABEL), otherLabel);
    EXPECT_NE(GetCapture(), slider);

    ClickItem(dialog, IDOK);
    EXPECT_EQ(host.Wait(), 0);
    EXPECT_EQ(host.Definition()->sliderValue[2], final);
}

}  // namespace
