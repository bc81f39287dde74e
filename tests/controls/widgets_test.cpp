// Labels, text blocks, check boxes and the progress graph.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "controls/controls.h"
#include "tests/controls/environment.h"

namespace {

template <class T>
T* ObjectOf(HWND w) {
    return dynamic_cast<T*>(MyControlMgr::GetWindowObject(w));
}

// A parent for controls created with exact pixel sizes.
struct Host {
    HWND window = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 300, 300, 260, 80, nullptr,
                                nullptr, TestInstance(), nullptr);
    ~Host() { DestroyWindow(window); }
    HWND Make(const char* cls, const char* text, int w = 204, int h = 30) {
        return CreateWindowA(cls, text, WS_CHILD | WS_VISIBLE, 10, 10, w, h, window,
                             reinterpret_cast<HMENU>(77), TestInstance(), nullptr);
    }
};

TEST(Label, TemplateTextSetsOutlineAlignmentAndLabel) {
    const struct {
        const char *text, *label;
        int outline, right;
    } rows[] = {{"Plain", "Plain", 0, 0},  {"1,Outlined", "Outlined", 1, 0},
                {"*Right", "Right", 0, 1}, {"0,*Both", "Both", 0, 1},
                {"1,*R", "R", 1, 1},       {"", "", 0, 0}};
    Host host;
    for (const auto& row : rows) {
        HWND w = host.Make("ObsidiaText", row.text);
        auto* label = ObjectOf<MyTextCtl>(w);
        ASSERT_NE(label, nullptr) << row.text;
        EXPECT_EQ(TextOf(w), row.label) << row.text;
        EXPECT_EQ(label->outline, row.outline) << row.text;
        EXPECT_EQ(label->rightAligned, row.right) << row.text;
        EXPECT_EQ(label->creating, 0);
        SetWindowTextA(w, "*later,1");
        EXPECT_EQ(TextOf(w), "*later,1") << "after creation the text is stored as it is";
        DestroyWindow(w);
    }
}

// Columns and rows holding pixels of colour `c`: {left, right, top, bottom}, or left = -1.
RECT InkOf(const Capture& cap, COLORREF c) {
    RECT r = {-1, -1, -1, -1};
    for (int y = 0; y < cap.height; y++)
        for (int x = 0; x < cap.width; x++) {
            if (cap.at(x, y) != c) continue;
            if (r.left < 0 || x < r.left) r.left = x;
            if (r.top < 0) r.top = y;
            r.right = std::max<int>(r.right, x);
            r.bottom = y;
        }
    return r;
}

TEST(Label, DrawsAlignedRedrawsNewTextAndOutlinesOnEverySide) {
    Host host;
    HWND right = host.Make("ObsidiaText", "*Right", 200, 20);
    Pump(100);
    Capture before = CaptureClient(right);
    RECT ink = InkOf(before, RGB(0, 0, 0));
    EXPECT_GE(ink.right, 200 - 4) << "right-aligned text ends at the right edge";
    EXPECT_GT(ink.left, 100);
    SetWindowTextA(right, "Other words");
    Pump(100);
    EXPECT_NE(CaptureClient(right).pixels, before.pixels) << "a new text is drawn at once";

    HWND outlined = host.Make("ObsidiaText", "1, Il", 60, 20);
    Pump(100);
    Capture cap = CaptureClient(outlined);
    ink = InkOf(cap, RGB(0, 0, 0));
    ASSERT_GE(ink.left, 1);
    auto white = [&](int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++) n += cap.at(x, y) == RGB(255, 255, 255);
        return n;
    };
    EXPECT_GT(white(ink.left - 1, ink.left - 1, ink.top, ink.bottom), 0) << "outline left";
    EXPECT_GT(white(ink.right + 1, ink.right + 1, ink.top, ink.bottom), 0) << "outline right";
    EXPECT_GT(white(ink.left, ink.right, ink.top - 1, ink.top - 1), 0) << "outline above";
    EXPECT_GT(white(ink.left, ink.right, ink.bottom + 1, ink.bottom + 1), 0) << "outline below";
}

