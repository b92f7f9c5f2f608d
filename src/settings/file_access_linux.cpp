#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

#include "settings/file_access.h"

namespace tarvelin {
namespace {

// Unique within the process; the pid makes it unique between processes.
std::atomic<unsigned> g_tempCounter{0};

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

int CreateTempBeside(const std::filesystem::path& target, std::filesystem::path& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = target;
        tempPath += ".tmp." + std::to_string(::getpid()) + "." + std::to_string(g_tempCounter++);
        // 0666 lets the umask decide, as for any new file; an existing target's mode is copied later.
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// A rename is durable only once the directory entry itself reaches the disk.
void SyncDirectory(const std::filesystem::path& directory) {
    const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes) {
    const std::filesystem::path target = ReplacementTarget(file);
    if (target.empty()) return false;
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    // The rename would go through a read-only file; the user made it read-only to keep it as it is. The
    // mode bits are checked too because access() lets root write anything.
    constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
    if (exists && (!S_ISREG(existing.st_mode) || (existing.st_mode & kAnyWrite) == 0 ||
                   ::access(target.c_str(), W_OK) != 0)) {
        return false;
    }

    std::filesystem::path tempPath;
    FileDescriptor temp(CreateTempBeside(target, tempPath));
    if (temp.Get() < 0) return false;
    bool ok = (!exists || ::fchmod(temp.Get(), existing.st_mode & 07777) == 0) && WriteAll(temp.Get(), bytes) &&
              ::fsync(temp.Get()) == 0;
    ok = temp.Close() && ok;
    ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath.c_str());
        return false;
    }
    SyncDirectory(target.parent_path());
    return true;
}

std::filesystem::path ExecutablePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

}  // namespace tarvelin
