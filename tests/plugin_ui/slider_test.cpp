// The Slider class on its own, in this program's windows: the operations as
// messages, the value grid of a 217-pixel track, its picture, a drag that
// loses the mouse capture half-way, the pause reports' timing and a drag
// with swapped mouse buttons.
#include <gtest/gtest.h>
#include <algorithm>
#include <thread>
#include <vector>
#include "plugin_ui/slider.h"
#include "tests/support/user.h"

namespace {

struct Received {
    int code, value;
    DWORD tick;
};
std::vector<Received> gReceived;
UINT gMessage;
bool gStealCapture;

LRESULT CALLBACK ParentProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == gMessage && gMessage) {
        gReceived.push_back({HIWORD(lp), LOWORD(lp), GetTickCount()});
        if (gStealCapture && HIWORD(lp) == SliderMoving) SetCapture(w);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

class SliderWindow : public ::testing::Test {
protected:
    void SetUp() override {
        HINSTANCE inst = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterSliderClass(inst, &gMessage));
        EXPECT_EQ(gMessage, RegisterWindowMessageA("LMSlCmd"));
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = inst;
        wc.lpszClassName = "SliderTestParent";
        RegisterClassA(&wc);
        parent = CreateWindowA("SliderTestParent", "Slider", WS_POPUP | WS_VISIBLE, 100, 100, 300,
                               60, nullptr, nullptr, inst, nullptr);
        // 217 pixels of track plus the 14-pixel thumb.
        slider = CreateWindowA("Slider", "", WS_CHILD | WS_VISIBLE, 20, 20, 231, 12, parent,
                               HMENU(77), inst, nullptr);
        ASSERT_NE(slider, nullptr);
        gReceived.clear();
        gStealCapture = false;
        Pump(200);
    }
    void TearDown() override {
        DestroyWindow(parent);
        UnregisterSliderClass(GetModuleHandleA(nullptr));
    }
    LRESULT Send(UINT m, WPARAM wp, LPARAM lp = 0) { return SendMessageA(slider, m, wp, lp); }
    HWND parent = nullptr, slider = nullptr;
};

TEST_F(SliderWindow, ValuesSnapToTheThumbsPixelPositions) {
    EXPECT_EQ(Send(SliderGetRangeMsg, 0), 0x00140000);  // 0..20 at creation
    Send(SliderSetRangeMsg, 0, MAKELPARAM(0, 255));
    EXPECT_EQ(Send(SliderGetRangeMsg, 0), 0x00FF0000);
    const struct {
        int set, stored;
    } rows[] = {{3, 4}, {10, 11}, {0, 0}, {255, 255}, {-5, 0}, {300, 255}, {128, 128}};
    for (const auto& row : rows) {
        Send(SliderSetValueMsg, WPARAM(row.set));
        EXPECT_EQ(Send(SliderGet, 0), row.stored) << row.set;
        const int pos = int(Send(SliderGet, 1));
        EXPECT_EQ(pos, ((row.stored < 0 ? 0 : row.stored) * 217 + 127) / 255 + 7) << row.set;
    }
}

TEST_F(SliderWindow, PaintsTrackOnTheTopRowAndTheThumbBelowIt) {
    Send(SliderSetRangeMsg, 0, MAKELPARAM(0, 255));
    Send(SliderSetValueMsg, 128);
    const int pos = int(Send(SliderGet, 1));
    Pump(200);
    HDC dc = GetDC(slider);
    const COLORREF black = RGB(0, 0, 0);
    EXPECT_EQ(GetPixel(dc, 7, 0), black);        // track from width / 2
    EXPECT_EQ(GetPixel(dc, 231 - 8, 0), black);  // to the end minus width / 2, exclusive
    EXPECT_NE(GetPixel(dc, 231 - 7, 0), black);
    EXPECT_EQ(GetPixel(dc, pos, 1), black);  // the tip on the baseline
    EXPECT_EQ(GetPixel(dc, pos, 8), black);  // the base, 7 below
    EXPECT_EQ(GetPixel(dc, pos - 7, 8), black);
    EXPECT_NE(GetPixel(dc, pos, 5), black);  // an outline, not a filled triangle
    EXPECT_NE(GetPixel(dc, 3, 6), black);
    ReleaseDC(slider, dc);
}

TEST_F(SliderWindow, ADragThatLosesTheCaptureEndsWithARelease) {
    Send(SliderSetRangeMsg, 0, MAKELPARAM(0, 255));
    gStealCapture = true;
    RECT r;
    GetWindowRect(slider, &r);
    const int x = r.left + 60, y = (r.top + r.bottom) / 2;
    // The drag loop runs in this thread; another hand works the mouse.
    std::thread hand([&] {
        MouseTo(x, y);
        MouseButton(true);
        Sleep(1500);
        MouseButton(false);
    });
    DWORD start = GetTickCount();
    Pump(800);  // the button is still down then
    const DWORD ended = GetTickCount() - start;
    hand.join();
    Pump(200);
    ASSERT_GE(gReceived.size(), 2u);
    EXPECT_EQ(gReceived.front().code, SliderMoving);
    EXPECT_EQ(gReceived.back().code, SliderReleased);
    EXPECT_EQ(gReceived.back().value, gReceived.front().value);
    EXPECT_LT(ended, 1500u);
    // The dragging flag is down again: the background is erased as usual.
    HDC dc = GetDC(slider);
    EXPECT_NE(SendMessageA(slider, WM_ERASEBKGND, WPARAM(dc), 0), 0);
    ReleaseDC(slider, dc);
    ReleaseCapture();
}

TEST_F(SliderWindow, SwappedButtonsDragWithTheRightAndPausesAreReportedEveryQuarterSecond) {
    Send(SliderSetRangeMsg, 0, MAKELPARAM(0, 255));
    struct Swapped {
        Swapped() { SwapMouseButton(TRUE); }
        ~Swapped() { SwapMouseButton(FALSE); }
    } swapped;
    RECT r;
    GetWindowRect(slider, &r);
    const int y = (r.top + r.bottom) / 2;
    MouseTo(r.left + 40, y);
    MouseButton(true, true);  // a left-handed user's primary button
    std::thread hand([&] {
        Sleep(200);
        MouseTo(r.left + 120, y);
        Sleep(2000);
        MouseButton(false, true);
    });
    // What the system sends the slider for the primary button.
    SendMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 5));
    hand.join();
    EXPECT_EQ(Send(SliderGet, 1), 120) << "the drag ended before the button was released";
    // Held at 120: reported more than 250 ms after the move, then again
    // after each further 250 ms, at least once no later than 290 ms.
    size_t moved = 0;
    for (size_t i = 0; i < gReceived.size(); ++i)
        if (gReceived[i].code == SliderMoving) moved = i;
    ASSERT_GE(gReceived.size(), moved + 6);
    EXPECT_EQ(gReceived[moved + 1].code, SliderHeld);
    EXPECT_GE(gReceived[moved + 1].tick - gReceived[moved].tick, 250u);
    DWORD shortest = ~0u;
    for (size_t i = moved + 2; i + 1 < gReceived.size(); ++i) {
        EXPECT_EQ(gReceived[i].code, SliderHeldRepeat) << i;
        shortest = std::min(shortest, gReceived[i].tick - gReceived[i - 1].tick);
    }
    EXPECT_GE(shortest, 249u);
    EXPECT_LE(shortest, 290u);
    EXPECT_EQ(gReceived.back().code, SliderReleased);
    EXPECT_EQ(gReceived.back().value, Send(SliderGet, 0));
}

}  // namespace
