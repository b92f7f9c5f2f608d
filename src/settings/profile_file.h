// Reading and writing single keys of a profile (INI) file on disk, with the rules of ProfileDocument.
// Each call reads the file afresh; a write replaces the file whole or not at all. Safe on any thread,
// but concurrent writers of one file may lose each other's key (last rename wins).
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "settings/profile_document.h"

namespace tarvelin {

// Larger files are not read (the result is the default) and not rewritten: a settings file is a few
// kilobytes, and one this big is not ours to parse or to replace.
inline constexpr std::size_t kMaxProfileFileBytes = 32u * 1024 * 1024;

// The key's value, or defaultValue when the file, section or key is absent or the file cannot be read.
// Trailing spaces of defaultValue are dropped, as the platform's read does.
std::string ReadProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                              std::string_view defaultValue);

// Stores the value (see ProfileDocument::Set); creates the file when it is missing. False when nothing
// was written: unreadable or read-only file, missing directory, or a value that could not be stored.
bool WriteProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value);

// The file as a document: empty when missing; nothing when it exists but cannot be read whole.
std::optional<ProfileDocument> LoadProfile(const std::filesystem::path& file);

// Writes the document over the file in one step.
bool StoreProfile(const std::filesystem::path& file, const ProfileDocument& document);

// The default as the platform's read returns it: without trailing spaces, cut like a value.
std::string EffectiveDefault(std::string_view defaultValue);

}  // namespace tarvelin
