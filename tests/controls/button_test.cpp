// Picture and shadow buttons driven with mouse messages and real input.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "controls/controls.h"
#include "tests/controls/environment.h"

namespace {

class Buttons : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = OpenDialog(IDD_ALLCTL);
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override { DestroyWindow(dialog); }
    HWND Item(int id) { return GetDlgItem(dialog, id); }
    int CommandsFrom(int id) {
        int n = 0;
        for (const Command& c : gCommands) n += LOWORD(c.wParam) == id && HIWORD(c.wParam) == 0;
        return n;
    }
    HWND dialog = nullptr;
};

void Mouse(HWND w, UINT msg, int x, int y) {
    SendMessageA(w, msg, msg == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(x, y));
}

TEST_F(Buttons, ResizeToOneFrameCentredInTheTemplateWidth) {
    struct Row {
        int id, x, y, w, h, frameW, frameH, extra;
    } rows[] = {
        {IDC_BULLET, 10, 64, 13, 12, 24, 24, 0},  // bullet: two 24x24 frames
        {IDC_ALERT, 8, 6, 43, 54, 80, 86, 0},     // Alert: two 80x86 frames
        {IDOK, 170, 8, 50, 50, 54, 32, 8},        // OKButton + shadow
        {IDCANCEL, 170, 70, 50, 50, 78, 20, 8},   // CancelButton + shadow
    };
    for (const Row& row : rows) {
        // The dialog manager converts position and size separately.
        RECT t = {row.x, row.y, row.w, row.h};
        MapDialogRect(dialog, &t);
        int tw = t.right;
        int expectLeft =
            row.extra ? t.left + (tw + 8 - row.frameW) / 2 : t.left + (tw - row.frameW) / 2;
        RECT r;
        GetWindowRect(Item(row.id), &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.right - r.left, row.frameW + row.extra) << row.id;
        EXPECT_EQ(r.bottom - r.top, row.frameH + row.extra) << row.id;
        EXPECT_EQ(r.left, expectLeft) << row.id;
        EXPECT_EQ(r.top, t.top) << row.id;
    }
}

TEST_F(Buttons, ClickSendsTheCommandOnlyWhenReleasedInside) {
    HWND b = Item(IDC_ALERT);
    const struct {
        const char* what;
        std::vector<std::tuple<UINT, int, int>> steps;
        int commands;
    } rows[] = {
        {"press and release inside", {{WM_LBUTTONDOWN, 10, 10}, {WM_LBUTTONUP, 10, 10}}, 1},
        {"drag out and release",
         {{WM_LBUTTONDOWN, 10, 10}, {WM_MOUSEMOVE, -20, 10}, {WM_LBUTTONUP, -20, 10}},
         0},
        {"drag out, back in, release",
         {{WM_LBUTTONDOWN, 10, 10},
          {WM_MOUSEMOVE, 200, 10},
          {WM_MOUSEMOVE, 12, 12},
          {WM_LBUTTONUP, 12, 12}},
         1},
        {"double click presses too", {{WM_LBUTTONDBLCLK, 10, 10}, {WM_LBUTTONUP, 10, 10}}, 1},
        {"press outside", {{WM_LBUTTONDOWN, 200, 10}, {WM_LBUTTONUP, 10, 10}}, 0},
        {"release without press", {{WM_LBUTTONUP, 10, 10}}, 0},
    };
    for (const auto& row : rows) {
        gCommands.clear();
        for (const auto& [msg, x, y] : row.steps) Mouse(b, msg, x, y);
        EXPECT_EQ(CommandsFrom(IDC_ALERT), row.commands) << row.what;
        if (row.commands) {
            EXPECT_EQ(gCommands.back().lParam, reinterpret_cast<LPARAM>(b)) << row.what;
        }
        auto* button = dynamic_cast<MyButtonCtl*>(MyControlMgr::GetWindowObject(b));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->state, 0) << row.what;
        EXPECT_NE(GetCapture(), b) << row.what;
    }
    Mouse(b, WM_LBUTTONDOWN, 10, 10);
    SetCapture(dialog);  // another window takes the mouse: the press is over
    ReleaseCapture();
    EXPECT_EQ(dynamic_cast<MyButtonCtl*>(MyControlMgr::GetWindowObject(b))->state, 0);
    SendMessageA(b, WM_KEYDOWN, VK_SPACE, 1);  // Space clicks too
    SendMessageA(b, WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ(CommandsFrom(IDC_ALERT), 1);
}

