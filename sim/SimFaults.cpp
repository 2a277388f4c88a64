#include "sim/SimFaults.h"

namespace orven {

namespace {
constexpr std::int64_t kBitsPerByte = 10;
}

bool FaultScope::Hits(std::uint32_t frameNumber) const {
    if (onlyFrame != 0 && frameNumber != onlyFrame) return false;
    if (firstFrames != 0 && frameNumber > firstFrames) return false;
    return true;
}

std::chrono::nanoseconds ByteTime(std::uint32_t baud) {
    if (baud == 0) return std::chrono::nanoseconds{0};
    return std::chrono::nanoseconds{kBitsPerByte * 1'000'000'000LL / baud};
}

}  // namespace orven
