#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    FillBuffer(img, BufferRequest{Area{2, 3, 7, 11}, 1, 3, kRateOne}, b);
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
    FillBuffer(img, BufferRequest{Area{-2, -3, 6, 9}, 0, 2, kRateOne}, b);
    EXPECT_EQ(At(b, 0, 0)[0], 0);   // x -3 -> 0
    EXPECT_EQ(At(b, 0, 0)[1], 0);   // y -2 -> 0
    EXPECT_EQ(At(b, 11, 7)[0], 5);  // x 8 -> 5
    EXPECT_EQ(At(b, 11, 7)[1], 3);  // y 5 -> 3
}

TEST(Buffers, SamplingRateMapsReducedCoordinatesToTheImage) {
    struct Case {
        int32_t c, rate;
        int64_t expected;
    } cases[] = {
        {0, kRateOne, 0},       {7, kRateOne, 7},           {3, 2 * kRateOne, 6},
        {4, 3 * kRateOne, 12},  {5, kRateOne / 2, 2},       {3, 3 * kRateOne / 2, 4},
        {-1, 2 * kRateOne, -2}, {-1, 3 * kRateOne / 2, -2}, {20000, 2 * kRateOne, 40000},
    };
    for (const Case& c : cases) EXPECT_EQ(SourceCoordinate(c.c, c.rate), c.expected) << c.c;

    Image img = Numbered(40, 30, false);
    HostBuffer b;
    FillBuffer(img, BufferRequest{Area{1, 2, 5, 10}, 0, 2, 4 * kRateOne},
               b);  // reduced area of a factor-4 sample
    EXPECT_EQ(b.area.width(), 8);
    for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(At(b, x, 0)[0], std::min(39, (2 + x) * 4));
    for (int32_t y = 0; y < 4; ++y) EXPECT_EQ(At(b, 0, y)[1], std::min(29, (1 + y) * 4));
}

TEST(Buffers, EmptyAreasAndPlaneRangesGiveNoBuffer) {
    Image img = Numbered(4, 4, false);
    HostBuffer b;
    FillBuffer(img, BufferRequest{Area{0, 0, 0, 4}, 0, 2, kRateOne}, b);
    EXPECT_EQ(b.data(), nullptr);
    FillBuffer(img, BufferRequest{Area{0, 0, 4, 4}, 2, 1, kRateOne}, b);
    EXPECT_EQ(b.data(), nullptr);
    EXPECT_TRUE(GuardsIntact(b));
}

TEST(Buffers, GuardsCatchWritesPastTheRow) {
    Image img = Numbered(5, 3, false);
    HostBuffer b;
    FillBuffer(img, BufferRequest{Area{0, 0, 3, 5}, 0, 2, kRateOne}, b);
    b.data()[b.rowBytes * 1 + 5 * 3 - 1] = 0;  // last sample of a row: allowed
    EXPECT_TRUE(GuardsIntact(b));
    b.data()[b.rowBytes * 1 + 5 * 3] = 0;  // first byte after it: a bug
    EXPECT_FALSE(GuardsIntact(b));
}

TEST(WriteBackTest, ChangesOnlyTheFilterAreaInsideTheImage) {
    Image orig = Numbered(10, 8, false), img = orig;
    HostBuffer b;
    FillBuffer(img, BufferRequest{Area{-1, -1, 9, 11}, 0, 2, kRateOne}, b);  // wider than the image
    for (uint8_t& v : b.storage) v = 255 - v;
    Area clip{2, 3, 6, 7};
    WriteBack(b, clip, nullptr, img);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 10; ++x) {
            bool inside = x >= 3 && x < 7 && y >= 2 && y < 6;
            for (int p = 0; p < 3; ++p)
                EXPECT_EQ(img.pixel(x, y)[p],
                          inside ? 255 - orig.pixel(x, y)[p] : orig.pixel(x, y)[p])
                    << x << "," << y;
        }
}

