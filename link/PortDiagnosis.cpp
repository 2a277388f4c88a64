#include "link/PortDiagnosis.h"

#include "link/SystemFiles.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace orven {

namespace {

bool HasOpen(const std::string& fdFolder, dev_t device) {
    for (const std::string& fd : FolderEntries(fdFolder)) {
        struct stat info{};
        if (IsDecimal(fd) && stat((fdFolder + "/" + fd).c_str(), &info) == 0 && S_ISCHR(info.st_mode) &&
            info.st_rdev == device)
            return true;
    }
    return false;
}

std::string GroupOf(const std::string& device) {
    struct stat info{};
    return stat(device.c_str(), &info) == 0 ? GroupName(info.st_gid) : std::string();
}

}  // namespace

std::optional<PortHolder> FindPortHolder(const std::string& device) {
    struct stat port{};
    if (stat(device.c_str(), &port) != 0 || !S_ISCHR(port.st_mode)) return std::nullopt;
    for (const std::string& entry : FolderEntries("/proc")) {
        if (!IsDecimal(entry)) continue;
        const pid_t pid = static_cast<pid_t>(std::stol(entry));
        if (pid != getpid() && HasOpen("/proc/" + entry + "/fd", port.st_rdev))
            return PortHolder{pid, FirstLine("/proc/" + entry + "/comm")};
    }
    return std::nullopt;
}

std::string PortOpenCause(const std::string& device, int error) {
    switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOTDIR: return device + ": no such device";
    case EACCES:
    case EPERM: {
        const std::string group = GroupOf(device);
        return device + ": permission denied" +
               (group.empty() || group == "root" ? std::string() : " - is the user in the " + group + " group?");
    }
    case EBUSY:
    case EWOULDBLOCK:
        if (const auto holder = FindPortHolder(device))
            return device + ": in use by PID " + std::to_string(holder->pid) + " " + holder->program;
        return device + ": in use by another program";
    default: return device + ": " + std::strerror(error);
    }
}

}  // namespace orven