TEST_F(Buttons, HighlightStateAnswersAndBlocksPresses) {
    HWND b = Item(IDC_BULLET);
    EXPECT_EQ(SendMessageA(b, WM_GETDLGCODE, 0, 0), 0x2020);
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), 0);
    SendMessageA(b, BM_SETSTATE, 1, 0);
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), 1);
    Mouse(b, WM_LBUTTONDOWN, 5, 5);
    Mouse(b, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(CommandsFrom(IDC_BULLET), 0) << "a highlighted button ignores the mouse";
    SendMessageA(b, BM_SETSTATE, 0, 0);
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), 0);
    // The focus value is what the focus messages carry: the other window.
    SetFocus(Item(IDC_ALERT));
    SetFocus(b);
    EXPECT_EQ(MyControlMgr::GetWindowObject(b)->focus,
              static_cast<int>(reinterpret_cast<INT_PTR>(Item(IDC_ALERT))));
    EXPECT_EQ(MyControlMgr::GetWindowObject(Item(IDC_ALERT))->focus,
              static_cast<int>(reinterpret_cast<INT_PTR>(b)));
}

TEST_F(Buttons, PressedFrameIsDrawnAndTheBackgroundComesBack) {
    HWND b = Item(IDC_ALERT);
    Capture up = CaptureClient(b);
    Mouse(b, WM_LBUTTONDOWN, 10, 10);
    Capture down = CaptureClient(b);
    Mouse(b, WM_MOUSEMOVE, -30, 10);
    Capture outside = CaptureClient(b);
    Mouse(b, WM_LBUTTONUP, -30, 10);
    EXPECT_NE(up.pixels, down.pixels) << "frame 1 while pressed";
    EXPECT_EQ(up.pixels, outside.pixels) << "dragged out shows frame 0 over the same background";
    EXPECT_EQ(up.pixels, CaptureClient(b).pixels);
}

TEST_F(Buttons, ShadowButtonSinksWithAnimationAndShowsTheDarkTexture) {
    HWND b = Item(IDOK);
    Capture up = CaptureClient(b);
    DWORD t0 = GetTickCount();
    Mouse(b, WM_LBUTTONDOWN, 20, 10);
    DWORD pressTime = GetTickCount() - t0;
    EXPECT_GE(pressTime, 4 * 60u - 20) << "four steps of 60 ms";
    auto* button = dynamic_cast<MyShadowButtonCtl*>(MyControlMgr::GetWindowObject(b));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->depth, 2);
    Capture down = CaptureClient(b);
    EXPECT_NE(up.pixels, down.pixels);
    // The face moved by 6 towards its shadow: its top-left corner lands at (6, 6).
    EXPECT_EQ(Hex(down.at(6 + 20, 6 + 16)), Hex(up.at(20, 16)));

    t0 = GetTickCount();
    Mouse(b, WM_LBUTTONUP, 20, 10);
    EXPECT_LT(GetTickCount() - t0, 150u) << "a completed click jumps straight back";
    EXPECT_EQ(button->depth, 8);
    EXPECT_EQ(CommandsFrom(IDOK), 1);
    EXPECT_EQ(up.pixels, CaptureClient(b).pixels);

    // Right of the face and below its top, inside the shadow: the dialog's
    // dark texture at this control's offset.
    DIBTex* tex = DlgTexture(dialog);
    ASSERT_NE(tex, nullptr);
    POINT off;
    DIBTex::ControlOffset(b, &off);
    Capture dark = CaptureBitmap(tex->bitmaps[DIBTex::kShadow]);
    const int x = 54 + 4, y = 20;
    EXPECT_EQ(Hex(up.at(x, y)), Hex(dark.at((off.x + x) % tex->width, (off.y + y) % tex->height)));
}

TEST_F(Buttons, ShadowButtonReleasedOutsideSendsNothing) {
    HWND b = Item(IDCANCEL);
    Mouse(b, WM_LBUTTONDOWN, 20, 8);
    DWORD t0 = GetTickCount();
    Mouse(b, WM_MOUSEMOVE, 300, 8);
    EXPECT_GE(GetTickCount() - t0, 3 * 60u - 20) << "leaving animates the release";
    Mouse(b, WM_LBUTTONUP, 300, 8);
    EXPECT_EQ(CommandsFrom(IDCANCEL), 0);
}

TEST_F(Buttons, RealMouseClickReachesTheDialog) {
    HWND b = Item(IDC_BULLET);
    RECT r;
    GetWindowRect(b, &r);
    int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    SetForegroundWindow(dialog);
    MouseTo(x, y);
    Pump(50);
    MouseButton(true);
    Pump(100);
    MouseButton(false);
    Pump(200);
    EXPECT_EQ(CommandsFrom(IDC_BULLET), 1);

    // Pressed, dragged off the dialog and released there: the button holds
    // the mouse, sees the release and comes back up without a command.
    MouseButton(true);
    Pump(100);
    MouseTo(2, 2);
    Pump(100);
    MouseButton(false);
    Pump(200);
    EXPECT_EQ(CommandsFrom(IDC_BULLET), 1);
    EXPECT_EQ(dynamic_cast<MyButtonCtl*>(MyControlMgr::GetWindowObject(b))->state, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    MouseTo(0, 0);
}

}  // namespace
