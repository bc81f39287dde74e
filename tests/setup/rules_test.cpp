// The engine's portable rules: paths, stamps, numbers and error texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setup/filetable.h"
#include "setup/package.h"
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

TEST(PathRules, TypedPathIsTrimmedAndMustLeaveRoomForEveryName) {
    struct Case {
        const char* typed;
        const char* trimmed;
    } cases[] = {
        {" C:\\Blank", "C:\\Blank"}, {"\tC:\\x \t ", "C:\\x"}, {"   ", ""}, {"a b", "a b"}};
    for (const Case& c : cases) {
        char buffer[kPathBuffer];
        strcpy(buffer, c.typed);
        TrimBlanks(buffer);
        EXPECT_STREQ(buffer, c.trimmed) << c.typed;
    }
    // The longest installed name has 12 characters, and the directory gets a
    // backslash when it has none.
    std::string dir = "C:\\" + std::string(kPathMax - 3 - 13, 'd');
    EXPECT_TRUE(TargetsFit(dir.c_str()));
    EXPECT_TRUE(TargetsFit((dir + "\\").c_str()));
    EXPECT_FALSE(TargetsFit((dir + "x").c_str()));
}

TEST(PathRules, LongPathsLoseTheirMiddleAndKeepTheFileName) {
    TextWidth chars = [](const std::string& s) { return static_cast<int>(s.size()); };
    struct Case {
        const char* text;
        int width;
        const char* shown;
    } cases[] = {
        {"c:\\short\\pkfilt01.lmf", 40, "c:\\short\\pkfilt01.lmf"},
        {"c:\\lumora\\a-deep-folder\\plug-ins\\pkfilt01.lmf", 30,
         "c:\\lumora\\a-de...\\pkfilt01.lmf"},
        {"c:\\lumora\\a-deep-folder\\plug-ins\\pkfilt01.lmf", 15, "...pkfilt01.lmf"},
        {"c:\\lumora\\a-deep-folder\\plug-ins\\pkfilt01.lmf", 8, "...1.lmf"},
        {"abcdefghijklmnop", 10, "abc...mnop"},
    };
    for (const Case& c : cases) {
        std::string shown = ShortenMiddle(c.text, c.width, chars);
        EXPECT_EQ(shown, c.shown) << c.text << " in " << c.width;
        EXPECT_LE(static_cast<int>(shown.size()), c.width);
    }
    // In a wrapped text only the words too wide for a line are shortened.
    EXPECT_EQ(ShortenLongWords("Cannot open  \"z:\\disk\\deep\\folder\\pkfilt05._mf\"", 25, chars),
              "Cannot open  \"z:\\disk...\\pkfilt05._mf\"");
}

TEST(PackageRules, SizesFromTheHeadersAndVersionsFromTheImage) {
    const unsigned char szdd[] = {'S',  'Z', 'D', 'D',  0x88, 0xF0, 0x27,
                                  0x33, 'A', 'l', 0x00, 0x70, 0x05, 0x00};
    uint32_t size = 0;
    EXPECT_TRUE(SzddExpandedSize(szdd, sizeof szdd, &size));
    EXPECT_EQ(size, 356352u);
    EXPECT_FALSE(SzddExpandedSize(szdd, sizeof szdd - 1, &size));  // cut short
    unsigned char plain[sizeof szdd];
    memcpy(plain, szdd, sizeof szdd);
    plain[0] = 'M';
    EXPECT_FALSE(SzddExpandedSize(plain, sizeof plain, &size));
    EXPECT_EQ(KilobytesUp(0), 0u);
    EXPECT_EQ(KilobytesUp(1), 1u);
    EXPECT_EQ(KilobytesUp(1024), 1u);
    EXPECT_EQ(KilobytesUp(1025), 2u);

    // VS_VERSION_INFO: length, value length, type, the key in UTF-16, padding
    // to a 32-bit boundary, then the fixed information.
    std::string image(64, '\x90');
    std::string block = std::string("\x5c\x01\x34\x00\x00\x00", 6);
    for (char c : std::string("VS_VERSION_INFO")) block += std::string{c, '\0'};
    block += std::string(4, '\0');  // terminator and padding
    const unsigned char fixed[] = {0xBD, 0x04, 0xEF, 0xFE, 0,    0,    1, 0,
                                   12,   0,    2,    0,    0xDE, 0x10, 0, 0};  // 2.12.0.4318
    block.append(reinterpret_cast<const char*>(fixed), sizeof fixed);
    image += block + std::string(40, '\0');
    auto bytes = reinterpret_cast<const unsigned char*>(image.data());
    uint64_t version = 0;
    ASSERT_TRUE(FindFileVersion(bytes, image.size(), &version));
    EXPECT_EQ(version, (uint64_t{0x0002000C} << 32) | 0x000010DE);
    // Without the signature after the key there is no version.
    image[64 + 6 + 32 + 2] = 0;
    EXPECT_FALSE(FindFileVersion(bytes, image.size(), &version));
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
