// lumora check, fx, apply --settings and many files, end to end: lumora.exe
// as a child process with the build's Tinctor plug-in (its default) and the
// test plug-in of testplug/.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>

#include "tests/host/lumora_fixture.h"

namespace {

using Pixel = std::array<int, 4>;
using Expected = Pixel (*)(const uint8_t* in, int32_t x, int32_t y);

std::string Settings(const std::string& sliders, const std::vector<std::string>& formulas) {
    std::string text = "%RGB-1.0\r" + sliders;
    for (const std::string& f : formulas) text += f + "\r\r";
    return text;
}

std::string Terms(int n) {
    std::string f = "cnv(1,1,1,1,1,1,1,1,1,9)";
    for (int i = 1; i < n; ++i) f += "+cnv(1,1,1,1,1,1,1,1,1,9)";
    return f;
}

// The bytes "check" reports for one formula ("ok, N of" or "needs N of").
int ReportedBytes(const std::string& formula) {
    LumoraRun r = RunLumora({"check", formula});
    size_t at = r.out.find(r.status == 0 ? "ok, " : "needs ");
    int n = -1;
    if (at != std::string::npos) std::sscanf(r.out.c_str() + r.out.find(' ', at) + 1, "%d", &n);
    return n;
}

TEST_F(Lumora, CheckReportsEachFormulaAsTheCompilerSeesIt) {
    std::string good = dir_.file("good.tfs"), bad = dir_.file("bad.tfs");
    WriteBytes(good, Settings("0\r0\r0\r0\r0\r0\r0\r0\r", {"255-r", "min(1)", "b/2", "a"}));
    WriteBytes(bad, "%RGB-1.0\r\n0\r");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* part;
    } cases[] = {
        {{"r+g", "1 << 2 < 3"}, 0, "formula 2: ok, "},
        {{"r", "min(1)"}, 2, "formula 2: syntax error at column 6:\r\n  min(1)\r\n       ^\r\n"},
        {{Terms(20)}, 2, "too big for the code buffer: it needs "},
        {{Terms(20) + ")"}, 2, "it needs more than its 2048 bytes, which run out at column"},
        {{std::string(1100, 'r')}, 2, "1100 characters, more than the 1023 a formula holds"},
        {{"--file", good}, 2, "red: ok, "},
        {{"--file", good}, 2, "green: syntax error at column 6:"},
        {{"--file", bad}, 2, "This file may not have the correct format."},
        {{"r", "--from", plugins_ + "\\LumoraTest.lmf"}, 2, "no export 'TinctorCheckFormula'"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"check"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        LumoraRun r = RunLumora(args);
        EXPECT_EQ(r.status, c.status) << c.part << "\n" << r.out << r.err;
        EXPECT_NE((r.out + r.err).find(c.part), std::string::npos) << r.out << r.err;
    }
    // What a formula too big would take grows by the same bytes per term as
    // the code of one that fits.
    int two = ReportedBytes(Terms(2)), four = ReportedBytes(Terms(4));
    EXPECT_GT(ReportedBytes(Terms(12)), 2048);
    EXPECT_EQ(ReportedBytes(Terms(12)), two + (four - two) * 5);
}

TEST_F(Lumora, FxRunsTheFormulasOverEveryPixel) {
    Image img = Pattern(9, 7, true);
    std::string in = Save(img, "in.png"), out = dir_.file("out.png");
    struct Case {
        std::vector<std::string> args;
        Expected want;  // null: the formula does not compile
    } cases[] = {
        {{"255-c"},
         [](const uint8_t* p, int32_t, int32_t) -> Pixel {
             return {255 - p[0], 255 - p[1], 255 - p[2], p[3]};
         }},
        {{"c", "--red", "255-r", "--alpha", "x*10"},
         [](const uint8_t* p, int32_t x, int32_t) -> Pixel {
             return {255 - p[0], p[1], p[2], x * 10};
         }},
        {{"ctl(0)+ctl(7)", "--slider", "0=70", "--slider", "7=7"},
         [](const uint8_t* p, int32_t, int32_t) -> Pixel {
             return {77, 77, 77, p[3]};
         }},
        {{"x+y*16", "--area", "2,1,6,5"},
         [](const uint8_t* p, int32_t x, int32_t y) -> Pixel {
             if (x < 2 || x >= 6 || y < 1 || y >= 5) return {p[0], p[1], p[2], p[3]};
             int v = (x - 2) + (y - 1) * 16;
             return {v, v, v, p[3]};
         }},
        {{"min(1)"}, nullptr},
        {{"c", "--blue", "b +"}, nullptr},
    };
    for (const Case& c : cases) {
        DeleteFileA(out.c_str());
        std::vector<std::string> args = {"fx"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {in, out});
        LumoraRun r = RunLumora(args);
        if (!c.want) {
            EXPECT_EQ(r.status, 2) << c.args[0];
            EXPECT_NE(r.err.find("syntax error at column"), std::string::npos) << r.err;
            ExpectNoOutput(out);
            continue;
        }
        ASSERT_EQ(r.status, 0) << c.args[0] << r.err;
        EXPECT_NE(r.out.find("out.png: 9x7 filtered with fx"), std::string::npos) << r.out;
        Image res = Load(out);
        for (int32_t y = 0; y < img.height; ++y)
            for (int32_t x = 0; x < img.width; ++x) {
                Pixel want = c.want(img.pixel(x, y), x, y);
                for (int p = 0; p < 4; ++p)
                    ASSERT_EQ(res.pixel(x, y)[p], want[p]) << c.args[0] << " at " << x << "," << y;
            }
    }
}

TEST_F(Lumora, ApplySettingsLoadsTheFileAsTheEditorDoes) {
    Image img = Pattern(8, 5, false);
    std::string in = Save(img, "in.png"), out = dir_.file("out.png"), tfs = dir_.file("s.tfs");
    const std::string sliders = "77\r0\r0\r0\r0\r0\r0\r9\r";
    struct Case {
        std::string settings;
        std::vector<std::string> extra;
        int status;
        const char* message;
    } cases[] = {
        {Settings(sliders, {"255-r", "ctl(0)", "b/2", "a"}), {}, 0, ""},
        // A formula that does not compile loads, and its channel comes out 0.
        {Settings(sliders, {"min(1)", "ctl(0)", "b/2", "a"}), {}, 0, "warning: red: syntax error"},
        {"%RGB-1.0\r\n77\r", {}, 2, "This file may not have the correct format."},
        {Settings(sliders, {"r", "g", "b", "a"}),
         {"--plugins", plugins_, "--filter", "host test invert"},
         2,
         "no export 'TinctorCheckFormula'"},
    };
    for (const Case& c : cases) {
        DeleteFileA(out.c_str());
        WriteBytes(tfs, c.settings);
        std::vector<std::string> args = {"apply", "--settings", tfs, in, out};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        LumoraRun r = RunLumora(args);
        EXPECT_EQ(r.status, c.status) << c.message << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        if (c.status != 0) {
            ExpectNoOutput(out);
            continue;
        }
        Image res = Load(out);
        bool redFails = c.settings.find("min(1)") != std::string::npos;
        for (int32_t x = 0; x < img.width; ++x) {
            const uint8_t *p = img.pixel(x, 4), *q = res.pixel(x, 4);
            EXPECT_EQ(q[0], redFails ? 0 : 255 - p[0]);
            EXPECT_EQ(q[1], 77);
            EXPECT_EQ(q[2], p[2] / 2);
        }
    }
}

TEST_F(Lumora, ManyFilesGoIntoTheOutputFolderAndFailOneByOne) {
    Image img = Pattern(9, 7, false);
    std::string folder = dir_.file("out");
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> inputs = {Save(img, "a.png"), Save(img, "b.bmp"),
                                       dir_.file("none.png"), Save(img, "a.bmp")};
    std::vector<std::string> fx = {"fx", "255-c", "--out-dir", folder, "--format", "png"};
    fx.insert(fx.end(), inputs.begin(), inputs.end());
    LumoraRun r = RunLumora(fx);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.out.find("out\\a.png: 9x7 filtered with fx"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("out\\b.png: 9x7 filtered with fx"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("4 files: 2 written, 2 failed"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("cannot read image " + inputs[2]), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("would replace another input or result"), std::string::npos) << r.err;
    EXPECT_TRUE(Inverted(img, Load(folder + "\\b.png"), 8, 6, 3));

    // Without --repeat the plug-in is asked for its parameters once; the
    // second file repeats them. Each result keeps its input's format.
    LumoraRun apply = RunLumora({"apply", "--plugins", plugins_, "--filter", "host test invert",
                                 "--out-dir", folder, "--quiet", inputs[0], inputs[1]},
                                {{"LUMORA_TEST_LOG", log_}});
    EXPECT_EQ(apply.status, 0) << apply.err;
    EXPECT_EQ(apply.out, "");
    EXPECT_EQ(Count(Log(), "selector 1 "), 1) << Log();
    EXPECT_EQ(Count(Log(), "selector 4 "), 2) << Log();
    EXPECT_EQ(FileBytes(folder + "\\b.bmp").substr(0, 2), "BM");
}

TEST_F(Lumora, OutputFolderIsCheckedBeforeTheInputIsRead) {
    std::string missing = dir_.file("missing.png"), nowhere = dir_.file("nowhere");
    LumoraRun single = Apply(missing, nowhere + "\\out.png");
    LumoraRun many = RunLumora({"fx", "c", missing, "--out-dir", nowhere});
    for (const LumoraRun& r : {single, many}) {
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("folder " + nowhere), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("cannot read"), std::string::npos) << r.err;
    }
}

}  // namespace
