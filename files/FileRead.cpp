#include "files/FileRead.h"

#include <cerrno>
#include <cstring>
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
    if (fstat(fd, &info) != 0) return {FileReadStatus::CannotOpen, 0, false, errno};
    if (S_ISDIR(info.st_mode)) return {FileReadStatus::CannotOpen, 0, false, EISDIR};
    const ssize_t got = ReadUpTo(fd, into);
    if (got < 0) return {FileReadStatus::ReadFailed, 0, false, errno};
    std::uint8_t probe = 0;
    const ssize_t beyond = ReadUpTo(fd, std::span<std::uint8_t>(&probe, 1));
    if (beyond < 0) return {FileReadStatus::ReadFailed, static_cast<std::size_t>(got), false, errno};
    return {FileReadStatus::Ok, static_cast<std::size_t>(got), beyond > 0};
}

}  // namespace

FileRead ReadFileStart(const std::string& path, std::span<std::uint8_t> into) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {FileReadStatus::CannotOpen, 0, false, errno};
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
    if (read.status == FileReadStatus::CannotOpen) return "cannot be opened (" + ReadFailureCause(read) + ")";
    if (read.status != FileReadStatus::Ok) return "cannot be read (" + ReadFailureCause(read) + ")";
    return read.more ? "too large for " + what : std::string();
}

std::string ReadFailureCause(const FileRead& read) {
    switch (read.error) {
    case 0: return {};
    case ENOENT: return "no such file";
    case EACCES:
    case EPERM: return "permission denied";
    case EISDIR: return "a folder, not a file";
    case ENOTDIR: return "a part of the path is not a folder";
    default: return std::strerror(read.error);
    }
}

std::string OpenFailureCause(const std::string& path) {
    const FileRead read = ReadFileStart(path, {});
    return read.status == FileReadStatus::Ok ? std::string() : ReadFailureCause(read);
}

}  // namespace orven
