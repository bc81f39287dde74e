// The made-filter dialog through Tinctor.lmf: the shipped filter's one
// slider, a filter showing only one map, and a filter without a dialog.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "plugin_ui/resource.h"
#include "tests/plugin_ui/dialog_host.h"
#include "tests/plugin_ui/editor_fixture.h"

namespace {

class MadeFilterDialog : public EditorDialog {
protected:
    MadeFilterDialog() : EditorDialog("Tinctor.lmf") {}
    // Which of the eight sliders are visible, as a string of 0 and 1.
    std::string VisibleSliders() {
        std::string s;
        for (int i = 0; i < 8; ++i) s += ItemVisible(dialog, IDC_SLIDER + i) ? '1' : '0';
        return s;
    }
    std::string VisibleIds(int first, int count) {
        std::string s;
        for (int i = 0; i < count; ++i) s += ItemVisible(dialog, first + i) ? '1' : '0';
        return s;
    }
};

TEST_F(MadeFilterDialog, ShippedGrainShowsItsOneSliderWithLabelAndPreview) {
    ASSERT_TRUE(Open(3));
    EXPECT_EQ(TextOf(dialog), "Tinctor Grain");
    EXPECT_EQ(VisibleSliders(), "10000000");
    EXPECT_EQ(VisibleIds(IDC_VALUE_LABEL, 8), "10000000");
    EXPECT_EQ(VisibleIds(IDC_MAP_LABEL, 4), "0000");
    EXPECT_EQ(VisibleIds(IDC_SLIDER_LABEL, 8), "10000000");
    EXPECT_EQ(ItemText(dialog, IDC_SLIDER_LABEL), "Noise Intensity");
    EXPECT_EQ(ItemText(dialog, IDC_VALUE_LABEL), "101");
    EXPECT_EQ(GetDlgItem(dialog, IDC_FORMULA), nullptr);  // no formula fields
    EXPECT_GE(host.DisplayCount(), 1);
    ClickItem(dialog, IDOK);
    EXPECT_EQ(host.Wait(), 0);
}

TEST_F(MadeFilterDialog, AFilterShowingOnlyMap1ShowsItsTwoSlidersAndLabel) {
    FilterDefinition* def = host.Definition();
    std::memset(def->sliderShown, 0, sizeof def->sliderShown);
    std::memset(def->mapShown, 0, sizeof def->mapShown);
    def->mapShown[1] = 1;
    std::strcpy(def->mapLabel[1], "Tone curve");
    def->sliderValue[2] = 40;
    def->sliderValue[3] = 200;
    ASSERT_TRUE(Open(3));
    EXPECT_EQ(VisibleSliders(), "00110000");
    EXPECT_EQ(VisibleIds(IDC_VALUE_LABEL, 8), "00110000");
    EXPECT_EQ(VisibleIds(IDC_MAP_LABEL, 4), "0100");
    EXPECT_EQ(VisibleIds(IDC_SLIDER_LABEL, 8), "00000000");
    EXPECT_EQ(ItemText(dialog, IDC_MAP_LABEL + 1), "Tone curve");
    EXPECT_EQ(ItemText(dialog, IDC_VALUE_LABEL + 2), "40");
    EXPECT_EQ(ItemText(dialog, IDC_VALUE_LABEL + 3), "200");
    ClickItem(dialog, IDCANCEL);
    EXPECT_EQ(host.Wait(), 1);
}

TEST_F(MadeFilterDialog, WithoutADialogTheFilterRunsWithItsStoredValuesAndNoWindow) {
    FilterDefinition* def = host.Definition();
    def->hasDialog = 0;
    std::strcpy(def->formula[0], "ctl(0)");
    def->sliderValue[0] = 77;
    host.Run(PatternImage(30, 20, 3));
    EXPECT_EQ(host.Wait(), 0);
    EXPECT_TRUE(host.AdvanceCalls().empty());
    EXPECT_EQ(host.DisplayCount(), 0);
    const std::vector<uint8_t> out = host.OutputAfterContinue();
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out[0], 77);
    EXPECT_EQ(out[3 * 29], 77);
}

}  // namespace
