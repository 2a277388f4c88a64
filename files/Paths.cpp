#include "files/Paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orven {

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == kPathSeparator) return dir + name;
    return dir + kPathSeparator + name;
}

std::string CurrentDirectory() {
    std::vector<char> buffer(256);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return ".";
        buffer.resize(buffer.size() * 2);
    }
    return std::string(buffer.data());
}

bool CanWrite(const std::string& path) { return access(path.c_str(), W_OK) == 0; }

namespace {

// The kernel's own limit on links followed in one lookup.
constexpr int kMaxLinksFollowed = 40;

std::string LinkTarget(const std::string& link) {
    std::vector<char> buffer(PATH_MAX);
    const ssize_t n = readlink(link.c_str(), buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return {};
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

// The folder made absolute and free of links; the name kept. The path as it is when the folder
// does not exist.
std::string Canonical(const std::string& path) {
    const std::string folder = FolderOf(path);
    char* real = realpath(folder.c_str(), nullptr);
    if (!real) return path;
    const std::string absolute = JoinPath(real, path.substr(path.rfind(kPathSeparator) + 1));
    std::free(real);
    return absolute;
}

}  // namespace

std::string FolderOf(const std::string& path) {
    const auto cut = path.rfind(kPathSeparator);
    if (cut == std::string::npos) return ".";
    if (cut == 0) return std::string(1, kPathSeparator);
    return path.substr(0, cut);
}

std::string ResolveLinks(const std::string& path) {
    std::string current = path;
    for (int followed = 0; followed < kMaxLinksFollowed; ++followed) {
        struct stat info{};
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        const std::string target = LinkTarget(current);
        if (target.empty()) return current;
        current = target.front() == kPathSeparator || current.find(kPathSeparator) == std::string::npos
                      ? target
                      : JoinPath(FolderOf(current), target);
    }
    return path;
}

std::string ResolvedPath(const std::string& path) {
    const std::string resolved = ResolveLinks(path);
    if (char* real = realpath(resolved.c_str(), nullptr)) {
        std::string absolute(real);
        std::free(real);
        return absolute;
    }
    const std::string folder = FolderOf(resolved);
    const auto cut = resolved.rfind(kPathSeparator);
    if (folder == resolved || (cut != std::string::npos && cut + 1 == resolved.size())) return resolved;
    return JoinPath(ResolvedPath(folder), resolved.substr(cut == std::string::npos ? 0 : cut + 1));
}

bool LiesWithin(const std::string& path, const std::string& folder) {
    const std::string target = ResolvedPath(path), base = ResolvedPath(folder);
    return target == base || target.rfind(JoinPath(base, ""), 0) == 0;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat infoA{}, infoB{};
    if (stat(a.c_str(), &infoA) == 0 && stat(b.c_str(), &infoB) == 0)
        return infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
    return Canonical(ResolveLinks(a)) == Canonical(ResolveLinks(b));
}

}  // namespace orven
