// Whole filterings through the plug-in file's own entry point, compared byte
// for byte (padding and untouched pixels included) with the reference
// evaluator walking the same image in the same order.
#include <gtest/gtest.h>
#include <cstring>
#include "formula/runtime.h"
#include "plugin/core/plugin.h"
#include "tests/formula/reference_eval.h"
#include "tests/plugin/fake_host.h"

namespace {

struct Case {
    const char* name;
    int width, height, planes, pad;
    HostArea area;  // the filter area; all zero: the whole image
    bool parameters;
    const char* formula[4];
};

const Case kCases[] = {
    {"OnePixel",
     1,
     1,
     3,
     0,
     {},
     true,
     {"rnd(0,255)^get(z)", "put(c+get(0),0)%256", "d+m*8+M", "a"}},
    {"OddSizeFourPlanes",
     37,
     23,
     4,
     5,
     {},
     false,
     {"src(x+3,y-2,z)", "cnv(1,2,1,2,4,2,1,2,1,16)", "rad(d+64,m,z)", "map(z,c)+rnd(0,20)"}},
    {"WideWithAreaAwayFromOrigin",
     301,
     9,
     3,
     7,
     {3, 40, 9, 300},
     true,
     {"src(x,y,z)-cnv(0,1,0,1,-4,1,0,1,0,1)", "put(get(1)+c,1)>>3", "x*255/X+rnd(-5,5)", "a"}},
    {"PolarAndTrigonometry",
     64,
     48,
     4,
     1,
     {5, 6, 45, 60},
     false,
     {"c2d(x-20,y-10)/4+128", "c2m(x,y)+r2x(d,m)",
      "r2y(d*2,M)/8+sin(x*16)/4+cos(y*8)/4+tan(x)/64+128", "i+u-v+map(3,y*8)/2"}},
    {"MapsSlidersAndCells",
     19,
     31,
     3,
     3,
     {},
     true,
     {"map(0,c)", "map(1,c)^ctl(7)", "val(4,0,c)+put(get(x&7)+1,x&7)", "a"}},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class EndToEnd : public ::testing::TestWithParam<Case> {};

TEST_P(EndToEnd, PassEqualsTheReferenceEvaluator) {
    const Case& c = GetParam();
    FakeHost host;
    ASSERT_NE(host.entry, nullptr);
    FilterDefinition* d = host.LoadFormulas(c.formula);
    ASSERT_NE(d, nullptr);
    d->hasDialog = 0;  // a parameters call then opens no window; start compiles by itself
    const int32_t sliders[8] = {30, 200, 255, 0, 100, 100, 7, 250};
    std::memcpy(d->sliderValue, sliders, sizeof sliders);

    host.SetImage(c.width, c.height, c.planes, c.pad);
    HostArea area = c.area.right ? c.area : host.record.filterArea;
    host.record.filterArea = area;
    // The host hands over buffers that start at the area's top-left pixel.
    const size_t offset = size_t(area.top) * host.record.inRowBytes + size_t(area.left) * c.planes;
    host.record.inData = host.in.data() + offset;
    host.record.outData = host.out.data() + offset;
    std::vector<uint8_t> expected = host.out;

    ASSERT_EQ(host.Apply(c.parameters), kResultOk);
    for (int k = 0; k < 4; ++k) ASSERT_EQ(host.state()->compileFailed[k], 0) << c.formula[k];

    // The reference walks its own state block, prepared from scratch.
    gModule = reinterpret_cast<HINSTANCE__*>(GetModuleHandleA(nullptr));
    auto* ref = static_cast<PluginState*>(AllocBlock(sizeof(PluginState)));
    ASSERT_NE(ref, nullptr);
    BuildTrigTables(ref);
    std::memcpy(ref->slider, sliders, sizeof sliders);
    for (int i = 0; i < 4; ++i) BuildMapTable(sliders[2 * i], sliders[2 * i + 1], ref->mapTable[i]);
    ref->randIndexA = 0;
    ref->randIndexB = 31;
    SeedRandom(0, ref->randTable);
    ref->xEnd = area.right - area.left;
    ref->yEnd = area.bottom - area.top;
    ref->zEnd = c.planes;
    ref->areaLeft = area.left;
    ref->areaTop = area.top;
    ref->areaRight = area.right;
    ref->areaBottom = area.bottom;
    ref->inRowBytes = ref->outRowBytes = host.record.inRowBytes;
    ref->inBase = host.in.data() + offset;
    ref->outBase = expected.data() + offset;
    RefProgram programs[4];
    for (int k = 0; k < 4; ++k) RefCompile(c.formula[k], programs[k]);
    RefRunPass(programs, *ref);

    // The whole buffer: pixels outside the area and the row padding must
    // keep the host's fill on both sides.
    size_t mismatches = 0, first = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        if (expected[i] != host.out[i] && mismatches++ == 0) first = i;
    EXPECT_EQ(mismatches, 0u) << "first at byte " << first << " (row "
                              << first / host.record.outRowBytes << "): pass "
                              << int(host.out[first]) << ", reference " << int(expected[first]);
    FreeBlock(ref);
}

INSTANTIATE_TEST_SUITE_P(Images, EndToEnd, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
