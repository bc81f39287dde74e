// Settings files on disk, mutated: a load either takes the whole file (the
// same as the codec reading it from memory) or leaves the definition exactly
// as it was, which is what the editor showed; a save always reads back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <random>

#include "plugin_ui/settings_codec.h"
#include "plugin_ui/settings_file.h"
#include "tests/plugin_ui/plugin_fixture.h"
#include "tests/support/files.h"

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
        WriteBytes(path, file);
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
