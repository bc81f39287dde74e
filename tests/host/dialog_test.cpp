// lumora apply without --repeat: the test plug-in's dialog (testplug's
// "dialog" mode) opens in a real window owned by the host's main window. The
// tests read its preview off the screen and end it with OK through a message
// or Cancel through the mouse, as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <vector>

#include "tests/host/lumora_fixture.h"
#include "tests/support/pixels.h"
#include "tests/support/user.h"

namespace {

constexpr char kDialogTitle[] = "Host Test Dialog";

// What the test plug-in's dialog is given: the filter area 5,7,97,140 of a
// 150 x 100 image reduced to fit its 64 x 48 preview, factor 3.
constexpr int kFactor = 3;
constexpr int kSampleTop = 5 / kFactor, kSampleLeft = 7 / kFactor;
constexpr int kSampleWidth = 140 / kFactor - kSampleLeft, kSampleHeight = 97 / kFactor - kSampleTop;

class LumoraDialog : public Lumora {
protected:
    void SetUp() override {
        Lumora::SetUp();
        image_ = Pattern(150, 100, false);
        in_ = Save(image_, "in.png");
        out_ = dir_.file("out.png");
    }

    std::vector<std::string> Args(std::vector<std::string> extra = {}) {
        std::vector<std::string> a = {
            "apply", "--plugins", plugins_, "--filter",   "host test invert",
            in_,     out_,        "--area", "7,5,140,97", "--quiet"};
        a.insert(a.end(), extra.begin(), extra.end());
        return a;
    }
    Environment Env(const std::string& mode = "dialog") {
        return {{"LUMORA_TEST_MODE", mode}, {"LUMORA_TEST_LOG", log_}};
    }

    // The dialog, once it is shown and has drawn its preview; null when it
    // never comes.
    HWND WaitForDialog(const LumoraChild& child) {
        HWND found = nullptr;
        WaitUntil(
            [&] {
                HWND dialog = FindWindowA("#32770", kDialogTitle);
                if (dialog && IsWindowVisible(dialog) &&
                    Log().find("dialog paint display=0 at ") != std::string::npos)
                    found = dialog;
                return found || !child.running();
            },
            30000, 50);
        return found;
    }

    // Where the last paint put the preview, in screen coordinates.
    POINT PreviewOrigin() {
        std::string log = Log();
        size_t at = log.rfind("dialog paint display=0 at ");
        POINT p{-1, -1};
        if (at != std::string::npos)
            std::sscanf(log.c_str() + at, "dialog paint display=0 at %ld,%ld", &p.x, &p.y);
        return p;
    }

    // The preview on the screen, pixel for pixel (the first five wrong ones
    // are named), once it shows `expected` or as it last showed after two
    // seconds: the plug-in's drawing reaches the screen a little after its
    // paint returns.
    void ExpectPreview(const std::vector<COLORREF>& expected) {
        const POINT at = PreviewOrigin();
        Capture shown;
        WaitUntil(
            [&] {
                shown = CaptureScreen({at.x, at.y, at.x + kSampleWidth, at.y + kSampleHeight});
                return shown.pixels == expected;
            },
            2000, 50);
        int wrong = 0;
        for (size_t i = 0; i < expected.size(); ++i)
            if (shown.pixels[i] != expected[i] && wrong++ < 5)
                ADD_FAILURE() << "preview pixel " << i % kSampleWidth << "," << i / kSampleWidth
                              << ": " << Hex(shown.pixels[i]) << " instead of " << Hex(expected[i]);
        EXPECT_EQ(wrong, 0);
    }

    Image image_;
    std::string in_, out_;
};

TEST_F(LumoraDialog, OkAppliesTheFilterAfterTheDialogShowedTheSample) {
    LumoraChild child(Args(), Env());
    HWND dialog = WaitForDialog(child);
    ASSERT_NE(dialog, nullptr) << Log();
    std::string log = Log();
    EXPECT_NE(log.find("dialog owner=host"), std::string::npos) << log;
    EXPECT_NE(log.find("dialog advance=0 factor=3 sample=1,2,32,46"), std::string::npos) << log;

    // The preview on the screen: the reduced sample, inverted, one source
    // pixel (the top-left one) of every 3 x 3 block.
    std::vector<COLORREF> expected(size_t(kSampleWidth) * kSampleHeight);
    for (int y = 0; y < kSampleHeight; ++y)
        for (int x = 0; x < kSampleWidth; ++x) {
            const uint8_t* p =
                image_.pixel((kSampleLeft + x) * kFactor, (kSampleTop + y) * kFactor);
            expected[size_t(y) * kSampleWidth + x] = RGB(255 - p[0], 255 - p[1], 255 - p[2]);
        }
    ExpectPreview(expected);

    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    LumoraRun r = child.wait();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Log().find("dialog ended with OK"), std::string::npos);
    Image res = Load(out_);
    for (int32_t y = 0; y < 100; y += 7)
        for (int32_t x = 0; x < 150; x += 7) {
            bool inside = x >= 7 && x < 140 && y >= 5 && y < 97;
            EXPECT_TRUE(inside ? Inverted(image_, res, x, y, 3) : Same(image_, res, x, y, 3))
                << x << "," << y;
        }
}

