// The settings-file codec on its own: the line format, escaping both ways,
// the reader's limits and the load rules.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "plugin_ui/settings_codec.h"

namespace {

FilterDefinition Definition(const std::vector<std::string>& formulas,
                            std::vector<int32_t> sliders = {}) {
    FilterDefinition d;
    std::memset(&d, 0, sizeof d);
    d.size = kDefinitionSize;
    for (size_t k = 0; k < 4 && k < formulas.size(); ++k)
        std::memcpy(d.formula[k], formulas[k].data(), formulas[k].size());
    for (size_t i = 0; i < sliders.size(); ++i) d.sliderValue[i] = sliders[i];
    return d;
}

std::string Escape(const std::string& piece) {
    char out[4 * 300 + 1];
    size_t n = EscapeSettingsText(out, piece.data(), piece.size());
    EXPECT_EQ(n, std::strlen(out));
    return std::string(out, n);
}

std::string Unescape(const std::string& line) {
    char out[kSettingsLineCapacity];
    size_t n = UnescapeSettingsText(out, line.c_str());
    return std::string(out, n);
}

std::vector<std::string> Lines(const std::string& file) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t cr; (cr = file.find('\r', start)) != std::string::npos; start = cr + 1)
        lines.push_back(file.substr(start, cr - start));
    EXPECT_EQ(start, file.size()) << "bytes after the last carriage return";
    return lines;
}

// Decodes into a definition pre-filled with markers, so fields the file
// should not touch can be checked.
bool Decode(const std::string& file, FilterDefinition& d) {
    MemoryByteSource source(file);
    return DecodeSettings(source, d);
}

std::string Header(const char* sliders = "1\r2\r3\r4\r5\r6\r7\r8\r") {
    return std::string("%RGB-1.0\r") + sliders;
}

}  // namespace

TEST(SettingsFile, ShippedGrainIsEighteenLinesOfCarriageReturns) {
    std::string f = "sub(c,rnd(0,ctl(0)),z)";
    std::string file = EncodeSettings(Definition({f, f, f, "a"}, {101}));
    EXPECT_EQ(file.find('\n'), std::string::npos);
    std::vector<std::string> expected = {"%RGB-1.0", "101", "0", "0", "0", "0", "0", "0", "0",
                                         f,          "",    f,   "",  f,   "",  "a", ""};
    EXPECT_EQ(Lines(file), expected);
    EXPECT_EQ(file.back(), '\r');
}

TEST(SettingsFile, FormulasAreCutIntoPiecesOf63Bytes) {
    std::string f63(63, 'x'), f64 = std::string(63, 'y') + "z", f126(126, 'w');
    std::vector<std::string> lines = Lines(EncodeSettings(Definition({f63, f64, "", f126})));
    std::vector<std::string> formulas(lines.begin() + 9, lines.end());
    std::vector<std::string> expected = {
        f63, "", std::string(63, 'y'), "z", "", "", f126.substr(0, 63), f126.substr(63), ""};
    EXPECT_EQ(formulas, expected);
}

TEST(SettingsFile, SliderValuesAreWrittenAsSignedDecimal) {
    std::vector<std::string> lines =
        Lines(EncodeSettings(Definition({}, {0, 255, 7, -3, 1000, 0, 0, 2147483647})));
    std::vector<std::string> sliders(lines.begin() + 1, lines.begin() + 9);
    EXPECT_EQ(sliders,
              (std::vector<std::string>{"0", "255", "7", "-3", "1000", "0", "0", "2147483647"}));
}

TEST(SettingsFile, UnterminatedFormulaSlotIsWrittenUpTo1023Bytes) {
    FilterDefinition d = Definition({});
    std::memset(d.formula[1], 'q', sizeof d.formula[1]);  // no NUL anywhere in the slot
    std::vector<std::string> lines = Lines(EncodeSettings(d));
    size_t total = 0;
    for (size_t i = 10; i < lines.size() && !lines[i].empty(); ++i) total += lines[i].size();
    EXPECT_EQ(total, 1023u);
}

