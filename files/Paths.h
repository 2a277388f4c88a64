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

}  // namespace orven
