#include "settings/file_access.h"

#include <fstream>
#include <system_error>

namespace tarvelin {

FileReadResult ReadWholeFile(const std::filesystem::path& file, std::size_t maxBytes) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) return {FileReadStatus::kMissing, {}};
    if (error || status.type() != std::filesystem::file_type::regular) return {FileReadStatus::kFailed, {}};
    const auto size = std::filesystem::file_size(file, error);
    if (error || size > maxBytes) return {FileReadStatus::kFailed, {}};

    std::ifstream stream(file, std::ios::binary);
    if (!stream) return {FileReadStatus::kFailed, {}};
    FileReadResult result{FileReadStatus::kRead, {}};
    // The size may change under us; read what is there, but never more than the limit.
    result.bytes.resize(static_cast<std::size_t>(size));
    stream.read(result.bytes.data(), static_cast<std::streamsize>(result.bytes.size()));
    result.bytes.resize(static_cast<std::size_t>(stream.gcount()));
    if (stream.bad()) return {FileReadStatus::kFailed, {}};
    return result;
}

std::filesystem::path ReplacementTarget(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_symlink(file, error)) return file;
    auto target = std::filesystem::weakly_canonical(file, error);
    return error ? std::filesystem::path() : target;
}

}  // namespace tarvelin
