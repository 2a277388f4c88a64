#include "sim/SimFaults.h"

namespace orven {

namespace {
constexpr std::int64_t kBitsPerByte = 10;
}

std::vector<std::uint8_t> LineFault::Apply(const std::uint8_t* bytes, std::size_t n) const {
    std::vector<std::uint8_t> out(bytes, bytes + n);
    if (at >= n) return out;
    const auto where = out.begin() + static_cast<std::ptrdiff_t>(at);
    switch (kind) {
    case Kind::None: break;
    case Kind::Drop: out.erase(where); break;
    case Kind::Duplicate: out.insert(where, *where); break;
    case Kind::Corrupt: *where ^= flip; break;
    }
    return out;
}

bool FaultScope::Hits(std::uint32_t frameNumber) const {
    if (onlyFrame != 0 && frameNumber != onlyFrame) return false;
    if (firstFrames != 0 && frameNumber > firstFrames) return false;
    if (everyFrame != 0 && frameNumber % everyFrame != 0) return false;
    return true;
}

std::chrono::nanoseconds ByteTime(std::uint32_t baud) {
    if (baud == 0) return std::chrono::nanoseconds{0};
    return std::chrono::nanoseconds{kBitsPerByte * 1'000'000'000LL / baud};
}

}  // namespace orven
