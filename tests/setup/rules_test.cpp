// The engine's portable rules: paths, stamps, numbers and error texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setup/filetable.h"
#include "setup/paths.h"

namespace {

std::string Prepared(const char* in) {
    char buffer[kPathBuffer];
    strcpy(buffer, in);
    PreparePath(buffer);
    return buffer;
}

uint16_t Date(int year, int month, int day) {
    return static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
}
uint16_t Time(int hours, int minutes, int seconds) {
    return static_cast<uint16_t>((hours << 11) | (minutes << 5) | (seconds / 2));
}

TEST(PathRules, PreparePathAddsOneBackslashAndLowerCases) {
    EXPECT_EQ(Prepared("C:\\Lumora\\Plug-Ins"), "c:\\lumora\\plug-ins\\");
    EXPECT_EQ(Prepared("D:\\PLUGINS\\"), "d:\\plugins\\");
    EXPECT_EQ(Prepared("x"), "x\\");
}

TEST(PathRules, DirectoryOfAModuleOrPickedFile) {
    char path[kPathBuffer] = "Z:\\disk\\SETUP.EXE";
    CutAfterLastBackslash(path);
    EXPECT_STREQ(path, "Z:\\disk\\");
    strcpy(path, "setup.exe");
    CutAfterLastBackslash(path);
    EXPECT_STREQ(path, "");
}

TEST(PathRules, DriveOfATypedPath) {
    EXPECT_EQ(DriveOfPath("q:\\x"), 17);
    EXPECT_EQ(DriveOfPath("  C:\\plugins"), 3);
    EXPECT_EQ(DriveOfPath("d:rel"), 4);
    EXPECT_EQ(DriveOfPath("plugins"), 0);  // relative: the current drive, not P:
    EXPECT_EQ(DriveOfPath("\\plugins"), 0);
    EXPECT_EQ(DriveOfPath("\\\\server\\share"), 0);
    EXPECT_EQ(DriveOfPath("7:"), 0);
    EXPECT_EQ(DriveOfPath(""), -1);
    EXPECT_EQ(DriveOfPath("   "), -1);
}

TEST(PathRules, LongPathsLoseTheirMiddleAndKeepTheFileName) {
    TextWidth chars = [](const std::string& s) { return static_cast<int>(s.size()); };
    const std::string path = "c:\\lumora\\a-deep-folder\\plug-ins\\pkfilt01.lmf";
    EXPECT_EQ(ShortenMiddle(path, 30, chars), "c:\\lumora\\a-de...\\pkfilt01.lmf");
    EXPECT_EQ(ShortenMiddle(path, 8, chars), "...1.lmf");
    EXPECT_EQ(ShortenMiddle("abcdefghijklmnop", 10, chars), "abc...mnop");
    EXPECT_EQ(ShortenLongWords("Cannot open  \"z:\\disk\\deep\\pkfilt05._mf\"", 25, chars),
              "Cannot open  \"z:\\disk...\\pkfilt05._mf\"");
}

TEST(StampRules, NewerByCoarseDayThenByTime) {
    struct Case {
        DosStamp source, target;
        int newer;
    } cases[] = {
        {{Date(1996, 5, 2), Time(8, 0, 0)}, {Date(1996, 5, 1), Time(23, 0, 0)}, 1},
        {{Date(1995, 5, 1), Time(23, 0, 0)}, {Date(1996, 5, 1), Time(8, 0, 0)}, 0},
        {{Date(1996, 5, 1), Time(8, 0, 2)}, {Date(1996, 5, 1), Time(8, 0, 0)}, 1},
        {{Date(1996, 5, 1), Time(8, 0, 0)}, {Date(1996, 5, 1), Time(8, 0, 0)}, 0},
        // 31 January and 1 February share a day number: the time decides.
        {{Date(1996, 1, 31), Time(10, 0, 0)}, {Date(1996, 2, 1), Time(9, 0, 0)}, 1},
        {{Date(1996, 2, 1), Time(9, 0, 0)}, {Date(1996, 1, 31), Time(10, 0, 0)}, 0},
        // The oldest stamp never counts as newer than anything.
        {{Date(1980, 1, 1), Time(0, 0, 0)}, {Date(1980, 1, 1), Time(0, 0, 0)}, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(StampNewer(c.source, c.target), c.newer);
    EXPECT_EQ(DayNumber(Date(1996, 1, 31)), DayNumber(Date(1996, 2, 1)));
    // The two-second count is used as stored, not doubled.
    EXPECT_EQ(TimeValue(Time(1, 2, 10)), 3600 + 120 + 5);
}

TEST(SpaceRules, KilobytesAndTheirMegabyteText) {
    EXPECT_EQ(KilobytesFree(1000, 512, 8), 4000u);
    EXPECT_EQ(KilobytesFree(3, 512, 1), 1u);  // rounded toward zero
    // 200 GB do not wrap around 32 bits.
    EXPECT_EQ(KilobytesFree(52428800, 4096, 1), 209715200u);
    EXPECT_EQ(KilobytesFree(0xFFFFFFFF, 4096, 64), 0xFFFFFFFFu);
    char text[32];
    freespacestr(1300, text);
    EXPECT_STREQ(text, "1.300 MB");
    freespacestr(25050, text);
    EXPECT_STREQ(text, "25.050 MB");
    freespacestr(999, text);
    EXPECT_STREQ(text, "0.999 MB");
}

TEST(CopyErrors, CodesMapToTheirMessages) {
    struct Case {
        int code, mapped;
        const char* text;
    } cases[] = {
        {-1, -1, "Cannot open \"a:\\x._mf\""}, {-4, -4, "Disk full when copying \"a:\\x._mf\""},
        {-6, -5, "Insufficient memory"},       {-2, -3, "Internal error (-3)"},
        {-5, -3, "Internal error (-3)"},       {-7, -3, "Internal error (-3)"},
    };
    for (const Case& c : cases) {
        LZErrorReport report = MapLZError(c.code);
        EXPECT_EQ(report.mapped, c.mapped) << c.code;
        char text[100];
        FormatLZError(report.text, report, "a:\\x._mf", text, sizeof(text));
        EXPECT_STREQ(text, c.text) << c.code;
    }
}

}  // namespace
