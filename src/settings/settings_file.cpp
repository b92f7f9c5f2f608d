#include "settings/settings_file.h"

#include <system_error>

#include "settings/file_access.h"
#include "settings/profile_file.h"
#include "settings/settings_keys.h"

namespace tarvelin {

std::filesystem::path SettingsFilePath() {
    // Without the executable's path the working directory is the best remaining guess.
    return ExecutablePath().parent_path() / kSettingsFileName;
}

bool SettingsFileExists(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::symlink_status(file, error).type() != std::filesystem::file_type::not_found && !error;
}

std::string ReadSetting(std::string_view key, std::string_view defaultValue) {
    return ReadProfileString(SettingsFilePath(), kSettingsSection, key, defaultValue);
}

bool WriteSetting(std::string_view key, std::string_view value) {
    return WriteProfileString(SettingsFilePath(), kSettingsSection, key, value);
}

}  // namespace tarvelin
