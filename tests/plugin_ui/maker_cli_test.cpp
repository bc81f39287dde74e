// "lumora make" and "lumora export" end to end: lumora.exe as a child process
// making filters from the build's TinctorEditor.lmf, then listing and
// applying them as the host would.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <sstream>

#include "host/image_io.h"
#include "plugin_ui/settings_codec.h"
#include "tests/host/lumora_run.h"

namespace {

const std::string kPlugins = BUILD_PLUGIN_DIR;

std::string Settings(std::vector<int32_t> sliders, const std::vector<std::string>& formulas) {
    FilterDefinition d;
    std::memset(&d, 0, sizeof d);
    for (size_t i = 0; i < sliders.size(); ++i) d.sliderValue[i] = sliders[i];
    for (size_t k = 0; k < 4; ++k) std::strcpy(d.formula[k], formulas[k].c_str());
    return EncodeSettings(d);
}

// The definition block inside a plug-in file, read as resource data.
bool ReadDefinition(const std::string& path, FilterDefinition& d) {
    HMODULE m = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!m) return false;
    HRSRC r = FindResourceA(m, MAKEINTRESOURCEA(16), "PARM");
    const void* p = r ? LockResource(LoadResource(m, r)) : nullptr;
    if (p) std::memcpy(&d, p, sizeof d);
    FreeLibrary(m);
    return p != nullptr;
}

int FilesIn(const std::string& folder) {
    int n = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do n += !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

class MakeCommand : public ::testing::Test {
protected:
    void SetUp() override {
        plugins_ = dir_.file("plugins");
        CreateDirectoryA(plugins_.c_str(), nullptr);
        settings_ = dir_.file("test.tfs");
        WriteBytes(settings_, Settings({77, 0, 0, 0, 0, 0, 0, 9}, {"255-r", "ctl(0)", "b/2", "a"}));
    }

    LumoraRun Make(std::vector<std::string> extra, const std::string& out) {
        std::vector<std::string> args = {"make", settings_, out};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunLumora(args);
    }

    TempFolder dir_;
    std::string plugins_, settings_;
};

}  // namespace

TEST_F(MakeCommand, MadeFilterIsListedAndFiltersWithTheMadeDefinition) {
    std::string out = plugins_ + "\\made.lmf";
    std::vector<std::string> args = {"--title",  "Made Test", "--category", "Maker Tests",
                                     "--slider", "0=Level:",  "--map",      "2=Curve",
                                     "--author", "Me"};
    LumoraRun r = Make(args, out);  // the default --from: the host's own plug-in folder
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("The new filter 'made.lmf' was successfully created."), std::string::npos)
        << r.out;

    LumoraRun list = RunLumora({"list", "--plugins", plugins_});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find("Maker Tests  Made Test...  made.lmf"), std::string::npos) << list.out;

    FilterDefinition d;
    ASSERT_TRUE(ReadDefinition(out, d));
    EXPECT_EQ(d.size, kDefinitionSize);
    EXPECT_EQ(d.madeFilter, 1);
    EXPECT_EQ(d.hasDialog, 1);
    EXPECT_EQ(d.sliderShown[0], 1);
    EXPECT_EQ(d.sliderShown[1], 0);
    EXPECT_EQ(d.mapShown[2], 1);
    EXPECT_STREQ(d.sliderLabel[0], "Level:");
    EXPECT_STREQ(d.sliderLabel[1], "Control 1:");
    EXPECT_STREQ(d.mapLabel[2], "Curve");
    EXPECT_STREQ(d.author, "Me");
    EXPECT_NE(std::strstr(d.copyright, "\r\n"), nullptr)
        << "the Build Filter dialog's two-line notice";
    EXPECT_STREQ(d.formula[0], "255-r");
    EXPECT_EQ(d.sliderValue[0], 77);
    EXPECT_EQ(d.sliderValue[7], 9);

    ImageCodecs codecs;
    ASSERT_TRUE(codecs.ok());
    Image in(9, 5, false);
    for (size_t i = 0; i < in.rgba.size(); ++i) in.rgba[i] = uint8_t(i * 37 + 11);
    for (size_t i = 3; i < in.rgba.size(); i += 4) in.rgba[i] = 255;
    std::string error, inPath = dir_.file("in.png"), outPath = dir_.file("out.png");
    ASSERT_TRUE(SaveImageFile(in, inPath, inPath, error)) << error;
    LumoraRun apply = RunLumora({"apply", "--plugins", plugins_, "--filter", "Made Test",
                                 "--repeat", "--quiet", inPath, outPath});
    ASSERT_EQ(apply.status, 0) << apply.err;
    Image result;
    ASSERT_TRUE(LoadImageFile(outPath, result, error)) << error;
    for (int32_t y = 0; y < in.height; ++y)
        for (int32_t x = 0; x < in.width; ++x) {
            const uint8_t *p = in.pixel(x, y), *q = result.pixel(x, y);
            ASSERT_EQ(q[0], 255 - p[0]);
            ASSERT_EQ(q[1], 77);
            ASSERT_EQ(q[2], p[2] / 2);
        }
}

