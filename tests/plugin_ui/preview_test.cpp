// The preview: the reduced sample requested from the host, and the dialog's
// pixels showing the filter applied to it, centred and framed black.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <vector>
#include "plugin_ui/resource.h"
#include "plugin_ui/slider.h"
#include "tests/plugin_ui/dialog_host.h"
#include "tests/plugin_ui/editor_fixture.h"

namespace {

int Clamp(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// A keystroke that changes nothing (Ctrl+C) put in the queue just as the
// dialog takes the message `gKeyMessage` for `gKeyDialog`: a preview run
// started by that message is abandoned.
HWND gKeyDialog;
UINT gKeyMessage;
LRESULT CALLBACK PostKeyBefore(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && m->message == gKeyMessage && m->hwnd == gKeyDialog) {
        PostMessageA(GetDlgItem(gKeyDialog, IDC_FORMULA), WM_CHAR, 3, 1);
        gKeyDialog = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(EditorDialog, PreviewShowsTheFilteredSamplePixelForPixelCentredAndFramed) {
    FilterDefinition* def = host.Definition();
    std::strcpy(def->formula[0], "x*2");
    std::strcpy(def->formula[1], "g");
    std::strcpy(def->formula[2], "y+ctl(0)");
    def->sliderValue[0] = 10;
    const TestImage image = PatternImage(400, 300, 3);
    ASSERT_TRUE(Open(3, image.width, image.height));
    EXPECT_EQ(ItemText(dialog, IDC_VALUE_LABEL), "10");  // the definition's value, as it stands

    // The factor that fits the whole filter area into the placeholder.
    RECT ph;
    GetWindowRect(GetDlgItem(dialog, IDC_PREVIEW), &ph);
    const int w = ph.right - ph.left - 2, h = ph.bottom - ph.top - 2;
    const int f = std::max((image.width + w - 1) / w, (image.height + h - 1) / h);
    ASSERT_GT(f, 1);
    const int sw = image.width / f, sh = image.height / f;

    const std::vector<AdvanceCall> advances = host.AdvanceCalls();
    ASSERT_EQ(advances.size(), 1u);
    const AdvanceCall& a = advances[0];
    EXPECT_EQ(a.in.right, sw);
    EXPECT_EQ(a.in.bottom, sh);
    EXPECT_EQ(a.out.right, sw);
    EXPECT_EQ(a.out.bottom, sh);
    EXPECT_EQ(a.inputRate, f << 16);
    EXPECT_EQ(a.inputPadding, -1);
    EXPECT_EQ(a.outputPadding, -1);
    EXPECT_EQ(host.Record().inputPadding, -3);
    EXPECT_EQ(host.Record().outputPadding, -3);
    EXPECT_EQ(host.Record().inputRate, 65536);

    POINT origin = {0, 0};
    ClientToScreen(dialog, &origin);
    const int left = (ph.left + ph.right - sw) / 2 - origin.x;
    const int top = (ph.top + ph.bottom - sh) / 2 - origin.y;
    const std::vector<DisplayCall> shown = host.DisplayCalls();
    ASSERT_FALSE(shown.empty());
    const DisplayCall& d = shown.back();
    EXPECT_EQ(d.map.version, 1);
    EXPECT_EQ(d.map.colBytes, 3);
    EXPECT_EQ(d.map.planeBytes, 1);
    EXPECT_EQ(d.map.rowBytes, host.Record().outRowBytes);
    EXPECT_EQ(d.map.right, sw);
    EXPECT_EQ(d.map.bottom, sh);
    EXPECT_FALSE(d.hasMask);
    EXPECT_EQ(d.row, top);
    EXPECT_EQ(d.col, left);

    auto expectFilteredSample = [&](int control0) {
        const Capture p = CaptureClient(dialog);
        int wrong = 0;
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x) {
                const COLORREF want =
                    RGB(Clamp(2 * x), image.at(x * f, y * f, 1), Clamp(y + control0));
                if (p.at(left + x, top + y) != want && wrong++ < 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << " shows " << std::hex
                                  << p.at(left + x, top + y) << " instead of " << want;
            }
        EXPECT_EQ(wrong, 0);
        return p;
    };
    const Capture p = expectFilteredSample(10);
    const COLORREF black = RGB(0, 0, 0);
    for (int x = -1; x <= sw; ++x) {
        EXPECT_EQ(p.at(left + x, top - 1), black) << x;
        EXPECT_EQ(p.at(left + x, top + sh), black) << x;
    }
    for (int y = -1; y <= sh; ++y) {
        EXPECT_EQ(p.at(left - 1, top + y), black) << y;
        EXPECT_EQ(p.at(left + sw, top + y), black) << y;
    }

    // A repaint shows the kept preview and runs nothing, so a keystroke
    // waiting meanwhile leaves no empty frame. A slider release whose run a
    // keystroke abandons shows the kept preview, then runs again.
    const UINT sliderMessage = RegisterWindowMessageA("LMSlCmd");
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, PostKeyBefore, nullptr, host.ThreadId());
    ASSERT_NE(hook, nullptr);
    for (int step = 0; step < 2; ++step) {
        const int displays = host.DisplayCount();
        gKeyMessage = step == 0 ? WM_PAINT : sliderMessage;
        gKeyDialog = dialog;
        if (step == 0) InvalidateRect(dialog, nullptr, TRUE);
        else PostMessageA(dialog, sliderMessage, IDC_SLIDER, MAKELPARAM(50, SliderReleased));
        WaitUntil([&] { return host.DisplayCount() >= displays + 1 + step; }, 5000, 20);
        EXPECT_EQ(gKeyDialog, nullptr) << "step " << step << ": the message never came";
        EXPECT_GE(host.DisplayCount(), displays + 1 + step) << "step " << step;
        Sleep(200);
        expectFilteredSample(step == 0 ? 10 : 50);
    }
    UnhookWindowsHookEx(hook);
}

TEST_F(EditorDialog, PreviewHandsTheHostTheTransparencyPlaneOfALayer) {
    ASSERT_TRUE(Open(4, 120, 90));  // smaller than the preview: factor 1
    const std::vector<AdvanceCall> advances = host.AdvanceCalls();
    ASSERT_EQ(advances.size(), 1u);
    EXPECT_EQ(advances[0].inputRate, 65536);
    EXPECT_EQ(advances[0].in.right, 120);
    const std::vector<DisplayCall> shown = host.DisplayCalls();
    ASSERT_FALSE(shown.empty());
    const DisplayCall& d = shown.back();
    EXPECT_EQ(d.map.colBytes, 4);
    ASSERT_TRUE(d.hasMask);
    EXPECT_EQ(d.mask.maskData, static_cast<uint8_t*>(d.map.baseAddr) + 3);
    EXPECT_EQ(d.mask.colBytes, 4);
    EXPECT_EQ(d.mask.rowBytes, d.map.rowBytes);
    EXPECT_EQ(d.mask.next, nullptr);
}

TEST_F(EditorDialog, FloatingSelectionSamplesItsMaskAndShowsThroughIt) {
    ASSERT_TRUE(Open(3, 400, 300, true));
    const std::vector<AdvanceCall> advances = host.AdvanceCalls();
    ASSERT_EQ(advances.size(), 1u);
    const AdvanceCall& a = advances[0];
    const int f = a.inputRate >> 16;
    ASSERT_GT(f, 1);
    EXPECT_EQ(a.maskRate, a.inputRate);
    EXPECT_EQ(a.maskPadding, -1);
    EXPECT_EQ(a.mask.right, 400 / f);
    EXPECT_EQ(a.mask.bottom, 300 / f);
    EXPECT_EQ(host.Record().maskPadding, -3);
    EXPECT_EQ(host.Record().maskRate, 65536);
    const std::vector<DisplayCall> shown = host.DisplayCalls();
    ASSERT_FALSE(shown.empty());
    ASSERT_TRUE(shown.back().hasMask);
    EXPECT_EQ(shown.back().mask.maskData, host.Record().maskData);
    EXPECT_EQ(shown.back().mask.colBytes, 1);
    EXPECT_EQ(shown.back().mask.rowBytes, host.Record().maskRowBytes);
}

TEST_F(EditorDialog, RefusedSampleShowsMessage2004AndStartCancels) {
    host.advanceAnswer = 1;
    host.Run(PatternImage(200, 100, 3));
    Sleep(300);
    HWND box =
        WaitForWindow({.words = "create a sample for this image", .thread = host.ThreadId()});
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "Tinctor Editor");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(host.Wait(), 1);
    EXPECT_EQ(host.DisplayCount(), 0);
    EXPECT_EQ(host.Record().inputPadding, -3);
    EXPECT_EQ(host.Record().inputRate, 65536);
    EXPECT_EQ(host.State()->dialogWindow, nullptr);
}

}  // namespace
