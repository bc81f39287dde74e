// The control manager, the registrars and the shared window procedure.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "controls/controls.h"
#include "tests/controls/environment.h"

namespace {

MyControlCtl* AllocA(const char*) { return nullptr; }
MyControlCtl* AllocB(const char*) { return nullptr; }
MyControlCtl* AllocC(const char*) { return nullptr; }

TEST(AllocatorRegistry, GrowsByOneAndReusesEmptiedSlots) {
    MyControlMgr mgr;
    EXPECT_EQ(mgr.SlotCount(), 0);
    EXPECT_EQ(mgr.AddAllocator(AllocA), 1);
    EXPECT_EQ(mgr.AddAllocator(AllocB), 1);
    EXPECT_EQ(mgr.SlotCount(), 2);

    EXPECT_EQ(mgr.DelAllocator(AllocA), 1);
    EXPECT_EQ(mgr.Slot(0), nullptr);
    EXPECT_EQ(mgr.DelAllocator(AllocA), 0) << "a second delete finds nothing";

    EXPECT_EQ(mgr.AddAllocator(AllocC), 1);
    EXPECT_EQ(mgr.SlotCount(), 2) << "the emptied slot is reused, the array does not grow";
    EXPECT_EQ(mgr.Slot(0), AllocC);
    EXPECT_EQ(mgr.Slot(1), AllocB);

    EXPECT_EQ(mgr.AddAllocator(AllocA), 1);
    EXPECT_EQ(mgr.SlotCount(), 3);
    EXPECT_EQ(mgr.Slot(2), AllocA);
}

TEST(SharedObjects, AreCreatedOnceAndKept) {
    MyControlMgr mgr;
    HPEN light = mgr.GetLightGreyPen();
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(mgr.GetLightGreyPen(), light);
    LOGPEN lp = {};
    GetObjectA(light, sizeof lp, &lp);
    EXPECT_EQ(lp.lopnColor, RGB(192, 192, 192));
    GetObjectA(mgr.GetDarkGreyPen(), sizeof lp, &lp);
    EXPECT_EQ(lp.lopnColor, RGB(128, 128, 128));
    GetObjectA(mgr.GetClientPen(), sizeof lp, &lp);
    EXPECT_EQ(lp.lopnColor, GetSysColor(COLOR_WINDOW));
    LOGBRUSH lb = {};
    GetObjectA(mgr.GetClientBrush(), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_WINDOW));
    HFONT font = mgr.GetFont();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(mgr.GetFont(), font);
    LOGFONTA lf = {};
    GetObjectA(font, sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -10);
    EXPECT_STREQ(lf.lfFaceName, "Helv");
}

struct PickCase {
    const char* text;
    int fieldSize;
    const char* field;
    const char* rest;
};

TEST(PickOff, CutsOneFieldAndStepsPastTheDelimiter) {
    const PickCase cases[] = {
        {"1,Label", 64, "1", "Label"},
        {"No comma", 64, "No comma", ""},
        {",Leading", 64, "", "Leading"},
        {"a,b,c", 64, "a", "b,c"},
        {"", 64, "", ""},
        {"abcdefgh,next", 5, "abc", "next"},  // at most size - 2 characters kept
        {"abcdefgh", 5, "abc", ""},
        {"abc,next", 2, "", "next"},
    };
    for (const PickCase& c : cases) {
        char field[80];
        std::memset(field, 'x', sizeof field);
        const char* rest = MyControlCtl::pickOff(c.text, ',', field, c.fieldSize);
        EXPECT_STREQ(field, c.field) << c.text;
        EXPECT_STREQ(rest, c.rest) << c.text;
        EXPECT_EQ(field[c.fieldSize], 'x') << "wrote past the field for " << c.text;
    }
    const char* text = "No comma";
    char field[64];
    EXPECT_EQ(MyControlCtl::pickOff(text, ',', field, sizeof field), text + std::strlen(text))
        << "without a delimiter the result is the terminating zero";
}

