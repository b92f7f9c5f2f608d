#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <system_error>

#include "settings/file_access.h"

namespace tarvelin {
namespace {

std::atomic<unsigned> g_tempCounter{0};

bool WriteAll(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

HANDLE CreateTempBeside(const std::filesystem::path& target, std::filesystem::path& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = target;
        tempPath += L".tmp." + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(g_tempCounter++);
        const HANDLE handle = CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return handle;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

bool ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes) {
    const std::filesystem::path target = ReplacementTarget(file);
    if (target.empty()) return false;
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    std::filesystem::path tempPath;
    const HANDLE temp = CreateTempBeside(target, tempPath);
    if (temp == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAll(temp, bytes) && FlushFileBuffers(temp);
    ok = CloseHandle(temp) && ok;
    // WRITE_THROUGH makes the call return only once the rename has reached the disk.
    ok = ok && MoveFileExW(tempPath.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        DeleteFileW(tempPath.c_str());
        return false;
    }
    return true;
}

std::filesystem::path ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return std::filesystem::path(buffer);
        }
        // Truncated: the name did not fit, try again with more room.
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace tarvelin
