#include <gtest/gtest.h>

#include "host/buffers.h"

namespace {

// Every sample tells where it came from: R = x, G = y, B = x + y, A = 200 + plane-free marker.
Image Numbered(int32_t w, int32_t h, bool alpha) {
    Image img(w, h, alpha);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = img.pixel(x, y);
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = uint8_t(x + y);
            p[3] = uint8_t(alpha ? 100 + x : 255);
        }
    return img;
}

const uint8_t* At(const HostBuffer& b, int32_t x, int32_t y) {
    return b.data() + size_t(y) * b.rowBytes + size_t(x) * b.planes();
}

TEST(Buffers, RowsArePaddedPastTheirPixelsAndAlignedToFourBytes) {
    for (int32_t used : {1, 3, 4, 9, 12, 301}) {
        int32_t stride = PaddedRowBytes(used);
        EXPECT_GT(stride, used);
        EXPECT_EQ(stride % 4, 0);
    }
}

TEST(Buffers, FillCopiesTheRequestedAreaAndPlanesInterleaved) {
    Image img = Numbered(20, 10, true);
    HostBuffer b;
    FillBuffer(img, Area{2, 3, 7, 11}, 1, 3, kRateOne, b);
    ASSERT_NE(b.data(), nullptr);
    EXPECT_EQ(b.planes(), 3);
    EXPECT_GT(b.rowBytes, 8 * 3);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 8; ++x) {
            const uint8_t* p = At(b, x, y);
            EXPECT_EQ(p[0], y + 2);          // plane 1 first
            EXPECT_EQ(p[1], x + 3 + y + 2);  // plane 2
            EXPECT_EQ(p[2], 100 + x + 3);    // plane 3
        }
    EXPECT_TRUE(GuardsIntact(b));
}

TEST(Buffers, AreasOutsideTheImageRepeatTheNearestEdge) {
    Image img = Numbered(6, 4, false);
    HostBuffer b;
    FillBuffer(img, Area{-2, -3, 6, 9}, 0, 2, kRateOne, b);
    EXPECT_EQ(At(b, 0, 0)[0], 0);   // x -3 -> 0
    EXPECT_EQ(At(b, 0, 0)[1], 0);   // y -2 -> 0
    EXPECT_EQ(At(b, 11, 7)[0], 5);  // x 8 -> 5
    EXPECT_EQ(At(b, 11, 7)[1], 3);  // y 5 -> 3
}

TEST(Buffers, SamplingRateMapsReducedCoordinatesToTheImage) {
    struct Case {
        int32_t c, rate, limit, expected;
    } cases[] = {
        {0, kRateOne, 10, 0},    {7, kRateOne, 10, 7},    {3, 2 * kRateOne, 10, 6},
        {4, 3 * kRateOne, 20, 12}, {5, kRateOne / 2, 10, 2}, {3, 3 * kRateOne / 2, 10, 4},
        {9, 2 * kRateOne, 10, 9}, {-1, 2 * kRateOne, 10, 0}, {20000, 2 * kRateOne, 32767, 32766},
    };
    for (const Case& c : cases) EXPECT_EQ(SampleCoordinate(c.c, c.rate, c.limit), c.expected) << c.c;

    Image img = Numbered(40, 30, false);
    HostBuffer b;
    FillBuffer(img, Area{1, 2, 5, 10}, 0, 2, 4 * kRateOne, b);  // reduced area of a factor-4 sample
    EXPECT_EQ(b.area.width(), 8);
    for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(At(b, x, 0)[0], std::min(39, (2 + x) * 4));
    for (int32_t y = 0; y < 4; ++y) EXPECT_EQ(At(b, 0, y)[1], std::min(29, (1 + y) * 4));
}

TEST(Buffers, EmptyAreasAndPlaneRangesGiveNoBuffer) {
    Image img = Numbered(4, 4, false);
    HostBuffer b;
    FillBuffer(img, Area{0, 0, 0, 4}, 0, 2, kRateOne, b);
    EXPECT_EQ(b.data(), nullptr);
    FillBuffer(img, Area{0, 0, 4, 4}, 2, 1, kRateOne, b);
    EXPECT_EQ(b.data(), nullptr);
    EXPECT_TRUE(GuardsIntact(b));
}

TEST(Buffers, GuardsCatchWritesPastTheRow) {
    Image img = Numbered(5, 3, false);
    HostBuffer b;
    FillBuffer(img, Area{0, 0, 3, 5}, 0, 2, kRateOne, b);
    b.data()[b.rowBytes * 1 + 5 * 3 - 1] = 0;  // last sample of a row: allowed
    EXPECT_TRUE(GuardsIntact(b));
    b.data()[b.rowBytes * 1 + 5 * 3] = 0;  // first byte after it: a bug
    EXPECT_FALSE(GuardsIntact(b));
}

TEST(WriteBackTest, ChangesOnlyTheFilterAreaInsideTheImage) {
    Image orig = Numbered(10, 8, false), img = orig;
    HostBuffer b;
    FillBuffer(img, Area{-1, -1, 9, 11}, 0, 2, kRateOne, b);  // wider than the image
    for (uint8_t& v : b.storage) v = 255 - v;
    Area clip{2, 3, 6, 7};
    WriteBack(b, clip, nullptr, img);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 10; ++x) {
            bool inside = x >= 3 && x < 7 && y >= 2 && y < 6;
            for (int p = 0; p < 3; ++p)
                EXPECT_EQ(img.pixel(x, y)[p], inside ? 255 - orig.pixel(x, y)[p] : orig.pixel(x, y)[p])
                    << x << "," << y;
        }
}

TEST(WriteBackTest, LeavesPlanesOutsideTheRangeAndSamplesAlone) {
    Image orig = Numbered(4, 4, true), img = orig;
    HostBuffer b;
    FillBuffer(img, Area{0, 0, 4, 4}, 0, 2, kRateOne, b);
    for (uint8_t& v : b.storage) v = 7;
    WriteBack(b, Area{0, 0, 4, 4}, nullptr, img);
    EXPECT_EQ(img.pixel(1, 1)[0], 7);
    EXPECT_EQ(img.pixel(1, 1)[3], orig.pixel(1, 1)[3]);  // alpha not requested

    Image again = orig;
    FillBuffer(again, Area{0, 0, 2, 2}, 0, 3, 2 * kRateOne, b);
    for (uint8_t& v : b.storage) v = 7;
    WriteBack(b, Area{0, 0, 4, 4}, nullptr, again);
    EXPECT_EQ(again.rgba, orig.rgba);  // a reduced sample is never image data
}

TEST(WriteBackTest, MaskBlendsFromOriginalToResult) {
    Image img(3, 1, false), mask(3, 1, false);
    for (int x = 0; x < 3; ++x) img.pixel(x, 0)[0] = 100;
    mask.pixel(0, 0)[0] = 0;
    mask.pixel(1, 0)[0] = 255;
    mask.pixel(2, 0)[0] = 128;
    HostBuffer b;
    FillBuffer(img, Area{0, 0, 1, 3}, 0, 0, kRateOne, b);
    for (int x = 0; x < 3; ++x) b.data()[x] = 200;
    WriteBack(b, Area{0, 0, 1, 3}, &mask, img);
    EXPECT_EQ(img.pixel(0, 0)[0], 100);
    EXPECT_EQ(img.pixel(1, 0)[0], 200);
    EXPECT_EQ(img.pixel(2, 0)[0], 150);  // 100 + 100 * 128 / 255, rounded
}

}  // namespace
