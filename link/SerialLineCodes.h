// The codes a serial port's line fields hold: the values settings and callers store, whatever
// the system's own terms for them.
#pragma once

#include <cstdint>

namespace orven {

// Parity codes of the parity field.
inline constexpr std::uint8_t kParityNone = 0;
inline constexpr std::uint8_t kParityOdd = 1;
inline constexpr std::uint8_t kParityEven = 2;
inline constexpr std::uint8_t kParityMark = 3;
inline constexpr std::uint8_t kParitySpace = 4;

// Stop-bit codes of the stop bits field. One and a half stop bits (code 1) cannot be set here.
inline constexpr std::uint8_t kStopBitsOne = 0;
inline constexpr std::uint8_t kStopBitsTwo = 2;

// Bits of the line flags field. The DSR/DTR handshake has no termios counterpart and is
// ignored; the CTS/RTS handshake turns on hardware flow control.
inline constexpr std::uint8_t kLineFlagDsrDtr = 0x01;
inline constexpr std::uint8_t kLineFlagCtsRts = 0x02;

}  // namespace orven
