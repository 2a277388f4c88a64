// Any bytes as the state file: a read fills at most one record and leaves the rest as it was.
#include "files/StateFile.h"
#include "fuzz/FuzzSupport.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orven;
    const std::string path = fuzz::ScratchFile("state.Bin", data, size);
    AppState state = FreshAppState();
    std::memset(&state, 0x5A, sizeof state);
    if (ReadStateFile(path, state) != kStateFileOk) fuzz::Fail("an existing state file was not read");
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&state);
    const std::size_t filled = std::min(size, sizeof state);
    if (std::memcmp(bytes, data, filled) != 0) fuzz::Fail("the record does not hold the file's bytes");
    for (std::size_t i = filled; i < sizeof state; ++i)
        if (bytes[i] != 0x5A) fuzz::Fail("bytes beyond a short file changed");
    return 0;
}
