#include "files/Paths.h"

#include <cerrno>
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

}  // namespace orven