TEST(SettingsEscape, FollowsTheTable) {
    struct {
        std::string in, out;
    } cases[] = {
        {"abc XYZ 09(),+-*/~", "abc XYZ 09(),+-*/~"},
        {"\"'\\", "\\\"\\'\\\\"},
        {"\b\t\n\v\f", "\\b\\t\\n\\v\\f"},
        {"\r", "\\r"},
        {"\r\n", "\\r"},  // one line break of an edit field
        {"\r\r\n\n", "\\r\\r\\n"},
        {"\n\r", "\\n\\r"},
        {std::string("\x01\x1f\x7f\x80\xff", 5), "\\001\\037\x7f\\200\\377"},
        {"\x1b", "\\033"},
    };
    for (const auto& c : cases) EXPECT_EQ(Escape(c.in), c.out) << c.in;
}

TEST(SettingsEscape, WorstCasePieceFitsTheLineBuffer) {
    std::string piece(kSettingsPieceBytes, '\x80');
    std::string escaped = Escape(piece);
    EXPECT_EQ(escaped.size(), size_t(kSettingsEscapedPiece));
    EXPECT_LT(escaped.size(), size_t(kSettingsLineCapacity - 1));
}

TEST(SettingsUnescape, FollowsTheTable) {
    struct {
        std::string in, out;
    } cases[] = {
        {"plain", "plain"},
        {"\\n", "\n"},
        {"\\r", "\r\n"},
        {"\\t\\v\\b\\f", "\t\v\b\f"},
        {"\\101\\60\\7x", "A0\ax"},  // one to three octal digits, as many as follow
        {"\\1012", "A2"},            // never more than three
        {"\\477", "?"},              // 0477 = 319, modulo 256 = 63
        {"\\8\\q\\\"\\'\\\\", "8q\"'\\"},
        {"ab\\", "ab"},  // a trailing backslash ends the line
        {"\\000abc", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Unescape(c.in), c.out) << c.in;
}

TEST(SettingsUnescape, InvertsEscapeExceptThatCarriageReturnsComeBackWithLineFeeds) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        if (c != '\r') all += char(c);
    for (size_t at = 0; at < all.size(); at += 63) {
        std::string piece = all.substr(at, 63);
        EXPECT_EQ(Unescape(Escape(piece)), piece);
    }
    EXPECT_EQ(Unescape(Escape("a\rb")), "a\r\nb");
    EXPECT_EQ(Unescape(Escape("a\r\nb")), "a\r\nb");
}

TEST(SettingsReadLine, StopsAtCarriageReturnOr255Bytes) {
    std::string text = std::string(300, 'x') + "\r" + std::string(255, 'y') + "\rab\nc\r" + "tail";
    MemoryByteSource source(text);
    char line[kSettingsLineCapacity];
    ASSERT_TRUE(ReadLine(source, line));
    EXPECT_EQ(std::string(line), std::string(255, 'x'));
    ASSERT_TRUE(ReadLine(source, line));
    EXPECT_EQ(std::string(line), std::string(45, 'x'));
    ASSERT_TRUE(ReadLine(source, line));
    EXPECT_EQ(std::string(line), std::string(255, 'y'));
    ASSERT_TRUE(ReadLine(source, line));  // the limit ended the piece: the CR is an empty line
    EXPECT_EQ(std::string(line), "");
    ASSERT_TRUE(ReadLine(source, line));
    EXPECT_EQ(std::string(line), "ab\nc");  // a line feed is an ordinary byte
    EXPECT_FALSE(ReadLine(source, line));   // the end of the data before a carriage return
    EXPECT_FALSE(ReadLine(source, line));
}

TEST(SettingsSliders, AreClampedAndTolerant) {
    struct {
        const char* line;
        int32_t value;
    } cases[] = {
        {"300", 255},
        {"-5", 0},
        {"abc", 0},
        {" 42", 42},
        {"\t+17x", 17},
        {"", 0},
        {"255", 255},
        {"0", 0},
        {"99999999999999999999", 255},
        {"-99999999999999999999", 0},
        {"4294967296", 255},
        {"- 5", 0},
        {"12 34", 12},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseSliderLine(c.line), c.value) << c.line;
}