TEST(Allocators, MatchTheirClassNameWithoutRegardToCase) {
    struct Row {
        ControlAllocator allocator;
        const char* name;
    } rows[] = {
        {NewMyButton, "ObsidiaMyButt"}, {NewMyTexDlg, "ObsidiaTexDlg"},
        {NewMyFrame, "ObsidiaFrame"},   {NewMyShadowButton, "ObsidiaShadButt"},
        {NewMyText, "ObsidiaText"},     {NewMyMText, "ObsidiaMText"},
        {NewMyGraph, "ObsidiaGraph"},   {NewMyCheckBox, "ObsidiaCheckBox"},
    };
    for (const Row& row : rows) {
        std::string lower = row.name, upper = row.name;
        for (char& ch : lower) ch = static_cast<char>(tolower(ch));
        for (char& ch : upper) ch = static_cast<char>(toupper(ch));
        for (const std::string& name : {std::string(row.name), lower, upper}) {
            MyControlCtl* object = row.allocator(name.c_str());
            EXPECT_NE(object, nullptr) << name;
            delete object;
        }
        for (const Row& other : rows) {
            if (other.allocator == row.allocator) continue;
            EXPECT_EQ(row.allocator(other.name), nullptr) << row.name << " accepted " << other.name;
        }
        std::string shorter(row.name, std::strlen(row.name) - 1);
        EXPECT_EQ(row.allocator(shorter.c_str()), nullptr) << shorter;
    }
}

TEST(Registrars, RegisterEveryClassWithItsStyleAndCursor) {
    struct Row {
        const char* name;
        LPCSTR cursor;
    } rows[] = {
        {"ObsidiaMyButt", IDC_ARROW},   {"ObsidiaTexDlg", IDC_ARROW},   {"ObsidiaFrame", IDC_ARROW},
        {"ObsidiaShadButt", IDC_ARROW}, {"ObsidiaText", IDC_ARROW},     {"ObsidiaMText", IDC_ARROW},
        {"ObsidiaGraph", IDC_WAIT},     {"ObsidiaCheckBox", IDC_ARROW},
    };
    for (const Row& row : rows) {
        WNDCLASSA wc = {};
        ASSERT_TRUE(GetClassInfoA(TestInstance(), row.name, &wc)) << row.name;
        EXPECT_EQ(wc.style, 0x400Bu) << row.name;
        EXPECT_EQ(wc.cbWndExtra, 4) << row.name;
        EXPECT_EQ(wc.cbClsExtra, 0) << row.name;
        EXPECT_EQ(wc.lpfnWndProc, MyControlWndProc) << row.name;
        EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, row.cursor)) << row.name;
        EXPECT_EQ(wc.hbrBackground, GetStockObject(LTGRAY_BRUSH)) << row.name;
    }
    EXPECT_EQ(ControlMgr->SlotCount(), 8);
}

// The library is stopped for this test and started again at its end.
TEST(Registrars, UseCountKeepsTheClassUntilTheLastTerminate) {
    ASSERT_EQ(Terminate_Controls(TestInstance()), 1);
    WNDCLASSA wc;
    EXPECT_FALSE(GetClassInfoA(TestInstance(), "ObsidiaGraph", &wc))
        << "stopping unregisters every class";
    EXPECT_EQ(ControlMgr, nullptr);

    ControlMgr = new MyControlMgr;
    {
        MyGraphClass graph;
        EXPECT_EQ(graph.Init(TestInstance(), nullptr), 1);
        EXPECT_EQ(graph.resInstance, TestInstance())
            << "resource instance defaults to the instance";
        EXPECT_EQ(graph.Init(TestInstance(), nullptr), 0)
            << "second registration of the same class fails";
        EXPECT_EQ(graph.useCount, 2);
        EXPECT_EQ(graph.Terminate(TestInstance()), 0);
        EXPECT_TRUE(GetClassInfoA(TestInstance(), "ObsidiaGraph", &wc));
        EXPECT_EQ(graph.Terminate(TestInstance()), 1);
        EXPECT_FALSE(GetClassInfoA(TestInstance(), "ObsidiaGraph", &wc));

        MyFrameClass frame;
        EXPECT_EQ(frame.Init(TestInstance(), nullptr), 1);
    }
    EXPECT_FALSE(GetClassInfoA(TestInstance(), "ObsidiaFrame", &wc))
        << "a registrar destroyed while in use unregisters its class";
    delete ControlMgr;
    ControlMgr = nullptr;

    ASSERT_EQ(Init_Controls(TestInstance()), 1);
    ASSERT_EQ(Init_Controls(TestInstance()), 1);
    ASSERT_EQ(Terminate_Controls(TestInstance()), 1);
    EXPECT_TRUE(GetClassInfoA(TestInstance(), "ObsidiaGraph", &wc))
        << "the count keeps the library running";
    EXPECT_NE(ControlMgr, nullptr);
}