TEST_F(MakeCommand, WithoutSlidersOrMapsTheFilterHasNoDialogAndNoDots) {
    std::string out = plugins_ + "\\plain.lmf";
    std::vector<std::string> args = {"--title",     "Plain",  "--category",
                                     "Maker Tests", "--from", kPlugins + "\\TinctorEditor.lmf"};
    ASSERT_EQ(Make(args, out).status, 0);
    LumoraRun list = RunLumora({"list", "--plugins", plugins_});
    EXPECT_NE(list.out.find("Maker Tests  Plain      plain.lmf"), std::string::npos) << list.out;
    FilterDefinition d;
    ASSERT_TRUE(ReadDefinition(out, d));
    EXPECT_EQ(d.hasDialog, 0);
    EXPECT_EQ(d.madeFilter, 1);
}

TEST_F(MakeCommand, ExportWritesWhatMakeLoaded) {
    std::string out = plugins_ + "\\made.lmf", back = dir_.file("back.tfs");
    ASSERT_EQ(Make({"--title", "T", "--category", "C"}, out).status, 0);
    LumoraRun r = RunLumora({"export", out, back});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(FileBytes(back), FileBytes(settings_));
    // The shipped grain exported is the format's own example.
    ASSERT_EQ(RunLumora({"export", kPlugins + "\\Tinctor.lmf", back}).status, 0);
    std::string f = "sub(c,rnd(0,ctl(0)),z)\r\r";
    EXPECT_EQ(FileBytes(back), "%RGB-1.0\r101\r0\r0\r0\r0\r0\r0\r0\r" + f + f + f + "a\r\r");
}

TEST_F(MakeCommand, UsageErrorsExitTwoAndWriteNothing) {
    std::string out = plugins_ + "\\never.lmf";
    std::string t32(32, 't');
    std::vector<std::vector<std::string>> cases = {
        {"make", settings_, out, "--category", "C"},
        {"make", settings_, out, "--title", "T"},
        {"make", settings_, out, "--title", "", "--category", "C"},
        {"make", settings_, out, "--title", t32, "--category", "C"},
        {"make", settings_, out, "--title", "T", "--category", t32},
        {"make", settings_, out, "--title", "T", "--category", "C", "--map", "1=M", "--slider",
         "3=S"},
        {"make", settings_, out, "--title", "T", "--category", "C", "--slider", "2=S", "--map",
         "1=M"},
        {"make", settings_, out, "--title", "T", "--category", "C", "--slider", "8=S"},
        {"make", settings_, out, "--title", "T", "--category", "C", "--map", "4=M"},
        {"make", settings_, out, "--title", "T", "--category", "C", "--slider", "1"},
        {"make", settings_, out, "--title", "T", "--category", "C", "--slider", "1=a", "--slider",
         "1=b"},
        {"make", settings_, out, "--title", "T", "--category", "C", "--colour", "red"},
        {"make", settings_, "--title", "T", "--category", "C"},
        {"make", settings_, out, "--title"},
        {"export", kPlugins + "\\Tinctor.lmf"},
        {"export", kPlugins + "\\Tinctor.lmf", dir_.file("x.tfs"), "--title", "T"},
    };
    for (const auto& args : cases) {
        LumoraRun r = RunLumora(args);
        std::string line;
        for (const std::string& a : args) line += a + " ";
        EXPECT_EQ(r.status, 2) << line;
        EXPECT_NE(r.err.find("Try 'lumora --help'"), std::string::npos) << line << "\n" << r.err;
    }
    EXPECT_EQ(FilesIn(plugins_), 0);
    EXPECT_FALSE(FileExists(dir_.file("x.tfs")));
}