TEST(WriteBackTest, LeavesPlanesOutsideTheRangeAndSamplesAlone) {
    Image orig = Numbered(4, 4, true), img = orig;
    HostBuffer b;
    FillBuffer(img, BufferRequest{Area{0, 0, 4, 4}, 0, 2, kRateOne}, b);
    for (uint8_t& v : b.storage) v = 7;
    WriteBack(b, Area{0, 0, 4, 4}, nullptr, img);
    EXPECT_EQ(img.pixel(1, 1)[0], 7);
    EXPECT_EQ(img.pixel(1, 1)[3], orig.pixel(1, 1)[3]);  // alpha not requested

    Image again = orig;
    FillBuffer(again, BufferRequest{Area{0, 0, 2, 2}, 0, 3, 2 * kRateOne}, b);
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
    FillBuffer(img, BufferRequest{Area{0, 0, 1, 3}, 0, 0, kRateOne}, b);
    for (int x = 0; x < 3; ++x) b.data()[x] = 200;
    WriteBack(b, Area{0, 0, 1, 3}, &mask, img);
    EXPECT_EQ(img.pixel(0, 0)[0], 100);
    EXPECT_EQ(img.pixel(1, 0)[0], 200);
    EXPECT_EQ(img.pixel(2, 0)[0], 150);  // 100 + 100 * 128 / 255, rounded
}

// ---- advance state: rates, odd sizes, padding modes -------------------------

// The red sample of every buffer pixel, row after row: with Numbered images
// it is the source column, and the green sample the source row.
std::vector<int> Columns(const HostBuffer& b) {
    std::vector<int> v;
    for (int32_t y = 0; y < b.area.height(); ++y)
        for (int32_t x = 0; x < b.area.width(); ++x) v.push_back(At(b, x, y)[0]);
    return v;
}

TEST(AdvanceState, OneSourcePixelPerRateBlockAtOddSizes) {
    // A 7 x 5 image (both odd): the editor's reduced request for the whole
    // image at factor f is 0,0,5/f,7/f.
    Image img = Numbered(7, 5, false);
    struct Case {
        int32_t rate;
        Area area;
        std::vector<int> columns, rows;  // of the first row / first column
    } cases[] = {
        {kRateOne, Area{0, 0, 5, 7}, {0, 1, 2, 3, 4, 5, 6}, {0, 1, 2, 3, 4}},
        {2 * kRateOne, Area{0, 0, 2, 3}, {0, 2, 4}, {0, 2}},
        {3 * kRateOne, Area{0, 0, 1, 2}, {0, 3}, {0}},
        // A filter area 1,2,5,7 at factor 2: 0,1,2,3, source rows 0 and 2, columns 2 and 4.
        {2 * kRateOne, Area{0, 1, 2, 3}, {2, 4}, {0, 2}},
        {3 * kRateOne, Area{1, 1, 2, 2}, {3}, {3}},
    };
    for (const Case& c : cases) {
        BufferRequest q{c.area, 0, 2, c.rate, kPadRefuse};
        ASSERT_EQ(CheckRequest(q, 7, 5, 3), "") << c.rate;
        HostBuffer b;
        FillBuffer(img, q, b);
        ASSERT_EQ(b.area.width(), int(c.columns.size()));
        ASSERT_EQ(b.area.height(), int(c.rows.size()));
        for (size_t x = 0; x < c.columns.size(); ++x) {
            EXPECT_EQ(At(b, int32_t(x), 0)[0], c.columns[x]) << c.rate << " x " << x;
            EXPECT_EQ(At(b, int32_t(x), 0)[2], c.columns[x] + c.rows[0]);
        }
        for (size_t y = 0; y < c.rows.size(); ++y) EXPECT_EQ(At(b, 0, int32_t(y))[1], c.rows[y]);
        EXPECT_TRUE(GuardsIntact(b));
    }
}

