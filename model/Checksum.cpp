#include "model/Checksum.h"

#include <cstdio>

namespace orven {

std::uint32_t ByteSum(const std::uint8_t* bytes, long count) {
    std::uint32_t sum = 0;
    for (long i = 0; i < count; ++i) {
        // Through int32 to uint32: a negative byte adds its two's complement, and the unsigned
        // accumulator wraps without overflow.
        const auto value = static_cast<std::int32_t>(static_cast<std::int8_t>(bytes[i]));
        sum += static_cast<std::uint32_t>(value);
    }
    return sum;
}

std::uint32_t SettingsChecksum(const RadioSettings& settings) {
    const auto bytes = Bytes(settings);
    return ByteSum(bytes.data(), static_cast<long>(bytes.size()));
}

std::string ChecksumText(std::uint32_t sum) {
    char text[24];
    std::snprintf(text, sizeof text, "CheckSum=0x%08X", static_cast<unsigned>(sum));
    return text;
}

}  // namespace orven
