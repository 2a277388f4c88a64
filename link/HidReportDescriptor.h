// Report lengths from a HID report descriptor, counted the way the device object sizes its
// transfers: the report id byte plus the largest report of that kind.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orven {

// Used when a device's descriptor cannot be read or declares no report of a kind: one report
// id byte and the radio's 32-byte frame.
inline constexpr std::size_t kFallbackHidReportLength = 33;

struct HidReportLengths {
    std::size_t input = 0;   // 0: no input report declared
    std::size_t output = 0;  // 0: no output report declared
};

// Reads the descriptor's main and global items; stops quietly at a truncated item.
HidReportLengths ParseReportLengths(const std::uint8_t* descriptor, std::size_t size);

}  // namespace orven