TEST(SettingsLoad, ReadsSlidersAndFormulasAndNothingElse) {
    FilterDefinition d = Definition({"old", "old", "old", "old"});
    std::strcpy(d.title, "Keep me");
    d.hasDialog = 7;
    std::string file = Header("300\r-5\rabc\r 42\r0\r1\r2\r3\r") + "r\r\rg\\r\r\\nb\r\r\ra\r\r";
    ASSERT_TRUE(Decode(file, d));
    EXPECT_EQ(std::vector<int32_t>(d.sliderValue, d.sliderValue + 8),
              (std::vector<int32_t>{255, 0, 0, 42, 0, 1, 2, 3}));
    EXPECT_STREQ(d.formula[0], "r");
    EXPECT_STREQ(d.formula[1], "g\r\n\nb");
    EXPECT_STREQ(d.formula[2], "");
    EXPECT_STREQ(d.formula[3], "a");
    EXPECT_STREQ(d.title, "Keep me");
    EXPECT_EQ(d.hasDialog, 7);
}

TEST(SettingsLoad, RoundTripsTextsWithEveryByteButCarriageReturnUnchanged) {
    std::string tricky = "min(r,\"g\")\t// it's a \\ comment\r\nmax(b,'x')\x7f\x80\xfe";
    FilterDefinition in =
        Definition({tricky, std::string(1023, 'm'), "c", ""}, {1, 2, 3, 4, 5, 6, 7, 8});
    FilterDefinition out = Definition({"x", "x", "x", "x"});
    ASSERT_TRUE(Decode(EncodeSettings(in), out));
    for (int k = 0; k < 4; ++k) EXPECT_STREQ(out.formula[k], in.formula[k]) << k;
    EXPECT_EQ(std::memcmp(out.sliderValue, in.sliderValue, sizeof in.sliderValue), 0);
}

TEST(SettingsLoad, LoneCarriageReturnComesBackAsCrLf) {
    FilterDefinition out = Definition({});
    ASSERT_TRUE(Decode(EncodeSettings(Definition({"r\rg", "g", "b", "a"})), out));
    EXPECT_STREQ(out.formula[0], "r\r\ng");
}

TEST(SettingsLoad, PieceNeverEndsBetweenCrAndLfButOldSplitFilesLoadAsBefore) {
    std::string f = std::string(62, 'x') + "\r\nr";  // the cut would fall between CR and LF
    std::vector<std::string> lines = Lines(EncodeSettings(Definition({f, "g", "b", "a"})));
    EXPECT_EQ(lines[9], std::string(62, 'x'));
    EXPECT_EQ(lines[10], "\\rr");
    // Written before the writer kept pairs together: CR LF LF, as it always loaded.
    FilterDefinition out = Definition({});
    ASSERT_TRUE(Decode(Header() + std::string(62, 'x') + "\\r\r\\nr\r\rg\r\rb\r\ra\r\r", out));
    EXPECT_EQ(std::string(out.formula[0]), std::string(62, 'x') + "\r\n\nr");
}

TEST(SettingsLoad, HundredSaveLoadCyclesKeepLineBreaksAtEveryOffsetOfAPiece) {
    for (size_t offset = 0; offset < size_t(kSettingsPieceBytes); ++offset) {
        // Line breaks every `offset` + 2 bytes, shifted by 0, 1 and 2 bytes:
        // over 1000 bytes they fall on every position of the pieces.
        std::string f;
        while (f.size() + offset + 2 <= 1021) f += std::string(offset, 'a' + offset % 26) + "\r\n";
        FilterDefinition d = Definition({f, "x" + f, "\r\n" + f, "a"});
        const FilterDefinition first = d;
        for (int cycle = 0; cycle < 100; ++cycle) ASSERT_TRUE(Decode(EncodeSettings(d), d));
        for (int k = 0; k < 4; ++k)
            ASSERT_STREQ(d.formula[k], first.formula[k]) << "offset " << offset << " formula " << k;
    }
}