TEST_F(LumoraDialog, ATransparentSampleIsShownOverTheCheckerboard) {
    image_ = Pattern(150, 100, true);
    in_ = Save(image_, "alpha.png");
    LumoraChild child(Args(), Env());
    HWND dialog = WaitForDialog(child);
    ASSERT_NE(dialog, nullptr) << Log();
    std::vector<COLORREF> expected(size_t(kSampleWidth) * kSampleHeight);
    for (int y = 0; y < kSampleHeight; ++y)
        for (int x = 0; x < kSampleWidth; ++x) {
            const uint8_t* p =
                image_.pixel((kSampleLeft + x) * kFactor, (kSampleTop + y) * kFactor);
            // Every plane inverted, the alpha plane too; squares of 8 from
            // the preview's corner, light first.
            uint32_t m = 255 - p[3], bg = ((y / 8 + x / 8) % 2) ? 204 : 255, e[3];
            for (int c = 0; c < 3; ++c) e[c] = ((255 - p[c]) * m + bg * (255 - m) + 127) / 255;
            expected[size_t(y) * kSampleWidth + x] = RGB(e[0], e[1], e[2]);
        }
    ExpectPreview(expected);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(child.wait().status, 1);
    ExpectNoOutput(out_);
}

TEST_F(LumoraDialog, CancelExitsOneAndWritesNothing) {
    LumoraChild child(Args(), Env());
    HWND dialog = WaitForDialog(child);
    ASSERT_NE(dialog, nullptr) << Log();
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    ASSERT_NE(cancel, nullptr);
    // As a user would: the mouse, through the input queue.
    for (int attempt = 0; attempt < 3 && child.running(); ++attempt) {
        ClickWindow(cancel);
        WaitUntil([&] { return !child.running(); }, 2000, 50);
    }
    LumoraRun r = child.wait();
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("cancelled"), std::string::npos) << r.err;
    ExpectNoOutput(out_);
    std::string log = Log();
    EXPECT_NE(log.find("dialog ended with Cancel"), std::string::npos) << log;
    EXPECT_EQ(Count(log, "selector 4 "), 0) << log;  // nothing was filtered
}

TEST_F(LumoraDialog, ARefusedSampleEndsTheDialogAsCancelled) {
    LumoraRun r = RunLumora(Args(), Env("dialog,badrate"));
    EXPECT_EQ(r.status, 1) << r.err;
    ExpectNoOutput(out_);
    EXPECT_NE(Log().find("dialog advance=-1"), std::string::npos) << Log();
}

TEST_F(LumoraDialog, RepeatShowsNoDialog) {
    LumoraRun r = RunLumora(Args({"--repeat"}), Env());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Log().find("dialog"), std::string::npos) << Log();
    EXPECT_TRUE(Inverted(image_, Load(out_), 50, 50, 3));
}

TEST_F(LumoraDialog, WithoutADisplayItSaysSoInOneLine) {
    // A window station of our own that is not interactive: what a process
    // without a display gets.
    HWINSTA station = CreateWindowStationA("LumoraNoDisplay", 0, WINSTA_ALL_ACCESS, nullptr);
    ASSERT_NE(station, nullptr);
    const std::string desktop = "LumoraNoDisplay\\Default";
    {
        LumoraChild child(Args(), Env(), desktop);
        LumoraRun r = child.wait();
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_EQ(r.err.rfind("lumora: no display for the filter's dialog", 0), 0u) << r.err;
        EXPECT_EQ(Count(r.err, "\n"), 1) << r.err;
        ExpectNoOutput(out_);
        EXPECT_EQ(Log(), "");  // the plug-in was never called
    }
    {
        LumoraChild child({"about", "--plugins", plugins_, "--filter", "LumoraTest"}, Env(),
                          desktop);
        LumoraRun r = child.wait();
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find("no display for the About box"), std::string::npos) << r.err;
    }
    {
        // --repeat shows no dialog and needs no display.
        LumoraChild child(Args({"--repeat"}), Env(), desktop);
        LumoraRun r = child.wait();
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(FileExists(out_));
    }
    CloseWindowStation(station);
}

}  // namespace
