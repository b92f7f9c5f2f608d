// The program's settings file, "config.ini" beside its executable, one section of keys. The path is
// formed afresh for every call. Safe on any thread; in practice used on the user-interface thread.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvelin {

std::filesystem::path SettingsFilePath();

// True when something exists at the path (even if it cannot be read).
bool SettingsFileExists(const std::filesystem::path& file);

std::string ReadSetting(std::string_view key, std::string_view defaultValue = {});
bool WriteSetting(std::string_view key, std::string_view value);

}  // namespace tarvelin
