// Any line speed in bits per second, including those without a B-constant (14400, 56000).
// Kept apart from <termios.h> users: the kernel's termios2 definitions clash with it.
#pragma once

#include <cstdint>

namespace orven {

// Sets input and output speed of the tty; false when the tty refuses.
bool SetSerialSpeed(int fd, std::uint32_t baud);

// The output speed the tty reports, 0 when it cannot be read.
std::uint32_t GetSerialSpeed(int fd);

}  // namespace orven
