#include "files/AtomicFile.h"

#include "files/Paths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace orven {

namespace {

constexpr int kTempNameAttempts = 100;
constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, as for any file created
constexpr mode_t kPermissionBits = 07777;

// Like mkstemp, but the file is created with kNewFileMode so that the umask applies to it.
int CreateTempFile(const std::string& path, std::string& tempPath) {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x~", static_cast<unsigned>(random()));
        tempPath = path + suffix;
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool FillAndClose(int fd, std::span<const std::uint8_t> bytes, const struct stat* existing) {
    bool ok = WriteAll(fd, bytes);
    if (ok && existing) ok = fchmod(fd, existing->st_mode & kPermissionBits) == 0;
    if (ok) ok = fsync(fd) == 0;
    if (close(fd) != 0) ok = false;
    return ok;
}

}  // namespace

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

bool SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = fsync(fd) == 0;
    close(fd);
    return ok;
}

bool WriteFileAtomically(const std::string& linkOrPath, std::span<const std::uint8_t> bytes) {
    const std::string path = ResolveLinks(linkOrPath);
    struct stat target{};
    const bool exists = stat(path.c_str(), &target) == 0;
    if (exists && (!S_ISREG(target.st_mode) || !CanWrite(path))) return false;

    std::string tempPath;
    const int fd = CreateTempFile(path, tempPath);
    if (fd < 0) return false;
    if (!FillAndClose(fd, bytes, exists ? &target : nullptr) ||
        std::rename(tempPath.c_str(), path.c_str()) != 0) {
        unlink(tempPath.c_str());
        return false;
    }
    // Makes the rename itself durable; a failure here does not undo a completed replacement.
    SyncFolder(FolderOf(path));
    return true;
}

bool CanSaveAtomically(const std::string& linkOrPath) {
    const std::string path = ResolveLinks(linkOrPath);
    struct stat target{};
    if (stat(path.c_str(), &target) == 0 && (!S_ISREG(target.st_mode) || !CanWrite(path))) return false;
    std::string tempPath;
    const int fd = CreateTempFile(path, tempPath);
    if (fd < 0) return false;
    close(fd);
    unlink(tempPath.c_str());
    return true;
}

std::string SaveObstacle(const std::string& linkOrPath) {
    const std::string path = ResolveLinks(linkOrPath);
    struct stat target{};
    if (stat(path.c_str(), &target) == 0) {
        if (S_ISDIR(target.st_mode)) return path + " is a folder";
        if (!S_ISREG(target.st_mode)) return path + " is no regular file";
        if (!CanWrite(path)) return path + " is write-protected";
    }
    std::string tempPath;
    const int fd = CreateTempFile(path, tempPath);
    const int cause = errno;
    if (fd >= 0) {
        close(fd);
        unlink(tempPath.c_str());
        return "the disk may be full";
    }
    const std::string folder = FolderOf(path);
    struct stat place{};
    const bool folderExists = stat(folder.c_str(), &place) == 0 && S_ISDIR(place.st_mode);
    switch (cause) {
    case ENOENT:
    case ENOTDIR:
        // Some file systems (/proc, /sys) answer "no such file" for a folder that takes no new files.
        if (!folderExists) return "the folder " + folder + " does not exist";
        return "the folder " + folder + " may not be written";
    case EACCES:
    case EPERM:
    case EROFS: return "the folder " + folder + " may not be written";
    case ENOSPC:
    case EDQUOT: return "the disk is full";
    default: return std::strerror(cause);
    }
}

bool WriteFileAtomically(const std::string& path, std::string_view text) {
    return WriteFileAtomically(
        path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()),
                                            text.size()));
}

}  // namespace orven
