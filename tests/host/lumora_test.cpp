// lumora.exe end to end: a child process per case, driving the test
// plug-ins of testplug/ (their behaviour is chosen through LUMORA_TEST_MODE,
// and they log what they saw to LUMORA_TEST_LOG) and the build's plug-ins.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <sstream>

#include "host/image_io.h"
#include "tests/host/lumora_run.h"

namespace {

const std::string kTestPlugins = HOSTTEST_DIR;

ImageCodecs& Codecs() {
    static ImageCodecs codecs;
    return codecs;
}

// Samples that differ per pixel and per plane, so a wrong stride, offset or
// plane order shows in the output.
Image Pattern(int32_t w, int32_t h, bool alpha) {
    Image img(w, h, alpha);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = img.pixel(x, y);
            p[0] = uint8_t(x * 7 + y);
            p[1] = uint8_t(y * 11 + 3);
            p[2] = uint8_t((x * y) ^ 0x5A);
            p[3] = uint8_t(alpha ? 40 + x * 3 : 255);
        }
    return img;
}

bool Inverted(const Image& in, const Image& out, int32_t x, int32_t y, int planes) {
    for (int p = 0; p < planes; ++p)
        if (out.pixel(x, y)[p] != 255 - in.pixel(x, y)[p]) return false;
    return true;
}

bool Same(const Image& in, const Image& out, int32_t x, int32_t y, int planes) {
    return std::equal(in.pixel(x, y), in.pixel(x, y) + planes, out.pixel(x, y));
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class Lumora : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Codecs().ok());
        plugins_ = dir_.file("plugins");
        CreateDirectoryA(plugins_.c_str(), nullptr);
        ASSERT_TRUE(CopyInto(kTestPlugins + "\\LumoraTest.lmf", plugins_));
        log_ = dir_.file("plugin.log");
    }

    std::string Save(const Image& img, const std::string& name) {
        std::string path = dir_.file(name), error;
        EXPECT_TRUE(SaveImageFile(img, path, path, error)) << error;
        return path;
    }

    Image Load(const std::string& path) {
        Image img;
        std::string error;
        EXPECT_TRUE(LoadImageFile(path, img, error)) << path << ": " << error;
        return img;
    }

    // lumora apply with the test plug-in; `extra` goes after IN OUT.
    LumoraRun Apply(const std::string& in, const std::string& out,
                    std::vector<std::string> extra = {}, const std::string& mode = "") {
        std::vector<std::string> args = {
            "apply", "--plugins", plugins_, "--filter", "host test invert", in, out};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunLumora(args, {{"LUMORA_TEST_MODE", mode}, {"LUMORA_TEST_LOG", log_}});
    }

    std::string Log() { return ReadText(log_); }

    // Neither the output nor its temporary may be left behind.
    void ExpectNoOutput(const std::string& out) {
        EXPECT_FALSE(FileExists(out)) << out;
        EXPECT_FALSE(FileExists(out + ".lumora-partial"));
    }

    TempFolder dir_;
    std::string plugins_, log_;
};

// ---- bad input: exit 2 with one clear line, never an output file ----------

TEST_F(Lumora, RefusesBadInputWithExitTwoAndNoOutput) {
    std::string good = Save(Pattern(8, 8, false), "in.png");
    std::string out = dir_.file("out.png");
    WriteText(dir_.file("text.png"), "this is not an image");
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
    WriteText(plugins_ + "\\NotADll.lmf", "MZ? no, just text");
    WriteText(plugins_ + "\\readme.txt", "not a plug-in name");
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
        std::string head = ReadText(out).substr(0, 4);
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
        if (c.tolerance == 0)
            EXPECT_EQ(worst, 0) << c.name;
        else
            EXPECT_LE(total / (16 * 12 * 3), c.tolerance) << c.name;
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

// ---- apply without --repeat: the plug-in's dialog ---------------------------

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
        for (int i = 0; i < 600 && child.running(); ++i) {
            HWND dialog = FindWindowA("#32770", kDialogTitle);
            if (dialog && IsWindowVisible(dialog) &&
                Log().find("dialog paint display=0 at ") != std::string::npos)
                return dialog;
            Sleep(50);
        }
        return nullptr;
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

    Image image_;
    std::string in_, out_;
};

