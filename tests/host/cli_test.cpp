#include <gtest/gtest.h>

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
        {{"list", "--repeat"}, "belongs to the apply command"},
        {{"list", "--filter", "X"}, "does not belong"},
        {{"list", "extra"}, "unexpected argument"},
        {{"about"}, "--filter NAME is required"},
    };
    for (const BadLine& c : cases) {
        ParseResult r = ParseCommandLine(c.args);
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
    EXPECT_EQ(o.input, "in.png");
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
    for (const char* word :
         {"list", "apply", "about", "--plugins", "--filter", "--area", "--mask", "--transparency",
          "--repeat", "--quiet", "--time", "--abort-at-row", "Exit status"})
        EXPECT_NE(usage.find(word), std::string::npos) << word;
}

}  // namespace