TEST(TextBlock, KeepsItsOwnBufferWithLimits) {
    Host host;
    HWND w = host.Make("ObsidiaMText", "*" FOLDER_STRING, 200, 60);
    auto* block = ObjectOf<MyMTextCtl>(w);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->centred, 0);
    const std::string s5700 = "Pick the folder that receives the filters.";
    EXPECT_EQ(TextOf(w), s5700);

    std::string long400(400, 'x');
    for (int i = 0; i < 400; i++) long400[i] = static_cast<char>('a' + i % 26);
    EXPECT_EQ(SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(long400.c_str())), 1);
    char buf[512];
    EXPECT_EQ(SendMessageA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 299);
    EXPECT_EQ(std::string(buf), long400.substr(0, 299));
    EXPECT_EQ(GetWindowTextLengthA(w), 299) << "the length agrees with the text";

    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(SendMessageA(w, WM_GETTEXT, 10, reinterpret_cast<LPARAM>(buf)), 9);
    EXPECT_EQ(std::string(buf), long400.substr(0, 9));
    EXPECT_EQ(buf[10], '#');
    EXPECT_EQ(SendMessageA(w, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buf)), 0);
    EXPECT_EQ(buf[0], 'a') << "a zero-sized buffer is left alone";

    char own[512] = {};
    DefWindowProcA(w, WM_GETTEXT, sizeof own, reinterpret_cast<LPARAM>(own));
    EXPECT_EQ(std::string(own), s5700) << "WM_SETTEXT never reached the default procedure";

    SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(FOLDER_STRING));
    SendMessageA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    EXPECT_STREQ(buf, FOLDER_STRING) << "the string syntax applies to the template text only";
}

// Leftmost column that is not the light grey background.
int LeftmostInk(HWND w) {
    Capture cap = CaptureClient(w);
    for (int x = 0; x < cap.width; x++)
        for (int y = 0; y < cap.height; y++)
            if (cap.at(x, y) != RGB(192, 192, 192)) return x;
    return -1;
}

TEST(TextBlock, StarSelectsLeftAlignmentOtherwiseCentred) {
    Host host;
    HWND left = host.Make("ObsidiaMText", "*" FOLDER_STRING, 240, 40);
    Pump(100);
    int leftInk = LeftmostInk(left);
    DestroyWindow(left);
    HWND centred = host.Make("ObsidiaMText", FOLDER_STRING, 240, 40);
    Pump(100);
    EXPECT_EQ(ObjectOf<MyMTextCtl>(centred)->centred, 1);
    int centredInk = LeftmostInk(centred);
    ASSERT_GE(leftInk, 0) << "text was drawn";
    EXPECT_LT(leftInk, 4);
    EXPECT_GT(centredInk, leftInk + 8);
}

class CheckBoxes : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = OpenDialog(IDD_ALLCTL);
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override { DestroyWindow(dialog); }
    void Click(HWND w) { SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5)); }
    // Red pixels of the tick inside the box area.
    int TickPixels(HWND w) {
        Capture cap = CaptureClient(w);
        int n = 0;
        for (int y = 0; y < cap.height; y++)
            for (int x = 0; x < 34 && x < cap.width; x++) n += cap.at(x, y) == RGB(200, 20, 20);
        return n;
    }
    HWND dialog = nullptr;
};

TEST_F(CheckBoxes, UserMessagesSetQuietlyAndReturnThePreviousState) {
    HWND box = GetDlgItem(dialog, IDC_PLAIN_BOX);
    EXPECT_EQ(SendMessageA(box, CheckBoxGetState, 0, 0), 0);
    EXPECT_EQ(SendMessageA(box, CheckBoxSetState, 1, 0), 0);
    EXPECT_EQ(SendMessageA(box, CheckBoxGetState, 0, 0), 1);
    EXPECT_GT(TickPixels(box), 0) << "checked shows the tick";
    EXPECT_EQ(SendMessageA(box, CheckBoxSetState, 0, 0), 1);
    EXPECT_EQ(SendMessageA(box, CheckBoxGetState, 0, 0), 0);
    EXPECT_EQ(TickPixels(box), 0);
    EXPECT_TRUE(gCommands.empty()) << "CheckBoxSetState never notifies";
}

TEST_F(CheckBoxes, ClicksToggleNotifyEveryTimeAndAnimateOnlyWhenChecking) {
    HWND box = GetDlgItem(dialog, IDC_OUTLINED_BOX);
    DWORD t0 = GetTickCount();
    Click(box);
    DWORD checking = GetTickCount() - t0;
    EXPECT_EQ(SendMessageA(box, CheckBoxGetState, 0, 0), 1);
    EXPECT_GE(checking, 4 * 90u - 20) << "frames 1-5 with 90 ms between them";
    EXPECT_EQ(ObjectOf<MyCheckBoxCtl>(box)->frame, 5);

    t0 = GetTickCount();
    Click(box);
    EXPECT_LT(GetTickCount() - t0, 150u) << "unchecking does not animate";
    EXPECT_EQ(SendMessageA(box, CheckBoxGetState, 0, 0), 0);
    EXPECT_EQ(ObjectOf<MyCheckBoxCtl>(box)->frame, 0);

    ASSERT_EQ(gCommands.size(), 2u);
    for (const Command& c : gCommands) {
        EXPECT_EQ(c.wParam, static_cast<WPARAM>(IDC_OUTLINED_BOX)) << "id with notification code 0";
        EXPECT_EQ(c.lParam, 0);
    }
    SendMessageA(box, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 5));
    EXPECT_EQ(SendMessageA(box, CheckBoxGetState, 0, 0), 0) << "double clicks are not handled";
    EXPECT_EQ(gCommands.size(), 2u);
}

