// SHA-256 of a byte string, as lowercase hex: how the archive and the programming log name the
// exact bytes of a radio's memory.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace orven {

std::string Sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace orven
