// lumora.exe end to end: a child process per case, driving the test
// plug-ins of testplug/ (their behaviour is chosen through LUMORA_TEST_MODE,
// and they log what they saw to LUMORA_TEST_LOG) and the build's plug-ins.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <sstream>

#include "tests/host/lumora_fixture.h"

namespace {

// ---- bad input: exit 2 with one clear line, never an output file ----------

TEST_F(Lumora, RefusesBadInputWithExitTwoAndNoOutput) {
    std::string good = Save(Pattern(8, 8, false), "in.png");
    std::string out = dir_.file("out.png");
    WriteBytes(dir_.file("text.png"), "this is not an image");
    CopyInto(kTestPlugins + "\\FailLoad.lmf", plugins_);
    CopyInto(kTestPlugins + "\\BadExport.lmf", plugins_);
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"apply", "--plugins", plugins_, "--filter", "host test invert", dir_.file("missing.png"),
          out},
         "cannot read image"},
        {{"apply", "--plugins", plugins_, "--filter", "host test invert", dir_.file("text.png"),
          out},
         "not a readable"},
        {{"apply", "--plugins", plugins_, "--filter", "No Such Filter", good, out},
         "no filter named 'No Such Filter'"},
        {{"apply", "--plugins", plugins_, "--filter", "Fail Load", good, out},
         "cannot load plug-in"},
        {{"apply", "--plugins", plugins_, "--filter", "Bad Export", good, out},
         "no export 'MissingEntry'"},
        {{"apply", "--plugins", dir_.file("nowhere"), "--filter", "x", good, out},
         "no plug-in folder"},
        {{"apply", "--plugins", plugins_, "--filter", "host test invert", good,
          dir_.file("out.xyz")},
         "unknown output format"},
        {{"apply", "--plugins", plugins_, "--filter", "host test invert", good, out, "--area",
          "0,0,9,8"},
         "reaches outside"},
        {{"apply", "--filter", "x", good}, "needs an input and an output"},
        {{"apply", "--plugins", plugins_, "--filter", "host test invert", good, out, "--bogus"},
         "unknown option"},
        {{}, "Usage:"},
    };
    for (const Case& c : cases) {
        LumoraRun r = RunLumora(c.args);
        EXPECT_EQ(r.status, 2) << c.message << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        ExpectNoOutput(out);
        ExpectNoOutput(dir_.file("out.xyz"));
    }
}

TEST_F(Lumora, ReportsPluginErrorCodesWithTheirMeaning) {
    std::string in = Save(Pattern(8, 8, false), "in.png"), out = dir_.file("out.png");
    struct Case {
        const char* mode;
        int status;
        const char* message;
    } cases[] = {
        {"fail=1:-108", 2, "failed at parameters: error -108 (out of memory)"},
        {"fail=2:-108", 2, "failed at prepare: error -108 (out of memory)"},
        {"fail=3:-30100", 2, "failed at start: error -30100 (bad selector)"},
        {"fail=4:-108", 2, "failed at continue: error -108 (out of memory)"},
        {"fail=4:-42", 2, "error -42 (unknown error)"},
        {"fail=3:1", 1, "cancelled"},
        {"fail=4:1", 1, "the filter was stopped"},
        {"crash=4", 2, "the plug-in crashed during continue (exception 0xC0000005)"},
        {"crash=3", 2, "the plug-in crashed during start"},
        // Requests the host cannot serve end the run with what was asked.
        {"wide,strict", 2, "asked for input: an area reaching outside the 8x8 image"},
        {"keeprate", 2, "asked to filter at a sampling rate of 131072/65536, not 1.0"},
    };
    for (const Case& c : cases) {
        LumoraRun r = Apply(in, out, {"--quiet"}, c.mode);
        EXPECT_EQ(r.status, c.status) << c.mode << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.mode << ": " << r.err;
        ExpectNoOutput(out);
    }
}