TEST_F(CheckBoxes, BoxAndLabelKeepTheirPlacesAndTheTickStaysInTheBox) {
    HWND box = GetDlgItem(dialog, IDC_PLAIN_BOX);
    Capture off = CaptureClient(box);
    const int m = off.height / 2;
    const struct {
        int x, y;
        COLORREF c;
    } probes[] = {{7, m, RGB(128, 128, 128)},        {8, m, RGB(0, 0, 0)},
                  {19, m, RGB(255, 255, 255)},       {12, m - 6, RGB(128, 128, 128)},
                  {12, m - 5, RGB(0, 0, 0)},         {12, m + 6, RGB(255, 255, 255)},
                  {12, m, GetSysColor(COLOR_WINDOW)}};
    for (const auto& p : probes)
        EXPECT_EQ(Hex(off.at(p.x, p.y)), Hex(p.c)) << "box pixel " << p.x << "," << p.y;
    // The label " Plain box" starts at 22: its first letter follows one space.
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, ControlMgr->GetFont());
    SIZE space;
    GetTextExtentPoint32A(dc, " ", 1, &space);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    int first = -1;
    for (int x = 20; x < off.width && first < 0; x++)
        for (int y = 0; y < off.height; y++)
            if (off.at(x, y) == RGB(0, 0, 0)) first = x;
    EXPECT_NEAR(first, 22 + space.cx, 1);

    SendMessageA(box, CheckBoxSetState, 1, 0);
    Capture on = CaptureClient(box);
    // The tick's strokes are black and red; the label, drawn again over itself
    // without erasing, only darkens its smoothed edges.
    int outside = 0, inside = 0;
    for (int y = 0; y < on.height; y++)
        for (int x = 0; x < on.width; x++) {
            COLORREF c = on.at(x, y);
            bool tick = c == RGB(200, 20, 20) || (c == RGB(0, 0, 0) && off.at(x, y) != c);
            if (tick) (x >= 8 && x <= 18 && y >= m - 5 && y <= m + 5 ? inside : outside)++;
        }
    EXPECT_GT(inside, 10) << "the tick is drawn";
    EXPECT_EQ(outside, 0) << "the tick stays inside its box, clear of the label";
}

TEST_F(CheckBoxes, LabelSyntaxSetsTheOutlineFlag) {
    EXPECT_EQ(ObjectOf<MyCheckBoxCtl>(GetDlgItem(dialog, IDC_OUTLINED_BOX))->outline, 1);
    EXPECT_EQ(ItemText(dialog, IDC_OUTLINED_BOX), " Outlined box");
    EXPECT_EQ(ObjectOf<MyCheckBoxCtl>(GetDlgItem(dialog, IDC_PLAIN_BOX))->outline, 0);
    EXPECT_EQ(ItemText(dialog, IDC_PLAIN_BOX), " Plain box");
}

TEST(Graph, PositionIsClampedToTheRange) {
    Host host;
    HWND g = host.Make("ObsidiaGraph", "Title");
    EXPECT_EQ(SendMessageA(g, GraphGetPos, 0, 0), 50) << "initial position";
    const struct {
        WORD lo, hi;
        int set, stored;
    } rows[] = {{0, 100, 37, 37},          {0, 100, 150, 100},        {0, 100, -20, 0},
                {10, 60000, 50000, 50000}, {10, 60000, 70000, 60000}, {10, 60000, 3, 10}};
    for (const auto& row : rows) {
        EXPECT_EQ(SendMessageA(g, GraphSetRange, 0, MAKELPARAM(row.lo, row.hi)), 1);
        EXPECT_EQ(SendMessageA(g, GraphSetPos, 0, row.set), 1);
        EXPECT_EQ(SendMessageA(g, GraphGetPos, 0, 0), row.stored)
            << row.set << " in " << row.lo << ".." << row.hi;
    }
}

