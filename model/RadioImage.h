// A copy of the radio's 8 KiB memory, and the two the program keeps for its whole run.
#pragma once

#include "GlobalDef.h"

#include <array>
#include <cstdint>

namespace orven {

using RadioImage = std::array<std::uint8_t, kImageSize>;

// Encoded before a write.
extern RadioImage WriteImage;
// Filled by a read.
extern RadioImage ReadImage;

}  // namespace orven