TEST_F(MakeCommand, SettingsFileThatDoesNotLoadWritesNothing) {
    std::string out = plugins_ + "\\kept.lmf";
    WriteBytes(out, "the old file");
    struct Case {
        std::string settings;
        const char* message;
    } cases[] = {
        {"%RGB-1.1\r0\r",
         "read from the settings file. This file may not have the correct format."},
        {"%RGB-1.0\r1\r2\r3\r4\r5\r6\r7\r8\rr\r\rg\r\r", "may not have the correct format"},
        {"", "may not have the correct format"},
    };
    for (const Case& c : cases) {
        WriteBytes(settings_, c.settings);
        LumoraRun r = Make({"--title", "T", "--category", "C"}, out);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(FileBytes(out), "the old file");
    }
    DeleteFileA(settings_.c_str());
    LumoraRun r = Make({"--title", "T", "--category", "C"}, out);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("An error occured while attempting to open the settings file."),
              std::string::npos)
        << r.err;
    EXPECT_EQ(FileBytes(out), "the old file");
    EXPECT_EQ(FilesIn(plugins_), 1) << "a temporary file was left behind";
}

TEST_F(MakeCommand, ReplacesAnExistingFileOnlyWithACompleteOne) {
    std::string out = plugins_ + "\\again.lmf";
    ASSERT_EQ(Make({"--title", "First", "--category", "C"}, out).status, 0);
    ASSERT_EQ(Make({"--title", "Second", "--category", "C", "--slider", "4=S"}, out).status, 0);
    FilterDefinition d;
    ASSERT_TRUE(ReadDefinition(out, d));
    EXPECT_STREQ(d.title, "Second");
    EXPECT_EQ(FilesIn(plugins_), 1);
    // A folder that does not exist: the copy cannot even start.
    LumoraRun r = Make({"--title", "T", "--category", "C"}, dir_.file("nowhere\\x.lmf"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("An error occured while attempting to create the file 'x.lmf'"),
              std::string::npos)
        << r.err;
}

TEST_F(MakeCommand, FromAFileThatIsNoTinctorPlugIn) {
    std::string out = plugins_ + "\\x.lmf";
    LumoraRun r =
        Make({"--title", "T", "--category", "C", "--from", dir_.file("missing.lmf")}, out);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot load plug-in"), std::string::npos) << r.err;
    EXPECT_FALSE(FileExists(out));
}

TEST(MakeHelp, ListsMakeAndExport) {
    LumoraRun r = RunLumora({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("lumora make  SETTINGS.tfs OUT.lmf --title TEXT --category TEXT"),
              std::string::npos);
    EXPECT_NE(r.out.find("lumora export PLUGIN.lmf OUT.tfs"), std::string::npos);
}

TEST(Collection, TheHostListsTheTenObsidiaFilters) {
    LumoraRun r = RunLumora({"list", "--plugins", kPlugins});
    ASSERT_EQ(r.status, 0) << r.err;
    int found = 0;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("Obsidia ", 0) == 0 && line.find("pkfilt") != std::string::npos) ++found;
    EXPECT_EQ(found, 10) << r.out;
}