TEST(Registrars, ATakenClassNameLeavesTheOthersAndStaysItsOwners) {
    ASSERT_EQ(Terminate_Controls(TestInstance()), 1);
    WNDCLASSA theirs = {};
    theirs.style = CS_GLOBALCLASS;
    theirs.lpfnWndProc = DefWindowProcA;
    theirs.hInstance = TestInstance();
    theirs.lpszClassName = "ObsidiaGraph";
    ASSERT_TRUE(RegisterClassA(&theirs));
    int started = Init_Controls(TestInstance());
    const bool running = ControlMgr != nullptr;
    if (!running) {  // leave the library running for the tests that follow
        UnregisterClassA("ObsidiaGraph", TestInstance());
        Init_Controls(TestInstance());
    }
    ASSERT_EQ(started, 1);
    ASSERT_TRUE(running);
    WNDCLASSA wc;
    EXPECT_TRUE(GetClassInfoA(TestInstance(), "ObsidiaCheckBox", &wc))
        << "the registrations that succeeded stay";
    EXPECT_EQ(ControlMgr->SlotCount(), 7);
    EXPECT_EQ(Terminate_Controls(TestInstance()), 1);
    EXPECT_FALSE(GetClassInfoA(TestInstance(), "ObsidiaCheckBox", &wc));
    EXPECT_TRUE(GetClassInfoA(TestInstance(), "ObsidiaGraph", &wc))
        << "someone else's class is never unregistered";
    UnregisterClassA("ObsidiaGraph", TestInstance());
    ASSERT_EQ(Init_Controls(TestInstance()), 1);
}

// A control that records what the window procedure hands it.
struct SpyLog {
    std::vector<UINT> messages;
    HWND created = nullptr;
    POINT lastPoint = {};
    int destroyed = 0;
};
SpyLog gSpy;

class SpyCtl : public MyControlCtl {
public:
    ~SpyCtl() override { gSpy.destroyed++; }
    int OnCreate(HWND window, CREATESTRUCTA* create) override {
        MyControlCtl::OnCreate(window, create);
        gSpy.created = window;
        return 0;  // a failed OnCreate still keeps the object bound
    }
    void OnPaint(PAINTSTRUCT*) override {}
    void OnMouseMove(UINT, POINT pt) override { gSpy.lastPoint = pt; }
    int OnMessage(UINT msg, WPARAM, LPARAM, LRESULT* result) override {
        gSpy.messages.push_back(msg);
        if (msg == WM_USER + 7) {
            *result = 1234;
            return 1;
        }
        return 0;
    }
};

MyControlCtl* NewSpy(const char* name) {
    return lstrcmpiA(name, "SpyControl") == 0 ? new SpyCtl : nullptr;
}

void RegisterProcClass(const char* name) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MyControlWndProc;
    wc.cbWndExtra = 4;
    wc.hInstance = TestInstance();
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

