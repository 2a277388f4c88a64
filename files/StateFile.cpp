#include "files/StateFile.h"

#include "files/AtomicFile.h"
#include "files/FileRead.h"
#include "files/Paths.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <span>

namespace orven {

std::string StateFilePath(const std::string& workDir, const std::string& programName) {
    return JoinPath(workDir, programName + kStateFileExtension);
}

int ReadStateFile(const std::string& path, AppState& state) {
    std::array<std::uint8_t, kStateFileSize> buffer{};
    const FileRead read = ReadFileStart(path, buffer);
    if (read.status != FileReadStatus::Ok) return kStateFileFailed;
    std::memcpy(&state, buffer.data(), read.bytes);
    return kStateFileOk;
}

int WriteStateFile(const std::string& path, const AppState& state) {
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(&state),
                                              sizeof state);
    return WriteFileAtomically(path, bytes) ? kStateFileOk : kStateFileFailed;
}

}  // namespace orven