// ---- list --------------------------------------------------------------------

TEST_F(Lumora, ListShowsFiltersAndSkipsOtherFilesWithAReason) {
    for (const char* name : {"WrongKind", "WrongHost", "NoEntry", "NoPipl", "FailLoad"})
        ASSERT_TRUE(CopyInto(kTestPlugins + "\\" + name + ".lmf", plugins_));
    WriteBytes(plugins_ + "\\NotADll.lmf", "MZ? no, just text");
    WriteBytes(plugins_ + "\\readme.txt", "not a plug-in name");
    LumoraRun r = RunLumora({"list", "--plugins", plugins_});
    EXPECT_EQ(r.status, 0) << r.err;
    // FailLoad's DllMain refuses to load: listing it proves no plug-in code ran.
    EXPECT_NE(r.out.find("Host Tests  Host Test Invert...  LumoraTest.lmf"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Fail Load"), std::string::npos) << r.out;
    struct Skip {
        const char* file;
        const char* reason;
    } skips[] = {
        {"WrongKind.lmf", "kind 'LMXT' is not a filter"}, {"WrongHost.lmf", "made for host 'OTHR'"},
        {"NoEntry.lmf", "no i386 entry point (wx86)"},    {"NoPipl.lmf", "no property list"},
        {"NotADll.lmf", "not a Windows library"},
    };
    for (const Skip& s : skips) {
        std::string line = std::string("warning: skipping ") + s.file + ": " + s.reason;
        EXPECT_EQ(Count(r.err, line), 1) << line << "\n" << r.err;
        EXPECT_EQ(r.out.find(s.file), std::string::npos) << s.file;
    }
    EXPECT_EQ(Count(r.err, "\n"), 5) << r.err;
    EXPECT_EQ(r.err.find("readme"), std::string::npos);
}

TEST_F(Lumora, ListOfAMissingFolderFails) {
    LumoraRun r = RunLumora({"list", "--plugins", dir_.file("nowhere")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no plug-in folder"), std::string::npos);
}

TEST(LumoraBuild, DefaultFolderListsBothTinctorPlugins) {
    for (bool explicitFolder : {false, true}) {
        std::vector<std::string> args = {"list"};
        if (explicitFolder) args.insert(args.end(), {"--plugins", BUILD_PLUGIN_DIR});
        LumoraRun r = RunLumora(args);
        EXPECT_EQ(r.status, 0) << r.err;
        std::istringstream lines(r.out);
        bool grain = false, editor = false;
        for (std::string line; std::getline(lines, line);) {
            auto has = [&](const char* s) { return line.find(s) != std::string::npos; };
            grain |=
                line.rfind("Tinctor ", 0) == 0 && has("Tinctor Grain...") && has("Tinctor.lmf");
            editor |= line.rfind("Tinctor Tools", 0) == 0 && has("Tinctor Editor...") &&
                      has("TinctorEditor.lmf");
        }
        EXPECT_TRUE(grain && editor) << r.out;
    }
}

// ---- apply with the test plug-in -----------------------------------------

TEST_F(Lumora, InvertsTheFilterAreaOnlyThroughPaddedStrides) {
    Image img = Pattern(37, 23, false);
    std::string in = Save(img, "in.png"), out = dir_.file("out.png");
    for (const char* mode : {"", "wide"}) {  // "wide" asks for more than the filter area
        DeleteFileA(out.c_str());
        LumoraRun r = Apply(in, out, {"--area", "5,4,30,20", "--quiet"}, mode);
        ASSERT_EQ(r.status, 0) << mode << r.err;
        Image res = Load(out);
        ASSERT_EQ(res.width, 37);
        ASSERT_FALSE(res.alpha);
        for (int32_t y = 0; y < 23; ++y)
            for (int32_t x = 0; x < 37; ++x) {
                bool inside = x >= 5 && x < 30 && y >= 4 && y < 20;
                EXPECT_TRUE(inside ? Inverted(img, res, x, y, 3) : Same(img, res, x, y, 3))
                    << mode << " at " << x << "," << y;
            }
    }
    std::string log = Log();
    // 25 pixels x 3 planes = 75 bytes a row, handed over with a padded stride.
    EXPECT_NE(
        log.find(
            "continue in=4,5,20,30 out=4,5,20,30 planes=0..2 instride=84 outstride=84 used=75"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("in=1,2,23,33"), std::string::npos) << log;
    EXPECT_EQ(Count(log, "handle=lost"), 0) << log;
    EXPECT_EQ(Count(log, "window=no"), 0) << log;
}

TEST_F(Lumora, WarnsWhenThePluginWritesPastItsRows) {
    Image img = Pattern(13, 12, false);
    std::string in = Save(img, "in.png"), out = dir_.file("out.png");
    LumoraRun clean = Apply(in, out, {"--quiet"});
    EXPECT_EQ(clean.err.find("wrote past"), std::string::npos) << clean.err;
    LumoraRun r = Apply(in, out, {"--quiet"}, "overrun");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("warning: Host Test Invert... wrote past the end of its output rows"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(Inverted(img, Load(out), 12, 11, 3));  // the padding took the stray bytes
}

TEST_F(Lumora, DrivesSelectorsInOrderAndRepeatSkipsParameters) {
    std::string in = Save(Pattern(6, 5, false), "in.png"), out = dir_.file("out.png");
    ASSERT_EQ(Apply(in, out, {"--quiet"}).status, 0);
    std::string log = Log();
    size_t s1 = log.find("selector 1"), s2 = log.find("selector 2"), s3 = log.find("selector 3"),
           s4 = log.find("selector 4"), s5 = log.find("selector 5");
    ASSERT_NE(s5, std::string::npos) << log;
    EXPECT_TRUE(s1 < s2 && s2 < s3 && s3 < s4 && s4 < s5) << log;

    DeleteFileA(log_.c_str());
    ASSERT_EQ(Apply(in, out, {"--quiet", "--repeat"}).status, 0);
    log = Log();
    EXPECT_EQ(Count(log, "selector 1 "), 0) << log;
    EXPECT_EQ(Count(log, "selector 4 "), 1) << log;
    EXPECT_EQ(Count(log, "selector 5 "), 1) << log;
}

TEST_F(Lumora, ContinuesWhileThePluginRequestsMoreBands) {
    Image img = Pattern(9, 30, false);
    std::string in = Save(img, "in.png"), out = dir_.file("out.png");
    LumoraRun r = Apply(in, out, {"--quiet"}, "bands=7");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Count(Log(), "continue in="), 5);  // rows 0-6, 7-13, 14-20, 21-27, 28-29
    Image res = Load(out);
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 9; ++x) EXPECT_TRUE(Inverted(img, res, x, y, 3)) << x << "," << y;
}

TEST_F(Lumora, TransparencyPlaneIsHandedOverAndKeptInPng) {
    struct Case {
        bool alphaInput;
        bool flag;
    } cases[] = {{false, false}, {true, false}, {false, true}};
    for (const Case& c : cases) {
        Image img = Pattern(11, 7, c.alphaInput);
        std::string in = Save(img, "in.png"), out = dir_.file("out.png");
        DeleteFileA(log_.c_str());
        std::vector<std::string> extra = {"--quiet"};
        if (c.flag) extra.push_back("--transparency");
        ASSERT_EQ(Apply(in, out, extra).status, 0);
        bool four = c.alphaInput || c.flag;
        std::string log = Log();
        EXPECT_NE(log.find(four ? "prepare planes=4 mode=3" : "prepare planes=3 mode=3"),
                  std::string::npos)
            << log;
        EXPECT_NE(log.find(four ? "planes=0..3" : "planes=0..2"), std::string::npos) << log;
        Image res = Load(out);
        EXPECT_EQ(res.alpha, four);
        EXPECT_TRUE(Inverted(img, res, 3, 2, four ? 4 : 3));
    }
}

TEST_F(Lumora, WritesTheFormatTheExtensionNames) {
    Image img = Pattern(16, 12, false);
    std::string in = Save(img, "in.png");
    struct Case {
        const char* name;
        int tolerance;
    } cases[] = {{"out.bmp", 0}, {"out.tif", 0}, {"out.jpg", 16}, {"out.PNG", 0}};
    for (const Case& c : cases) {
        std::string out = dir_.file(c.name);
        LumoraRun r = Apply(in, out, {"--quiet"});
        ASSERT_EQ(r.status, 0) << c.name << r.err;
        std::string head = FileBytes(out).substr(0, 4);
        const std::string name = c.name;
        if (name == "out.bmp") {
            EXPECT_EQ(head.substr(0, 2), "BM");
        } else if (name == "out.tif") {
            EXPECT_TRUE(head.substr(0, 2) == "II" || head.substr(0, 2) == "MM") << head;
        } else if (name == "out.jpg") {
            EXPECT_EQ(head.substr(0, 2), "\xFF\xD8");
        } else {
            EXPECT_EQ(head.substr(1, 3), "PNG");
        }
        Image res = Load(out);
        ASSERT_EQ(res.width, 16);
        // Lossless formats must match exactly; JPEG on average within its loss.
        int worst = 0, total = 0;
        for (int32_t y = 0; y < 12; ++y)
            for (int32_t x = 0; x < 16; ++x)
                for (int p = 0; p < 3; ++p) {
                    int d = std::abs(int(res.pixel(x, y)[p]) - (255 - img.pixel(x, y)[p]));
                    worst = std::max(worst, d);
                    total += d;
                }
        if (c.tolerance == 0) EXPECT_EQ(worst, 0) << c.name;
        else EXPECT_LE(total / (16 * 12 * 3), c.tolerance) << c.name;
    }
}

TEST_F(Lumora, AbortStopsWithExitOneAndNoOutput) {
    std::string in = Save(Pattern(8, 40, false), "in.png"), out = dir_.file("out.png");
    LumoraRun r = Apply(in, out, {"--abort-at-row", "10"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("stopped"), std::string::npos) << r.err;
    ExpectNoOutput(out);
    std::string log = Log();
    // Progress reached 10 at row 10; the next question, at row 20, is answered yes.
    EXPECT_NE(log.find("aborted at row 20"), std::string::npos) << log;
    EXPECT_EQ(Count(log, "selector 5 "), 1) << log;  // finish still follows start
}

TEST_F(Lumora, SampleRequestsAreReducedAndDrawable) {
    Image img = Pattern(30, 20, false);
    std::string in = Save(img, "in.png"), out = dir_.file("out.png");
    LumoraRun r = Apply(in, out, {"--quiet", "--time"}, "sample");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("continue: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" ms"), std::string::npos) << r.out;
    std::string log = Log();
    EXPECT_NE(log.find("sample advance=0 size=15x10"), std::string::npos) << log;
    EXPECT_NE(log.find("display result=0 mismatches=0"), std::string::npos) << log;
    Image res = Load(out);
    // The sample, pasted top-left: every second pixel of every second row.
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 15; ++x)
            EXPECT_TRUE(
                std::equal(img.pixel(2 * x, 2 * y), img.pixel(2 * x, 2 * y) + 3, res.pixel(x, y)))
                << x << "," << y;
    EXPECT_TRUE(Inverted(img, res, 20, 15, 3));
}

TEST_F(Lumora, MaskBlendsTheResultIntoTheOriginal) {
    Image img = Pattern(10, 4, false), mask(10, 4, false);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 10; ++x)
            std::fill(mask.pixel(x, y), mask.pixel(x, y) + 3, x < 5 ? 0 : 255);
    std::string in = Save(img, "in.png"), m = Save(mask, "mask.png"), out = dir_.file("out.png");
    ASSERT_EQ(Apply(in, out, {"--quiet", "--mask", m}).status, 0);
    Image res = Load(out);
    EXPECT_TRUE(Same(img, res, 2, 1, 3));
    EXPECT_TRUE(Inverted(img, res, 7, 1, 3));
}

TEST_F(Lumora, MaskSamplesFollowTheMaskRateAndNeedAMask) {
    Image img = Pattern(12, 6, false), mask(12, 6, false);
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 12; ++x) std::fill(mask.pixel(x, y), mask.pixel(x, y) + 3, x * 20);
    std::string in = Save(img, "in.png"), m = Save(mask, "mask.png"), out = dir_.file("out.png");
    ASSERT_EQ(Apply(in, out, {"--quiet", "--mask", m}, "masksample").status, 0);
    // Rate 2: columns 0 and 2 of the mask, grey 0 and 40.
    EXPECT_NE(Log().find("mask advance=0 samples=0,40"), std::string::npos) << Log();
    DeleteFileA(log_.c_str());
    ASSERT_EQ(Apply(in, out, {"--quiet"}, "masksample").status, 0);
    EXPECT_NE(Log().find("mask advance=-1 samples=-1,-1"), std::string::npos) << Log();
}

TEST_F(Lumora, ProgressBarOnlyToATerminal) {
    // Standard error is a file here: no bar, whether quiet or not.
    std::string in = Save(Pattern(4, 30, false), "in.png"), out = dir_.file("out.png");
    LumoraRun loud = Apply(in, out);
    EXPECT_EQ(loud.status, 0) << loud.err;
    EXPECT_EQ(loud.err.find('%'), std::string::npos) << loud.err;
    EXPECT_NE(loud.out.find("filtered with Host Test Invert..."), std::string::npos) << loud.out;
    LumoraRun quiet = Apply(in, out, {"--quiet"});
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(quiet.out, "");
}

TEST_F(Lumora, MissingOutputFolderFailsBeforeAnyFiltering) {
    std::string in = Save(Pattern(6, 6, false), "in.png");
    struct Case {
        std::string out;
        const char* message;
    } cases[] = {
        {dir_.file("nowhere\\out.png"), "no folder"},
        {plugins_ + ".png", ""},  // a sibling name: fine, written below
        {dir_.path(), "unknown output format"},
    };
    CreateDirectoryA(dir_.file("folder.png").c_str(), nullptr);
    LumoraRun folder = Apply(in, dir_.file("folder.png"));
    EXPECT_EQ(folder.status, 2);
    EXPECT_NE(folder.err.find("it is a folder"), std::string::npos) << folder.err;
    for (const Case& c : cases) {
        DeleteFileA(log_.c_str());
        LumoraRun r = Apply(in, c.out, {"--quiet"});
        if (!*c.message) {
            EXPECT_EQ(r.status, 0) << r.err;
            continue;
        }
        EXPECT_EQ(r.status, 2) << c.out;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(Count(r.err, "\n"), 1) << r.err;
        // Found out before the plug-in was even loaded.
        EXPECT_EQ(Log(), "") << c.out;
    }
}

TEST_F(Lumora, AboutGivesThePluginTheHostWindow) {
    LumoraRun r = RunLumora({"about", "--plugins", plugins_, "--filter", "LumoraTest.lmf"},
                            {{"LUMORA_TEST_LOG", log_}});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Log().find("selector 0 handle=kept window=yes"), std::string::npos) << Log();
    r = RunLumora({"about", "--plugins", plugins_, "--filter", "LumoraTest"},
                  {{"LUMORA_TEST_MODE", "fail=0:-30100"}});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("-30100 (bad selector)"), std::string::npos) << r.err;
}

}  // namespace
