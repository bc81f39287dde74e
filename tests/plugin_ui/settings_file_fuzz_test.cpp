// Settings files on disk, mutated: a load either takes the whole file (the
// same as the codec reading it from memory) or leaves the definition exactly
// as it was, which is what the editor showed; a save always reads back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <random>

#include "plugin_ui/maker.h"
#include "plugin_ui/settings_codec.h"
#include "plugin_ui/settings_file.h"
#include "tests/plugin_ui/plugin_fixture.h"

namespace {

class SettingsFileFuzz : public PluginFixture {};

}  // namespace

TEST_F(SettingsFileFuzz, MutatedFilesLoadCompletelyOrLeaveTheDefinition) {
    std::string path = OwnFolder() + "fuzz.tfs";
    std::mt19937 rng(2026);
    std::string good = EncodeSettings(*definition_);
    int complete = 0, refused = 0;
    for (int n = 0; n < 300; ++n) {
        std::string file = good;
        for (int e = 1 + int(rng() % 4); e > 0 && !file.empty(); --e) {
            size_t at = rng() % file.size();
            switch (rng() % 4) {
            case 0: file[at] = char(rng()); break;
            case 1: file.erase(at, 1 + rng() % 20); break;
            case 2: file.insert(at, std::string(1 + rng() % 300, char(32 + rng() % 95))); break;
            case 3: file.insert(at, 1, '\r'); break;
            }
        }
        std::ofstream(path, std::ios::binary) << file;
        FilterDefinition before = *definition_, expected = *definition_;
        MemoryByteSource source(file);
        bool decodes = DecodeSettings(source, expected);
        SettingsStatus status = ReadSettingsFile(path.c_str(), *definition_);
        if (decodes) {
            ASSERT_EQ(status, SettingsStatus::Ok) << n;
            ASSERT_EQ(std::memcmp(definition_, &expected, sizeof expected), 0) << n;
            ++complete;
        } else {
            ASSERT_EQ(status, SettingsStatus::ReadFailed) << n;
            ASSERT_EQ(std::memcmp(definition_, &before, sizeof before), 0) << n;
            ++refused;
        }
        // Whatever was loaded saves and loads back the same.
        ASSERT_EQ(WriteSettingsFile(path.c_str(), *definition_), SettingsStatus::Ok);
        FilterDefinition again = *definition_;
        ASSERT_EQ(ReadSettingsFile(path.c_str(), again), SettingsStatus::Ok);
        ASSERT_EQ(std::memcmp(&again, definition_, sizeof again), 0) << n;
    }
    EXPECT_GT(complete, 10);
    EXPECT_GT(refused, 10);
    DeleteFileA(path.c_str());
}

TEST_F(SettingsFileFuzz, FailedRenameLeavesTheTargetAndNoTemporaryFile) {
    std::string folder = OwnFolder() + "save-fail";
    CreateDirectoryA(folder.c_str(), nullptr);
    // A folder of the target's name cannot be replaced by a file: the
    // temporary file is written and the final rename fails.
    std::string path = folder + "\\kept.tfs";
    CreateDirectoryA(path.c_str(), nullptr);
    std::string inside = path + "\\keep.txt";
    std::ofstream(inside, std::ios::binary) << "kept";
    EXPECT_EQ(WriteSettingsFile(path.c_str(), *definition_), SettingsStatus::WriteFailed);
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*.tmp").c_str(), &fd);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE) << "a temporary file was left: " << fd.cFileName;
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    // A folder that does not exist: nothing can be created.
    EXPECT_EQ(WriteSettingsFile((folder + "\\none\\x.tfs").c_str(), *definition_),
              SettingsStatus::OpenFailed);
    DeleteFileA(inside.c_str());
    RemoveDirectoryA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(SettingsFileFuzz, MakerLeavesACompleteFileOrNone) {
    std::string folder = OwnFolder() + "make-fail";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string path = folder + "\\taken.lmf", inside = path + "\\keep.txt";
    CreateDirectoryA(path.c_str(), nullptr);
    std::ofstream(inside, std::ios::binary) << "kept";
    FilterDefinition& copy = MakerCopy();
    EXPECT_EQ(WritePluginFile(path, copy), MakeStatus::WriteFailed);  // message 2008
    EXPECT_EQ(copy.madeFilter, 1);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*.tmp").c_str(), &fd);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE) << "a temporary file was left: " << fd.cFileName;
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    EXPECT_EQ(WritePluginFile(folder + "\\none\\x.lmf", copy), MakeStatus::CopyFailed);  // 2007
    std::string good = folder + "\\good.lmf";
    EXPECT_EQ(WritePluginFile(good, copy), MakeStatus::Ok);
    EXPECT_TRUE(DeleteFileA(good.c_str()));
    DeleteFileA(inside.c_str());
    RemoveDirectoryA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}
