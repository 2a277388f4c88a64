#include "link/SystemFiles.h"

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <grp.h>
#include <sstream>

namespace orven {

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* e = readdir(dir))
        if (e->d_name[0] != '.') names.emplace_back(e->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string GroupName(gid_t gid) {
    const group* g = getgrgid(gid);
    return g ? g->gr_name : std::to_string(gid);
}

bool IsDecimal(std::string_view name) {
    return !name.empty() && name.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace orven
