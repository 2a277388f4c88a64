// Raw deflate data (RFC 1951) turned back into its bytes: what a zip file made by the usual tools
// holds for each compressed file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orven {

// Inflates `in` into `out`, which ends up exactly `size` bytes long. False (out unspecified) when
// the data is not valid deflate data, ends early, or inflates to another size than `size`.
bool Inflate(std::span<const std::uint8_t> in, std::size_t size, std::vector<std::uint8_t>& out);

}  // namespace orven
