// The Build Filter dialog's rules as the command-line maker applies them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plugin_ui/maker_options.h"
#include "plugin_ui/maker_texts.h"

namespace {

MakerOptions Options(const char* title = "Duotone", const char* category = "Obsidia") {
    MakerOptions o{};
    o.size = sizeof o;
    o.title = title;
    o.category = category;
    return o;
}

FilterDefinition Copy() {
    FilterDefinition d;
    std::memset(&d, 0, sizeof d);
    d.hasDialog = 1;  // as in a made filter's definition
    d.sliderShown[0] = 1;
    std::strcpy(d.formula[0], "keep");
    d.sliderValue[3] = 77;
    return d;
}

}  // namespace

TEST(MakerOptions, WithoutSlidersOrMapsTheFilterHasNoDialog) {
    FilterDefinition d = Copy();
    ASSERT_EQ(ApplyMakerOptions(Options(), d), "");
    EXPECT_EQ(d.hasDialog, 0);
    for (int32_t shown : d.sliderShown) EXPECT_EQ(shown, 0);
    for (int32_t shown : d.mapShown) EXPECT_EQ(shown, 0);
    EXPECT_STREQ(d.title, "Duotone");
    EXPECT_STREQ(d.category, "Obsidia");
    // What the dialog's fields start with.
    EXPECT_STREQ(d.copyright, MAKER_DEFAULT_COPYRIGHT);
    EXPECT_NE(std::strstr(d.copyright, "\r\n"), nullptr);
    EXPECT_STREQ(d.author, "Anonymous");
    EXPECT_STREQ(d.mapLabel[2], "Map 2:");
    EXPECT_STREQ(d.sliderLabel[7], "Control 7:");
    // Formulas and slider values are the settings file's business.
    EXPECT_STREQ(d.formula[0], "keep");
    EXPECT_EQ(d.sliderValue[3], 77);
}

TEST(MakerOptions, ShownSlidersAndMapsCarryTheirLabels) {
    MakerOptions o = Options();
    o.sliderLabel[1] = "Amount";
    o.mapLabel[2] = "Curve";
    o.copyright = "Line one\r\nLine two";
    o.author = "";
    FilterDefinition d = Copy();
    ASSERT_EQ(ApplyMakerOptions(o, d), "");
    EXPECT_EQ(d.hasDialog, 1);
    EXPECT_EQ(d.sliderShown[0], 0);
    EXPECT_EQ(d.sliderShown[1], 1);
    EXPECT_EQ(d.mapShown[2], 1);
    EXPECT_STREQ(d.sliderLabel[1], "Amount");
    EXPECT_STREQ(d.sliderLabel[0], "Control 0:");
    EXPECT_STREQ(d.mapLabel[2], "Curve");
    EXPECT_STREQ(d.copyright, "Line one\r\nLine two");
    EXPECT_STREQ(d.author, "");
}

TEST(MakerOptions, MapAndTheSlidersOfItsPairExcludeEachOther) {
    for (int j = 0; j < 8; ++j) {
        MakerOptions o = Options();
        o.mapLabel[j / 2] = "Map";
        o.sliderLabel[j] = "Slider";
        FilterDefinition d = Copy(), before = Copy();
        std::string error = ApplyMakerOptions(o, d);
        EXPECT_NE(error.find("exclude"), std::string::npos) << j;
        EXPECT_EQ(std::memcmp(&d, &before, sizeof d), 0);
    }
    MakerOptions o = Options();  // a map beside the sliders of another pair is fine
    o.mapLabel[1] = "Map";
    o.sliderLabel[0] = o.sliderLabel[1] = o.sliderLabel[4] = "Slider";
    FilterDefinition d = Copy();
    EXPECT_EQ(ApplyMakerOptions(o, d), "");
}

TEST(MakerOptions, TextsFollowTheDialogsFieldLimits) {
    std::string s31(31, 'a'), s32(32, 'a'), s127(127, 'b'), s128(128, 'b'), s63(63, 'c'),
        s64(64, 'c');
    struct Case {
        MakerOptions o;
        bool ok;
    } cases[] = {
        {Options(s31.c_str(), s31.c_str()), true},
        {Options(s32.c_str()), false},
        {Options("T", s32.c_str()), false},
        {Options(""), false},
        {Options("T", ""), false},
        {Options(nullptr), false},
    };
    for (Case& c : cases) {
        FilterDefinition d = Copy();
        EXPECT_EQ(ApplyMakerOptions(c.o, d).empty(), c.ok) << (c.o.title ? c.o.title : "null");
    }
    MakerOptions o = Options();
    FilterDefinition d = Copy();
    o.copyright = s127.c_str(), o.author = s127.c_str(), o.sliderLabel[2] = s63.c_str();
    EXPECT_EQ(ApplyMakerOptions(o, d), "");
    o.copyright = s128.c_str();
    EXPECT_NE(ApplyMakerOptions(o, d), "");
    o.copyright = nullptr, o.author = s128.c_str();
    EXPECT_NE(ApplyMakerOptions(o, d), "");
    o.author = nullptr, o.mapLabel[3] = s64.c_str();
    EXPECT_NE(ApplyMakerOptions(o, d), "");
}
