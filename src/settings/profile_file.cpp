#include "settings/profile_file.h"

#include "settings/file_access.h"

namespace tarvelin {

std::optional<ProfileDocument> LoadProfile(const std::filesystem::path& file) {
    FileReadResult read = ReadWholeFile(file, kMaxProfileFileBytes);
    switch (read.status) {
        case FileReadStatus::kRead:
            return ProfileDocument::FromBytes(read.bytes);
        case FileReadStatus::kMissing:
            return ProfileDocument();
        case FileReadStatus::kFailed:
            break;
    }
    return std::nullopt;
}

bool StoreProfile(const std::filesystem::path& file, const ProfileDocument& document) {
    return ReplaceFileContents(file, document.ToBytes());
}

std::string EffectiveDefault(std::string_view defaultValue) {
    const std::size_t last = defaultValue.find_last_not_of(' ');
    defaultValue = last == std::string_view::npos ? std::string_view() : defaultValue.substr(0, last + 1);
    return std::string(CutAtCharacter(defaultValue, ProfileDocument::kMaxValueBytes));
}

std::string ReadProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                              std::string_view defaultValue) {
    const std::optional<ProfileDocument> document = LoadProfile(file);
    if (document) {
        if (auto value = document->Find(section, key)) return std::move(*value);
    }
    return EffectiveDefault(defaultValue);
}

bool WriteProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value) {
    std::optional<ProfileDocument> document = LoadProfile(file);
    if (!document || !document->Set(section, key, value)) return false;
    return StoreProfile(file, *document);
}

}  // namespace tarvelin
