#include <gtest/gtest.h>

#include "host/check_report.h"
#include "host/cli.h"

namespace {

ParseResult Parse(std::initializer_list<const char*> args) {
    return ParseCommandLine(std::vector<std::string>(args.begin(), args.end()));
}

struct BadLine {
    std::vector<std::string> args;
    const char* errorPart;
};

TEST(CommandLine, RejectsBadUsageWithAReason) {
    const BadLine cases[] = {
        {{}, "no command"},
        {{"frobnicate"}, "unknown command"},
        {{"apply", "--filter", "X", "in.png"}, "input and an output"},
        {{"apply", "--filter", "X", "a.png", "b.png", "c.png"}, "input and an output"},
        {{"apply", "a.png", "b.png"}, "--filter NAME is required"},
        {{"apply", "--filter"}, "needs a value"},
        {{"apply", "--filter", "X", "a", "b", "--area", "1,2,3"}, "bad --area"},
        {{"apply", "--filter", "X", "a", "b", "--area", "5,0,4,9"}, "bad --area"},
        {{"apply", "--filter", "X", "a", "b", "--abort-at-row", "x"}, "bad --abort-at-row"},
        {{"apply", "--filter", "X", "a", "b", "--colour"}, "unknown option"},
        {{"list", "--repeat"}, "--repeat does not belong to the list command"},
        {{"list", "--filter", "X"}, "does not belong"},
        {{"make", "s", "o", "--title", "T", "--category", "C", "--slider", "1=300"}, ""},
        {{"fx", "r", "a", "b", "--slider", "1=300"}, "bad --slider '1=300'"},
        {{"fx", "r", "a", "b", "--slider", "1=3", "--slider", "1=4"}, "given twice"},
        {{"fx", "r", "a"}, "input and an output"},
        {{"fx"}, "needs a formula"},
        {{"fx", "r", "--out-dir", "d"}, "at least one input"},
        {{"fx", "r", "a", "b", "--format", "png"}, "--format goes with --out-dir"},
        {{"fx", "r", "a", "--out-dir", "d", "--format", "gif"}, "bad --format 'gif'"},
        {{"fx", "r", "a", "b", "--filter", "X"}, "--filter does not belong to the fx command"},
        {{"check"}, "needs a formula"},
        {{"check", "r", "--file", "x.tfs"}, "not both"},
        {{"apply", "--settings", "s.tfs", "in.png"}, "input and an output"},
        {{"list", "extra"}, "unexpected argument"},
        {{"about"}, "--filter NAME is required"},
    };
    for (const BadLine& c : cases) {
        ParseResult r = ParseCommandLine(c.args);
        if (!*c.errorPart) EXPECT_EQ(r.error, "") << c.args[0];  // a label may hold "=300"
        else
            EXPECT_NE(r.error.find(c.errorPart), std::string::npos)
                << "args[0]=" << (c.args.empty() ? "" : c.args[0]) << " error='" << r.error << "'";
    }
}

TEST(CommandLine, ApplyTakesEveryOptionInAnyOrder) {
    ParseResult r =
        Parse({"apply", "in.png", "--quiet", "--filter", "Tinctor Grain...", "--plugins", "C:\\p",
               "--area", "1,2,30,40", "--transparency", "--repeat", "--time", "--abort-at-row",
               "20", "--mask", "m.png", "out.bmp"});
    ASSERT_EQ(r.error, "");
    const Options& o = r.options;
    EXPECT_EQ(o.command, Command::Apply);
    EXPECT_EQ(o.inputs, std::vector<std::string>{"in.png"});
    EXPECT_EQ(o.output, "out.bmp");
    EXPECT_EQ(o.filter, "Tinctor Grain...");
    EXPECT_EQ(o.pluginDir, "C:\\p");
    ASSERT_TRUE(o.area.has_value());
    EXPECT_EQ(o.area->left, 1);
    EXPECT_EQ(o.area->top, 2);
    EXPECT_EQ(o.area->right, 30);
    EXPECT_EQ(o.area->bottom, 40);
    EXPECT_EQ(o.maskFile, "m.png");
    EXPECT_TRUE(o.transparency && o.repeat && o.quiet && o.time);
    EXPECT_EQ(o.abortAtRow, 20);
}

TEST(CommandLine, FxAndManyFilesTakeTheirOptions) {
    ParseResult r = Parse({"fx", "--slider", "7=255", "255-c", "a.png", "--green", "g", "b.jpg",
                           "--out-dir", "out", "--format", "tif", "--", "-c.png"});
    ASSERT_EQ(r.error, "");
    const Options& o = r.options;
    EXPECT_EQ(o.command, Command::Fx);
    EXPECT_EQ(o.expression, "255-c");
    EXPECT_EQ(o.inputs, (std::vector<std::string>{"a.png", "b.jpg", "-c.png"}));
    EXPECT_EQ(o.outDir, "out");
    EXPECT_EQ(o.format, "tif");
    EXPECT_EQ(o.channel[1], "g");
    EXPECT_FALSE(o.channel[0] || o.channel[2] || o.channel[3]);
    EXPECT_TRUE(o.sliderSet[7] && !o.sliderSet[0]);
    EXPECT_EQ(o.sliderValue[7], 255);
    // Red, green and blue each given: EXPR may be left out, or given.
    for (auto words : {std::vector<std::string>{"a.png", "b.png"}, {"c", "a.png", "b.png"}}) {
        std::vector<std::string> args{"fx", "--red", "g", "--green", "b", "--blue", "r"};
        args.insert(args.end(), words.begin(), words.end());
        ParseResult own = ParseCommandLine(args);
        ASSERT_EQ(own.error, "");
        EXPECT_EQ(own.options.inputs, std::vector<std::string>{"a.png"});
        EXPECT_EQ(own.options.output, "b.png");
    }
    // Without --filter, apply --settings runs the Tinctor plug-in.
    EXPECT_EQ(Parse({"apply", "--settings", "s.tfs", "a.png", "b.png"}).error, "");
}

TEST(CommandLine, OutputNamesFollowTheInputs) {
    struct Case {
        const char* input;
        const char* format;
        const char* output;
    } cases[] = {
        {"photos\\a.jpg", "", "out\\a.jpg"}, {"/tmp/b.tif", "png", "out\\b.png"},
        {"c.d.bmp", "jpg", "out\\c.d.jpg"},  {"noext", "", "out\\noext"},
        {"x/.png", "", "out\\.png"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OutputPathFor(c.input, "out", c.format), c.output) << c.input;
    EXPECT_EQ(OutputPathFor("a.png", "d:\\", ""), "d:\\a.png");
}

TEST(CommandLine, DefaultsLeaveTheWholeImageAndNoAbort) {
    ParseResult r = Parse({"apply", "--filter", "X", "a.png", "b.png"});
    ASSERT_EQ(r.error, "");
    EXPECT_FALSE(r.options.area.has_value());
    EXPECT_EQ(r.options.abortAtRow, -1);
    EXPECT_TRUE(r.options.pluginDir.empty());
    EXPECT_FALSE(r.options.repeat);
}

TEST(CommandLine, HelpWinsAnywhere) {
    EXPECT_EQ(Parse({"--help"}).options.command, Command::Help);
    EXPECT_EQ(Parse({"apply", "--help"}).options.command, Command::Help);
    EXPECT_EQ(Parse({"list", "-h"}).error, "");
}

TEST(AreaText, AcceptsOnlyFourOrderedSixteenBitNumbers) {
    struct Case {
        const char* text;
        bool ok;
    } cases[] = {
        {"0,0,10,10", true},    {"3,4,3,4", true},   {"0,0,32767,32767", true},
        {"0,0,32768,1", false}, {"-1,0,5,5", false}, {"1,2,3", false},
        {"1,2,3,4,5", false},   {"1,,3,4", false},   {"a,b,c,d", false},
        {"1,2,3,4 ", false},    {"", false},         {"0,5,5,4", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseArea(c.text).has_value(), c.ok) << c.text;
}

TEST(Usage, DocumentsEveryCommandAndOption) {
    const std::string usage = kUsageText;
    for (const OptionRow& row : OptionTable())
        EXPECT_NE(usage.find(std::string("\n  ") + row.name), std::string::npos) << row.name;
    for (Command c : {Command::List, Command::Apply, Command::About, Command::Make, Command::Export,
                      Command::Check, Command::Fx})
        EXPECT_NE(usage.find(std::string("  lumora ") + CommandName(c)), std::string::npos)
            << CommandName(c);
    EXPECT_NE(usage.find("Exit status"), std::string::npos);
}

}  // namespace

TEST(CheckReport, PutsTheCaretUnderTheEditorsRange) {
    struct Case {
        const char* formula;
        FormulaCheck check;  // size, status, errorStart, errorEnd, codeBytes, capacity, maxLength
        const char* report;
    } cases[] = {
        {"r+g", {0, kFormulaOk, 3, 3, 26, 2048, 1023}, "f: ok, 26 of 2048 code bytes\n"},
        {"min(1)",
         {0, kFormulaSyntax, 5, 6, 0, 2048, 1023},
         "f: syntax error at column 6:\n  min(1)\n       ^\n"},
        {"r +",
         {0, kFormulaSyntax, 3, 3, 0, 2048, 1023},
         "f: syntax error at column 4, the end of the formula:\n  r +\n     ^\n"},
        {"r\r\n\tgg +, b",
         {0, kFormulaSyntax, 4, 6, 0, 2048, 1023},
         "f: syntax error at line 2, column 2:\n  \tgg +, b\n  \t^^\n"},
        {"d+d+d",
         {0, kFormulaTooBig, 4, 5, 2391, 2048, 1023},
         "f: too big for the code buffer: it needs 2391 of its 2048 bytes, which run out at "
         "column 5:\n  d+d+d\n      ^\n"},
        {"d+d+)",
         {0, kFormulaTooBig, 2, 3, -1, 2048, 1023},
         "f: too big for the code buffer: it needs more than its 2048 bytes, which run out at "
         "column 3:\n  d+d+)\n    ^\n"},
        {"r+g+b",
         {0, kFormulaTooLong, 3, 5, 0, 2048, 3},
         "f: 5 characters, more than the 3 a formula holds; the rest starts at column 4:\n"
         "  r+g+b\n     ^^\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(DescribeCheck("f", c.formula, c.check), c.report);
}
