// The application state file: the AppState record byte for byte, in the working folder and
// named after the program.
#pragma once

#include "model/AppState.h"

#include <cstddef>
#include <string>

namespace orven {

inline constexpr std::size_t kStateFileSize = sizeof(AppState);
inline constexpr const char* kStateFileExtension = ".Bin";
inline constexpr int kStateFileOk = 0;
inline constexpr int kStateFileFailed = -1;

// workDir + separator + programName + ".Bin".
std::string StateFilePath(const std::string& workDir, const std::string& programName);

// Reads up to one record into `state` from its start: a short file fills only the leading
// bytes and the rest keeps its values. kStateFileFailed, with `state` untouched, when the file
// cannot be opened or read.
int ReadStateFile(const std::string& path, AppState& state);

// Writes the whole record atomically; kStateFileFailed when it cannot.
int WriteStateFile(const std::string& path, const AppState& state);

}  // namespace orven