TEST(AdvanceState, PaddingModesFillWhatLiesOutsideTheImage) {
    // Row 0 of a 5 x 3 image asked at rate 2 from column -1 to 4: source
    // columns -2, 0, 2, 4, 6; the first and the last are outside.
    Image img = Numbered(5, 3, false);
    img.pixel(0, 0)[0] = 50;  // the left edge pixel, told apart from a zero fill
    struct Case {
        int16_t padding;
        std::vector<int> columns;
    } cases[] = {
        {kPadRepeatEdge, {50, 50, 2, 4, 4}},
        {kPadZero, {0, 50, 2, 4, 0}},
        {0, {0, 50, 2, 4, 0}},
        {77, {77, 50, 2, 4, 77}},
        {255, {255, 50, 2, 4, 255}},
    };
    for (const Case& c : cases) {
        BufferRequest q{Area{0, -1, 1, 4}, 0, 2, 2 * kRateOne, c.padding};
        ASSERT_EQ(CheckRequest(q, 5, 3, 3), "") << c.padding;
        HostBuffer b;
        FillBuffer(img, q, b);
        EXPECT_EQ(Columns(b), c.columns) << c.padding;
        // Every plane of an outside pixel takes the padding, not only red.
        if (c.padding >= 0) EXPECT_EQ(At(b, 0, 0)[1], c.padding);
    }
    // Below the image at rate 3: rows 3 and 6 of a 3-row image are outside.
    BufferRequest below{Area{1, 0, 3, 1}, 0, 2, 3 * kRateOne, 9};
    HostBuffer b;
    FillBuffer(img, below, b);
    EXPECT_EQ(At(b, 0, 0)[1], 9);
    EXPECT_EQ(At(b, 0, 1)[0], 9);
    below.padding = kPadRepeatEdge;
    FillBuffer(img, below, b);
    EXPECT_EQ(At(b, 0, 1)[1], 2);
}

TEST(AdvanceState, RefusesWhatItCannotServe) {
    const int32_t w = 8, h = 6, planes = 3;
    BufferRequest fits{Area{0, 0, 3, 4}, 0, 2, 2 * kRateOne, kPadRefuse};  // source 0..6 x 0..4
    EXPECT_EQ(CheckRequest(fits, w, h, planes), "");
    struct Case {
        const char* what;
        BufferRequest q;
        const char* reason;
    } cases[] = {
        {"a column past the right edge",
         {Area{0, 0, 3, 5}, 0, 2, 2 * kRateOne, kPadRefuse},
         "outside"},
        {"a row past the bottom", {Area{0, 0, 4, 4}, 0, 2, 2 * kRateOne, kPadRefuse}, "outside"},
        {"a negative left", {Area{0, -1, 3, 4}, 0, 2, kRateOne, kPadRefuse}, "outside"},
        {"rate 0", {Area{0, 0, 1, 1}, 0, 2, 0, kPadRepeatEdge}, "sampling rate of 0/65536"},
        {"a negative rate", {Area{0, 0, 1, 1}, 0, 2, -kRateOne, kPadRepeatEdge}, "sampling rate"},
        {"a rate below one",
         {Area{0, 0, 1, 1}, 0, 2, kRateOne / 2, kPadRepeatEdge},
         "sampling rate"},
        {"blocks larger than the image",
         {Area{0, 0, 1, 1}, 0, 2, 10 * kRateOne, kPadRepeatEdge},
         "sampling rate"},
        {"plane 3 of 3",
         {Area{0, 0, 1, 1}, 0, 3, kRateOne, kPadRepeatEdge},
         "planes 0..3 of a 3-plane"},
        {"planes reversed", {Area{0, 0, 1, 1}, 2, 1, kRateOne, kPadRepeatEdge}, "planes 2..1"},
        {"a negative plane", {Area{0, 0, 1, 1}, -1, 2, kRateOne, kPadRepeatEdge}, "planes -1..2"},
        {"padding -4", {Area{0, 0, 1, 1}, 0, 2, kRateOne, -4}, "unknown padding mode -4"},
        {"padding 256", {Area{0, 0, 1, 1}, 0, 2, kRateOne, 256}, "unknown padding mode 256"},
        {"4 GB",
         {Area{-32768, -32768, 32767, 32767}, 0, 2, kRateOne, kPadRepeatEdge},
         "a buffer of"},
    };
    for (const Case& c : cases) {
        std::string why = CheckRequest(c.q, w, h, planes);
        EXPECT_NE(why.find(c.reason), std::string::npos) << c.what << ": '" << why << "'";
    }
    // The largest sensible rate, one block for the whole image, is served.
    EXPECT_EQ(
        CheckRequest(BufferRequest{Area{0, 0, 1, 1}, 0, 2, 8 * kRateOne, kPadRefuse}, w, h, planes),
        "");
    // An empty area asks for nothing, whatever else the record holds.
    EXPECT_EQ(CheckRequest(BufferRequest{Area{}, 7, 1, 0, -9}, w, h, planes), "");
}

}  // namespace