// Reads w x h pixels of the screen at (x, y) as 0xRRGGBB.
std::vector<uint32_t> ScreenPixels(int x, int y, int w, int h) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS,
                                      reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, x, y, SRCCOPY);
    GdiFlush();
    std::vector<uint32_t> pixels(bits, bits + size_t(w) * h);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// A left click at the centre of `window`, through the system's input queue.
void ClickAt(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    INPUT input[3] = {};
    for (INPUT& i : input) {
        i.type = INPUT_MOUSE;
        i.mi.dx = x * 65536 / sw + 1;
        i.mi.dy = y * 65536 / sh + 1;
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    input[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    input[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(3, input, sizeof(INPUT));
}

TEST_F(LumoraDialog, OkAppliesTheFilterAfterTheDialogShowedTheSample) {
    LumoraChild child(Args(), Env());
    HWND dialog = WaitForDialog(child);
    ASSERT_NE(dialog, nullptr) << Log();
    std::string log = Log();
    EXPECT_NE(log.find("dialog owner=host"), std::string::npos) << log;
    EXPECT_NE(log.find("dialog advance=0 factor=3 sample=1,2,32,46"), std::string::npos) << log;

    // The preview on the screen: the reduced sample, inverted, one source
    // pixel (the top-left one) of every 3 x 3 block.
    POINT at = PreviewOrigin();
    std::vector<uint32_t> shown = ScreenPixels(at.x, at.y, kSampleWidth, kSampleHeight);
    int wrong = 0;
    for (int y = 0; y < kSampleHeight; ++y)
        for (int x = 0; x < kSampleWidth; ++x) {
            const uint8_t* p =
                image_.pixel((kSampleLeft + x) * kFactor, (kSampleTop + y) * kFactor);
            uint32_t expected =
                uint32_t(255 - p[0]) << 16 | uint32_t(255 - p[1]) << 8 | (255 - p[2]);
            if (shown[size_t(y) * kSampleWidth + x] != expected && wrong++ < 5)
                ADD_FAILURE() << "preview pixel " << x << "," << y << ": " << std::hex
                              << shown[size_t(y) * kSampleWidth + x] << " instead of " << expected;
        }
    EXPECT_EQ(wrong, 0);

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
    POINT at = PreviewOrigin();
    std::vector<uint32_t> shown = ScreenPixels(at.x, at.y, kSampleWidth, kSampleHeight);
    int wrong = 0;
    for (int y = 0; y < kSampleHeight; ++y)
        for (int x = 0; x < kSampleWidth; ++x) {
            const uint8_t* p =
                image_.pixel((kSampleLeft + x) * kFactor, (kSampleTop + y) * kFactor);
            // Every plane inverted, the alpha plane too; squares of 8 from
            // the preview's corner, light first.
            uint32_t m = 255 - p[3], bg = ((y / 8 + x / 8) % 2) ? 204 : 255, expected = 0;
            for (int c = 0; c < 3; ++c)
                expected = expected << 8 | ((255 - p[c]) * m + bg * (255 - m) + 127) / 255;
            if (shown[size_t(y) * kSampleWidth + x] != expected && wrong++ < 5)
                ADD_FAILURE() << "preview pixel " << x << "," << y << ": " << std::hex
                              << shown[size_t(y) * kSampleWidth + x] << " instead of " << expected;
        }
    EXPECT_EQ(wrong, 0);
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
        ClickAt(cancel);
        for (int i = 0; i < 40 && child.running(); ++i) Sleep(50);
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
