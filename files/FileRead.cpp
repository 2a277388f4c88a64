#include "files/FileRead.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orven {

namespace {

// Bytes read until the span is full or the file ends; -1 on a read error.
ssize_t ReadUpTo(int fd, std::span<std::uint8_t> into) {
    std::size_t got = 0;
    while (got < into.size()) {
        const ssize_t n = read(fd, into.data() + got, into.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

FileRead ReadOpenFile(int fd, std::span<std::uint8_t> into) {
    struct stat info{};
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) return {FileReadStatus::CannotOpen, 0, false};
    const ssize_t got = ReadUpTo(fd, into);
    if (got < 0) return {FileReadStatus::ReadFailed, 0, false};
    std::uint8_t probe = 0;
    const ssize_t beyond = ReadUpTo(fd, std::span<std::uint8_t>(&probe, 1));
    if (beyond < 0) return {FileReadStatus::ReadFailed, static_cast<std::size_t>(got), false};
    return {FileReadStatus::Ok, static_cast<std::size_t>(got), beyond > 0};
}

}  // namespace

FileRead ReadFileStart(const std::string& path, std::span<std::uint8_t> into) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {FileReadStatus::CannotOpen, 0, false};
    const FileRead result = ReadOpenFile(fd, into);
    close(fd);
    return result;
}

FileRead ReadTextStart(const std::string& path, std::size_t maxBytes, std::string& text) {
    text.assign(maxBytes, '\0');
    const FileRead read = ReadFileStart(path, std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()));
    text.resize(read.bytes);
    return read;
}

std::string WholeReadProblem(const FileRead& read, const std::string& what) {
    if (read.status == FileReadStatus::CannotOpen) return "cannot be opened";
    if (read.status != FileReadStatus::Ok) return "cannot be read";
    return read.more ? "too large for " + what : std::string();
}

}  // namespace orven
