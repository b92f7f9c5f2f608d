// Whole-file reads and all-or-nothing file replacement for the settings file, and the program's own
// path. Stateless functions; safe on any thread, though two writers of one file race as with any file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarvelin {

enum class FileReadStatus {
    kRead,
    kMissing,  // nothing at the path
    kFailed,   // present but not a readable regular file, or larger than the limit
};

struct FileReadResult {
    FileReadStatus status = FileReadStatus::kMissing;
    std::string bytes;
};

// Reads a regular file whole. A FIFO, device or directory at the path is not read, so a read never
// blocks; a file over maxBytes is not read either.
FileReadResult ReadWholeFile(const std::filesystem::path& file, std::size_t maxBytes);

// Writes bytes to a new file beside the target, flushes it to the disk and renames it over the target,
// so the target holds either its old or its new content whatever happens. A symbolic link is followed
// and its target replaced. Refuses (returns false) when the existing file is read-only.
bool ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes);

// The file a replacement writes: a symbolic link's final target, so the link itself survives; empty when
// the link cannot be resolved.
std::filesystem::path ReplacementTarget(const std::filesystem::path& file);

// Full path of the running executable; empty when the platform does not tell.
std::filesystem::path ExecutablePath();

}  // namespace tarvelin
