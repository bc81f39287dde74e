#include <gtest/gtest.h>

#include "host/pixmap.h"
#include "host/protocol.h"

namespace {

TEST(PixelMap, ConvertsInterleavedPlanesWithStrideAndBounds) {
    // 3 x 2 pixels, 4 planes, rows 16 bytes apart, bounds at (10, 20).
    uint8_t data[2 * 16] = {};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            uint8_t* p = data + y * 16 + x * 4;
            p[0] = uint8_t(10 * x + y);
            p[1] = uint8_t(50 + x);
            p[2] = uint8_t(90 + y);
        }
    HostPixelMap map{};
    map.version = 1;
    map.top = 10;
    map.left = 20;
    map.bottom = 12;
    map.right = 23;
    map.rowBytes = 16;
    map.colBytes = 4;
    map.planeBytes = 1;
    map.baseAddr = data;
    map.imageMode = kImageModeRGB;
    DisplayImage out;
    ASSERT_TRUE(ConvertPixelMap(map, HostRect32{11, 21, 12, 23}, out));
    ASSERT_EQ(out.width, 2);
    ASSERT_EQ(out.height, 1);
    EXPECT_EQ(out.bgrx[0], uint32_t(91 | 51 << 8 | 11 << 16));
    EXPECT_EQ(out.bgrx[1], uint32_t(91 | 52 << 8 | 21 << 16));
}

TEST(PixelMap, MaskBlendsOverCheckerboardAndOneSampleIsGrey) {
    uint8_t data[2] = {200, 200};
    uint8_t mask[2] = {255, 0};
    HostMaskDescription m{nullptr, mask, 2, 1, 0};
    HostPixelMap map{};
    map.version = 1;
    map.bottom = 1;
    map.right = 2;
    map.rowBytes = 2;
    map.colBytes = 1;
    map.planeBytes = 1;
    map.baseAddr = data;
    map.masks = &m;
    DisplayImage out;
    ASSERT_TRUE(ConvertPixelMap(map, HostRect32{0, 0, 1, 2}, out));
    EXPECT_EQ(out.bgrx[0], uint32_t(200 | 200 << 8 | 200 << 16));
    uint32_t bg = out.bgrx[1] & 255;
    EXPECT_TRUE(bg == 255 || bg == 204);
}

TEST(PixelMap, RejectsUnusableMaps) {
    uint8_t data[4] = {};
    HostPixelMap map{};
    map.version = 1;
    map.bottom = 1;
    map.right = 1;
    map.rowBytes = 4;
    map.colBytes = 3;
    map.planeBytes = 1;
    DisplayImage out;
    EXPECT_FALSE(ConvertPixelMap(map, HostRect32{0, 0, 1, 1}, out));  // no base
    map.baseAddr = data;
    EXPECT_FALSE(ConvertPixelMap(map, HostRect32{5, 5, 6, 6}, out));  // outside the bounds
    map.version = 0;
    EXPECT_FALSE(ConvertPixelMap(map, HostRect32{0, 0, 1, 1}, out));
}

TEST(Protocol, ResultCodesHaveMeaningsAndExitStatuses) {
    struct Case {
        int16_t code;
        const char* text;
        int status;
    } cases[] = {
        {0, "0 (success)", 0},
        {1, "1 (cancelled or stopped)", 1},
        {-108, "-108 (out of memory)", 2},
        {-30100, "-30100 (bad selector)", 2},
        {-7, "-7 (unknown error)", 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DescribeResult(c.code), c.text);
        EXPECT_EQ(ExitStatusForResult(c.code), c.status);
    }
}

TEST(Protocol, AreasKeepTheirOrderBothWays) {
    HostArea h{1, 2, 3, 4};
    Area a = ToArea(h);
    EXPECT_EQ(a.top, 1);
    EXPECT_EQ(a.left, 2);
    EXPECT_EQ(a.bottom, 3);
    EXPECT_EQ(a.right, 4);
    HostArea back = ToHostArea(a);
    EXPECT_EQ(back.top, 1);
    EXPECT_EQ(back.right, 4);
}

}  // namespace
