// Forming paths and testing them: the folder the program works in and the names of the
// report files it writes there.
#pragma once

#include <string>

namespace orven {

inline constexpr char kPathSeparator = '/';

inline constexpr const char* kVerifyFileName = "Verify.txt";
inline constexpr const char* kFreqReportFileName = "FreqTabl.txt";

// dir + separator + name; no doubled separator when dir already ends with one, and just name
// when dir is empty.
std::string JoinPath(const std::string& dir, const std::string& name);

// The process's current directory, or "." when it cannot be determined (e.g. removed).
std::string CurrentDirectory();

// True when the operating system grants write access to an existing path.
bool CanWrite(const std::string& path);

// The path a write to `path` lands on: symbolic links followed (a relative link from the folder
// it sits in) to the first name that is not a link, which need not exist yet. The path itself
// when it is no link or the links loop.
std::string ResolveLinks(const std::string& path);

// The folder of a path: "." for a bare name.
std::string FolderOf(const std::string& path);

// The path made absolute, links followed and "." and ".." gone, as far as it exists; the rest
// appended as written.
std::string ResolvedPath(const std::string& path);

// True when a file written at `path` would land in `folder` or below it, whatever the spelling
// (links, "..", a relative path); neither needs to exist yet.
bool LiesWithin(const std::string& path, const std::string& folder);

// True when both names reach the same file: the same device and inode, or, when one does not
// exist yet, the same path once links are followed and the folder is made absolute.
bool IsSameFile(const std::string& a, const std::string& b);

}  // namespace orven
