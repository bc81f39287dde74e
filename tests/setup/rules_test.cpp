// The engine's portable rules: paths, stamps, numbers, error texts, the file
// table and the export reader behind the runtime library.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setup/filetable.h"
#include "setup/paths.h"
#include "setup/runtime/pe_exports.h"

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
    EXPECT_EQ(DriveOfPath("\\plugins"), 0);
    EXPECT_EQ(DriveOfPath("\\\\server\\share"), 0);
    EXPECT_EQ(DriveOfPath("7:"), 0);
    EXPECT_EQ(DriveOfPath(""), -1);
    EXPECT_EQ(DriveOfPath("   "), -1);
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

TEST(FileTable, EachPlatformGetsOneRuntimeAndTheWholeCollection) {
    for (int platform : {PLATFORM_NT, PLATFORM_WIN95, PLATFORM_WIN31}) {
        int runtimes = 0, plugins = 0;
        for (const CopyEntry& row : gCopy) {
            if (!RowApplies(row, platform)) continue;
            if (row.fSystemDir) {
                ++runtimes;
                EXPECT_STREQ(row.pszTarget, "msvcrt20.dll");
                EXPECT_EQ(row.fIfNewer, 1);
            } else {
                ++plugins;
                EXPECT_EQ(row.fIfNewer, 0);
            }
        }
        EXPECT_EQ(runtimes, 1);
        EXPECT_EQ(plugins, 11);
    }
    EXPECT_STREQ(gCopy[1].pszSource, "msvcrt20._2s");
    EXPECT_TRUE(RowApplies(gCopy[1], PLATFORM_WIN31));
    EXPECT_STREQ(gCopy[12].pszTarget, "pkfilt10.lmf");
}

// A minimal PE32 image exporting the names given, laid out by hand.
std::vector<uint8_t> TinyImage(const std::vector<std::string>& names) {
    std::vector<uint8_t> b(0x400, 0);
    auto put16 = [&](size_t at, uint32_t v) { b[at] = v & 0xFF, b[at + 1] = (v >> 8) & 0xFF; };
    auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF), put16(at + 2, v >> 16); };
    put16(0, 0x5A4D);
    put32(0x3C, 0x80);
    put32(0x80, 0x4550);
    put16(0x86, 1);      // one section
    put16(0x94, 0xE0);   // optional header size
    put16(0x98, 0x10B);  // PE32
    put32(0x98 + 96, 0x1000);
    size_t section = 0x98 + 0xE0;
    put32(section + 8, 0x200), put32(section + 12, 0x1000);
    put32(section + 16, 0x200), put32(section + 20, 0x200);
    // Export directory at file 0x200 (RVA 0x1000), name pointers at +0x40,
    // the names from +0x80.
    put32(0x200 + 24, static_cast<uint32_t>(names.size()));
    put32(0x200 + 32, 0x1040);
    uint32_t at = 0x80;
    for (size_t i = 0; i < names.size(); ++i) {
        put32(0x240 + 4 * i, 0x1000 + at);
        memcpy(&b[0x200 + at], names[i].c_str(), names[i].size() + 1);
        at += static_cast<uint32_t>(names[i].size()) + 1;
    }
    return b;
}

TEST(ExportReader, ReadsNamesAndWritesForwarders) {
    std::string error;
    std::vector<std::string> names = PeExportNames(TinyImage({"??2@YAPAXI@Z", "strlen"}), &error);
    ASSERT_EQ(names.size(), 2u) << error;
    EXPECT_EQ(names[0], "??2@YAPAXI@Z");
    EXPECT_EQ(ForwarderDef("msvcrt20.dll", "msvcrt", names),
              "LIBRARY \"msvcrt20.dll\"\nEXPORTS\n  \"??2@YAPAXI@Z\" = msvcrt.??2@YAPAXI@Z\n"
              "  \"strlen\" = msvcrt.strlen\n");
}

TEST(ExportReader, RejectsDamagedImagesWithoutReadingPastThem) {
    std::vector<uint8_t> good = TinyImage({"strlen"});
    std::string error;
    for (size_t cut : {size_t(0), size_t(0x40), size_t(0x90), size_t(0x220), size_t(0x284)}) {
        std::vector<uint8_t> part(good.begin(), good.begin() + cut);
        EXPECT_TRUE(PeExportNames(part, &error).empty()) << cut;
        EXPECT_FALSE(error.empty());
    }
    std::vector<uint8_t> wild = good;
    wild[0x240 + 2] = 0x7F;  // a name pointer far outside the image
    EXPECT_TRUE(PeExportNames(wild, &error).empty());
}

}  // namespace
