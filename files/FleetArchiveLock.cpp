#include "files/FleetArchiveLock.h"

#include "files/Paths.h"
#include "files/RadioArchive.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace orven {

namespace {

constexpr mode_t kLockMode = 0644;
constexpr std::size_t kPidTextMax = 32;

// The process number the holder wrote into the file; empty when it wrote none.
std::string HolderOf(int fd) {
    char text[kPidTextMax] = {};
    const ssize_t n = pread(fd, text, sizeof text - 1, 0);
    std::string pid(text, n > 0 ? static_cast<std::size_t>(n) : 0);
    while (!pid.empty() && (pid.back() == '\n' || pid.back() == ' ')) pid.pop_back();
    return pid;
}

}  // namespace

FleetArchiveLock::FleetArchiveLock(const RadioArchive& archive) {
    const std::string path = JoinPath(archive.Folder(), kFleetLockName);
    std::error_code made;
    std::filesystem::create_directories(archive.Folder(), made);
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kLockMode);
    if (fd < 0) {
        why_ = "The radio archive " + archive.Folder() + " cannot be locked for the run (" + std::strerror(errno) +
               "); nothing was programmed.";
        return;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const std::string holder = HolderOf(fd);
        why_ = "Another fleet run" + (holder.empty() ? std::string() : " (process " + holder + ")") +
               " is programming radios with the radio archive " + archive.Folder() +
               "; nothing was programmed. Run one at a time, with all the ports in it: two runs at once could give "
               "one MMSI to two radios.";
        close(fd);
        return;
    }
    const std::string pid = std::to_string(getpid()) + "\n";
    if (ftruncate(fd, 0) == 0 && pwrite(fd, pid.data(), pid.size(), 0) < 0) {
        // The number only names the holder to another run; the lock holds without it.
    }
    fd_ = fd;
}

FleetArchiveLock::~FleetArchiveLock() {
    if (fd_ >= 0) close(fd_);
}

}  // namespace orven
