#include "link/PortNames.h"

#include "link/PortLock.h"

#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orven {
namespace {

struct DeviceRange {
    int firstPort;
    int lastPort;
    const char* prefix;
};

constexpr std::array<DeviceRange, 3> kFixedDevices = {{
    {1, 8, "/dev/ttyUSB"},
    {9, 16, "/dev/ttyACM"},
    {17, 32, "/dev/ttyS"},
}};

std::string FolderEntry(int n) {
    std::string folder = PortFolder();
    if (folder.empty()) {
        return {};
    }
    std::string path = folder + "/com" + std::to_string(n);
    struct stat st{};
    // lstat: a dangling link still names the port (the open then reports it as missing).
    return lstat(path.c_str(), &st) == 0 ? path : std::string{};
}

std::string FixedDevice(int n) {
    for (const DeviceRange& range : kFixedDevices) {
        if (n >= range.firstPort && n <= range.lastPort) {
            return range.prefix + std::to_string(n - range.firstPort);
        }
    }
    return {};
}

bool CanOpenExclusively(const std::string& device) {
    int fd = open(device.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool free = AcquirePortLock(fd) == 0;
    if (free) {
        ReleasePortLock(fd);
    }
    close(fd);
    return free;
}

}  // namespace

std::string ComPortName(int n) {
    return "COM" + std::to_string(n);
}

int ParseComPortName(const std::string& name) {
    if (name.size() < 4 || name.size() > 6) return 0;
    for (std::size_t i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return 0;
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || (i == 3 && name[i] == '0')) return 0;
        n = n * 10 + (name[i] - '0');
    }
    return n <= kMaxComPort ? n : 0;
}

std::string PortFolder() {
    const char* dir = std::getenv(kPortDirVariable);
    if (dir != nullptr && *dir != '\0') {
        return dir;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return std::string(home) + "/.config/orven/ports";
    }
    return {};
}

std::string ComPortDevice(int n) {
    if (n < 1) {
        return {};
    }
    std::string entry = FolderEntry(n);
    return entry.empty() ? FixedDevice(n) : entry;
}

std::array<bool, kComPortCount> ScanComPorts() {
    std::array<bool, kComPortCount> present{};
    for (int n = 1; n <= kComPortCount; ++n) {
        std::string device = ComPortDevice(n);
        present[n - 1] = !device.empty() && CanOpenExclusively(device);
    }
    return present;
}

}  // namespace orven
