// The small text files and folders the system describes itself with (/proc, /sys, udev rules),
// read the way the port diagnosis and the connection probe both need them.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace orven {

// The names in a folder, hidden ones left out, sorted; none when it cannot be read.
std::vector<std::string> FolderEntries(const std::string& folder);
// The whole file, or its first line; empty when it cannot be read.
std::string FileText(const std::string& path);
std::string FirstLine(const std::string& path);
// The group's name, or its number when the group database does not know it.
std::string GroupName(gid_t gid);
// Whether a name is all digits, as the process folders in /proc and their descriptors are.
bool IsDecimal(std::string_view name);

}  // namespace orven
