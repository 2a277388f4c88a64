// The checksum shown for a settings document, so that two documents (a file and what was read
// from a radio, say) can be compared at a glance.
#pragma once

#include "model/RadioSettings.h"

#include <cstdint>
#include <string>

namespace orven {

// Sum of the bytes, each taken as a signed 8-bit number, in a 32-bit accumulator that wraps
// around. A count below 1 gives 0.
std::uint32_t ByteSum(const std::uint8_t* bytes, long count);

// ByteSum over every byte of the record, reserved bytes included.
std::uint32_t SettingsChecksum(const RadioSettings& settings);

// "CheckSum=0x" and the value as 8 upper-case hexadecimal digits.
std::string ChecksumText(std::uint32_t sum);

}  // namespace orven