TEST(WindowProcedure, BindsTheObjectFromCreateToNcDestroy) {
    RegisterProcClass("SpyControl");
    ASSERT_EQ(ControlMgr->AddAllocator(NewSpy), 1);
    gSpy = SpyLog();
    HWND window = CreateWindowA("spycontrol", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                TestInstance(), nullptr);
    ASSERT_NE(window, nullptr) << "OnCreate's result does not stop the creation";
    EXPECT_EQ(gSpy.created, window);
    auto* spy = dynamic_cast<SpyCtl*>(MyControlMgr::GetWindowObject(window));
    ASSERT_NE(spy, nullptr);
    EXPECT_EQ(spy->enabled, 1);

    EXPECT_EQ(SendMessageA(window, WM_USER + 7, 0, 0), 1234)
        << "a handled message returns the stored result";
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(-5, -7));
    EXPECT_EQ(gSpy.lastPoint.x, -5) << "points are signed";
    EXPECT_EQ(gSpy.lastPoint.y, -7);

    EnableWindow(window, FALSE);
    EXPECT_EQ(spy->enabled, 0);
    EnableWindow(window, TRUE);
    EXPECT_EQ(spy->enabled, 1);

    DestroyWindow(window);
    EXPECT_EQ(gSpy.destroyed, 1);
    ASSERT_FALSE(gSpy.messages.empty());
    EXPECT_EQ(gSpy.messages.back(), static_cast<UINT>(WM_NCDESTROY))
        << "the object sees WM_NCDESTROY last";
    EXPECT_EQ(ControlMgr->DelAllocator(NewSpy), 1);
    UnregisterClassA("SpyControl", TestInstance());
}

TEST(WindowProcedure, AClassWithoutAllocatorBehavesLikeAPlainWindow) {
    RegisterProcClass("NobodysControl");
    HWND window = CreateWindowA("NobodysControl", "plain", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                TestInstance(), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(MyControlMgr::GetWindowObject(window), nullptr);
    char text[16] = {};
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "plain");
    DestroyWindow(window);
    UnregisterClassA("NobodysControl", TestInstance());
}

TEST(WindowProcedure, EraseReturningZeroLeavesTheBackgroundAlone) {
    HWND window = CreateWindowA("ObsidiaFrame", "", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr,
                                TestInstance(), nullptr);
    ASSERT_NE(window, nullptr);
    Surface s(20, 20);
    RECT all = {0, 0, 20, 20};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(s.dc, &all, red);
    DeleteObject(red);
    EXPECT_EQ(SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(s.dc), 0), 0);
    EXPECT_EQ(GetPixel(s.dc, 10, 10), RGB(255, 0, 0)) << "the class brush must not have been used";
    DestroyWindow(window);
}

TEST(Ctl3dBox, DrawsASunkenEdgeAndFillsTheInside) {
    Surface s(30, 30);
    // A background none of the lines has, so a line left out shows.
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    RECT all = {0, 0, 30, 30};
    FillRect(s.dc, &all, green);
    DeleteObject(green);
    SpyCtl box;
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    box.Ctl3dBox(s.dc, RECT{5, 5, 25, 25}, blue);
    struct {
        int x, y;
        COLORREF c;
        const char* what;
    } probes[] = {
        {10, 5, RGB(128, 128, 128), "outer top: dark grey"},
        {5, 10, RGB(128, 128, 128), "outer left: dark grey"},
        {10, 6, RGB(0, 0, 0), "inner top: black"},
        {6, 10, RGB(0, 0, 0), "inner left: black"},
        {10, 25, RGB(255, 255, 255), "outer bottom: white"},
        {25, 10, RGB(255, 255, 255), "outer right: white"},
        {10, 24, RGB(192, 192, 192), "inner bottom: light grey"},
        {24, 10, RGB(192, 192, 192), "inner right: light grey"},
        {15, 15, RGB(0, 0, 255), "inside: filled"},
        {7, 7, RGB(0, 0, 255), "fill starts at left+2"},
        {23, 23, RGB(0, 0, 255), "fill ends at right-2"},
    };
    for (const auto& p : probes) EXPECT_EQ(Hex(GetPixel(s.dc, p.x, p.y)), Hex(p.c)) << p.what;
    DeleteObject(blue);
}

}  // namespace
