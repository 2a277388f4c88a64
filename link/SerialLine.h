// The line set-up of a serial port in termios terms: raw bytes, receiver on, modem status lines
// ignored, no software flow control, reads that return at once.
#pragma once

#include "link/SerialLineCodes.h"

#include <cstdint>
#include <termios.h>

namespace orven {

// Fills tio for a raw line with these fields; false (tio partly changed) for a byte size
// outside 5..8 or a parity or stop-bit code with no termios form.
bool ComposeRawLine(termios& tio, std::uint8_t byteSize, std::uint8_t parity,
                    std::uint8_t stopBits, std::uint8_t lineFlags);

}  // namespace orven
