#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace tarvelin {
namespace {

using testing::TempDir;
using testing::WriteBytes;

TEST(SettingsFilePath, RunningProgram_IsConfigIniBesideExecutable) {
    const std::filesystem::path path = SettingsFilePath();
    EXPECT_EQ(path.filename(), "config.ini");
    EXPECT_TRUE(path.is_absolute());
    EXPECT_TRUE(std::filesystem::exists(path.parent_path() / "settings_file_test"));
}

TEST(SettingsFileExists, KindsOfEntry_CountAsPresentUnlessNothingIsThere) {
    TempDir dir;
    EXPECT_FALSE(SettingsFileExists(dir.File()));
    WriteBytes(dir.File(), "");
    EXPECT_TRUE(SettingsFileExists(dir.File()));
    std::filesystem::remove(dir.File());
    std::filesystem::create_directory(dir.File());
    EXPECT_TRUE(SettingsFileExists(dir.File()));
    std::filesystem::create_symlink(dir.Path() / "nowhere", dir.File("dangling.ini"));
    EXPECT_TRUE(SettingsFileExists(dir.File("dangling.ini")));
    EXPECT_FALSE(SettingsFileExists(dir.Path() / "missing" / "config.ini"));
}

}  // namespace
}  // namespace tarvelin