TEST(Graph, BarWidthFollowsThePositionAndTheLabelIsInverted) {
    Host host;
    const int w = 204, h = 30;
    HWND g = host.Make("ObsidiaGraph", "Title", w, h);
    // The stock dark grey brush is (64, 64, 64).
    const COLORREF client = GetSysColor(COLOR_WINDOW), bar = RGB(64, 64, 64);
    for (int pos : {0, 37, 50, 100}) {
        SendMessageA(g, GraphSetRange, 0, MAKELPARAM(0, 100));
        SendMessageA(g, GraphSetPos, 1, pos);
        Capture cap = CaptureClient(g);
        int end = 2 + pos * (w - 4) / 100;
        int wrong = 0;
        for (int x = 2; x < w - 2; x++) wrong += cap.at(x, 3) != (x < end ? bar : client);
        EXPECT_EQ(wrong, 0) << "row above the label at " << pos << "%";
    }
    // At 50% the label straddles the end of the bar: inverted grey on the bar,
    // inverted window colour beyond it, and nothing else in between.
    SendMessageA(g, GraphSetPos, 1, 50);
    Capture cap = CaptureClient(g);
    const COLORREF onBar = bar ^ 0xFFFFFF, onEmpty = client ^ 0xFFFFFF;
    int nOnBar = 0, nOnEmpty = 0, other = 0;
    for (int y = 2; y < h - 2; y++)
        for (int x = 2; x < w - 2; x++) {
            COLORREF c = cap.at(x, y);
            nOnBar += c == onBar;
            nOnEmpty += c == onEmpty;
            other += c != onBar && c != onEmpty && c != bar && c != client;
        }
    EXPECT_GT(nOnBar, 5);
    EXPECT_GT(nOnEmpty, 5);
    EXPECT_EQ(other, 0);
}

TEST(Graph, EmptyRangeShowsAnEmptyBar) {
    Host host;
    HWND g = host.Make("ObsidiaGraph", "Title");
    SendMessageA(g, GraphSetRange, 0, MAKELPARAM(5, 5));
    SendMessageA(g, GraphSetPos, 1, 5);
    EXPECT_EQ(ObjectOf<MyGraphCtl>(g)->PosToScreen(), 2);
    EXPECT_EQ(ObjectOf<MyGraphCtl>(g)->Percent(), 0);
    Capture cap = CaptureClient(g);
    for (int x = 2; x < cap.width - 2; x++) ASSERT_EQ(cap.at(x, 3), GetSysColor(COLOR_WINDOW)) << x;
}

// The whole dialog: every control gets the object of its class from the
// template, whatever the letter case of the class name.  The capture is kept
// as controls_dialog.bmp in the working folder.
TEST(AllControls, TemplateClassesGetTheirObjects) {
    HWND dialog = OpenDialog(IDD_ALLCTL);
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(ObjectOf<MyButtonCtl>(GetDlgItem(dialog, IDC_ALERT)), nullptr);
    EXPECT_NE(ObjectOf<MyButtonCtl>(GetDlgItem(dialog, IDC_BULLET)), nullptr)
        << "lower-case class name";
    EXPECT_NE(ObjectOf<MyMTextCtl>(GetDlgItem(dialog, IDC_LEFT_BLOCK)), nullptr);
    EXPECT_NE(ObjectOf<MyTextCtl>(GetDlgItem(dialog, IDC_RIGHT)), nullptr)
        << "upper-case class name";
    EXPECT_NE(ObjectOf<MyCheckBoxCtl>(GetDlgItem(dialog, IDC_OUTLINED_BOX)), nullptr);
    EXPECT_NE(ObjectOf<MyGraphCtl>(GetDlgItem(dialog, IDC_GRAPH)), nullptr);
    EXPECT_NE(ObjectOf<MyShadowButtonCtl>(GetDlgItem(dialog, IDOK)), nullptr);
    EXPECT_NE(DlgTexture(dialog), nullptr);
    // The frame: a sunken light grey panel over its client area less one pixel.
    HWND frame = FindWindowExA(dialog, nullptr, "ObsidiaFrame", nullptr);
    ASSERT_NE(frame, nullptr);
    Capture panel = CaptureClient(frame);
    const int w = panel.width, h = panel.height;
    EXPECT_EQ(Hex(panel.at(w / 2, 0)), Hex(RGB(128, 128, 128)));
    EXPECT_EQ(Hex(panel.at(w / 2, 1)), Hex(RGB(0, 0, 0)));
    EXPECT_EQ(Hex(panel.at(w - 1, h / 2)), Hex(RGB(255, 255, 255)));
    EXPECT_EQ(Hex(panel.at(w - 2, h / 2)), Hex(RGB(192, 192, 192)));
    EXPECT_EQ(Hex(panel.at(3, h - 4)), Hex(RGB(192, 192, 192)));
    SendDlgItemMessageA(dialog, IDC_OUTLINED_BOX, CheckBoxSetState, 1, 0);
    SendDlgItemMessageA(dialog, IDC_GRAPH, GraphSetPos, 1, 65);
    Pump(100);
    EXPECT_TRUE(CaptureWindow(dialog).SaveBmp("controls_dialog.bmp"));
    DestroyWindow(dialog);
}

}  // namespace