TEST(SettingsLoad, LongLineIsReadAsTwoPiecesOfTheSameFormula) {
    std::string file = Header() + std::string(300, 'p') + "\r\rg\r\rb\r\ra\r\r";
    FilterDefinition d = Definition({});
    ASSERT_TRUE(Decode(file, d));
    EXPECT_EQ(std::string(d.formula[0]), std::string(300, 'p'));
    EXPECT_STREQ(d.formula[1], "g");
}

TEST(SettingsLoad, FormulaIsCutBeforeTheFirstPieceThatDoesNotFit) {
    // 4 x 250 = 1000 bytes fit; the fifth piece of 30 would reach 1030; a
    // later piece of 5 would fit by itself but comes after the cut.
    std::string file = Header();
    for (char c : std::string("ABCD")) file += std::string(250, c) + "\r";
    file += std::string(30, 'E') + "\r" + std::string(5, 'F') + "\r\rg\r\rb\r\ra\r\r";
    FilterDefinition d = Definition({});
    ASSERT_TRUE(Decode(file, d));
    std::string red = d.formula[0];
    EXPECT_EQ(red.size(), 1000u);
    EXPECT_EQ(red.find('E'), std::string::npos);
    EXPECT_EQ(red.find('F'), std::string::npos);
    EXPECT_STREQ(d.formula[1], "g");
}

TEST(SettingsLoad, PieceEndingAt1023BytesFitsOneMoreDoesNot) {
    for (size_t last : {23u, 24u}) {
        std::string file = Header();
        for (char c : std::string("ABCD")) file += std::string(250, c) + "\r";
        file += std::string(last, 'E') + "\r\rg\r\rb\r\ra\r\r";
        FilterDefinition d = Definition({});
        ASSERT_TRUE(Decode(file, d));
        EXPECT_EQ(std::strlen(d.formula[0]), last == 23 ? 1023u : 1000u);
    }
}

TEST(SettingsLoad, LineOfExactly255BytesEndsItsFormula) {
    // The limit ends the piece; the carriage return after it is an empty
    // line, which ends the red formula, and the next line starts green.
    std::string file = Header() + std::string(255, 'p') + "\rg\r\rb\r\ra\r\r";
    FilterDefinition d = Definition({});
    ASSERT_TRUE(Decode(file, d));
    EXPECT_EQ(std::string(d.formula[0]), std::string(255, 'p'));
    EXPECT_STREQ(d.formula[1], "g");
    EXPECT_STREQ(d.formula[3], "a");
}

TEST(SettingsLoad, RejectsWrongMagicAndShortFiles) {
    std::string good = EncodeSettings(Definition({"r", "g", "b", "a"}));
    FilterDefinition d = Definition({});
    EXPECT_TRUE(Decode(good, d));
    const std::string bad[] = {
        "",
        "%rgb-1.0\r" + good.substr(9),
        "%RGB-1.0 \r" + good.substr(9),
        "%RGB-1.00\r" + good.substr(9),
        good.substr(0, good.size() - 1),         // the last carriage return missing
        good.substr(0, good.find("\r\rg") + 2),  // cut after the red formula's empty line
    };
    for (const std::string& file : bad) EXPECT_FALSE(Decode(file, d)) << file;
}

TEST(SettingsLoad, CrLfFileFailsBecauseNoFormulaEverEnds) {
    std::string file = EncodeSettings(Definition({"r", "g", "b", "a"}));
    std::string crlf;
    for (char c : file) crlf += c == '\r' ? std::string("\r\n") : std::string(1, c);
    // The magic and the sliders still read (a leading LF is white space),
    // but every empty line now holds a line feed.
    FilterDefinition d = Definition({});
    EXPECT_FALSE(Decode(crlf, d));
}

TEST(SettingsLoad, NothingAfterTheAlphaFormulaIsRead) {
    std::string file = EncodeSettings(Definition({"r", "g", "b", "a"}));
    std::string longer = file + "garbage without an ending";
    MemoryByteSource source(longer);
    FilterDefinition d = Definition({});
    ASSERT_TRUE(DecodeSettings(source, d));
    EXPECT_EQ(source.position(), file.size());
}
