#include "link/PortDiagnosis.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orven {

namespace {

bool IsNumber(const char* name) {
    if (!*name) return false;
    for (; *name; ++name)
        if (*name < '0' || *name > '9') return false;
    return true;
}

bool HasOpen(const std::string& fdFolder, dev_t device) {
    DIR* fds = opendir(fdFolder.c_str());
    if (!fds) return false;
    bool found = false;
    while (const dirent* fd = readdir(fds)) {
        struct stat info{};
        if (IsNumber(fd->d_name) && stat((fdFolder + "/" + fd->d_name).c_str(), &info) == 0 &&
            S_ISCHR(info.st_mode) && info.st_rdev == device) {
            found = true;
            break;
        }
    }
    closedir(fds);
    return found;
}

std::string CommandOf(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

std::string GroupOf(const std::string& device) {
    struct stat info{};
    if (stat(device.c_str(), &info) != 0) return {};
    const group* g = getgrgid(info.st_gid);
    return g ? g->gr_name : std::to_string(info.st_gid);
}

}  // namespace

std::optional<PortHolder> FindPortHolder(const std::string& device) {
    struct stat port{};
    if (stat(device.c_str(), &port) != 0 || !S_ISCHR(port.st_mode)) return std::nullopt;
    DIR* processes = opendir("/proc");
    if (!processes) return std::nullopt;
    std::optional<PortHolder> holder;
    while (const dirent* entry = readdir(processes)) {
        if (!IsNumber(entry->d_name)) continue;
        const pid_t pid = static_cast<pid_t>(std::stol(entry->d_name));
        if (pid == getpid() || !HasOpen(std::string("/proc/") + entry->d_name + "/fd", port.st_rdev)) continue;
        holder = PortHolder{pid, CommandOf(pid)};
        break;
    }
    closedir(processes);
    return holder;
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
