// Reading the leading bytes of a file of fixed-layout records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orven {

enum class FileReadStatus {
    Ok,
    CannotOpen,  // missing, not permitted, or a folder
    ReadFailed,
};

struct FileRead {
    FileReadStatus status;
    std::size_t bytes;  // how many leading bytes of the buffer were filled
    bool more;          // the file holds more bytes than the buffer
    int error = 0;      // the system's reason when it could not be opened or read (errno)
};

// Fills `into` from the start of the file, up to its size or the end of the file.
FileRead ReadFileStart(const std::string& path, std::span<std::uint8_t> into);
// The same into a text of at most `maxBytes`, which is left as long as what was read.
FileRead ReadTextStart(const std::string& path, std::size_t maxBytes, std::string& text);
// Why a file could not be taken whole: "cannot be opened (no such file)", "too large for <what>"
// (more than was read) or "cannot be read (...)"; empty when it was.
std::string WholeReadProblem(const FileRead& read, const std::string& what);
// Why a file that could not be opened or read was not: "no such file", "permission denied", "a
// folder, not a file", or the system's own words.
std::string ReadFailureCause(const FileRead& read);
// The same for a path, found by trying to open it now; empty when it opens.
std::string OpenFailureCause(const std::string& path);

}  // namespace orven
