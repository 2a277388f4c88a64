// The 36 fixed channel usage names a channel's usage index points into.
#pragma once

#include <cstddef>
#include <string_view>

namespace orven {

inline constexpr std::size_t kUsageNameCount = 36;
inline constexpr std::size_t kUsageNameLength = 16;
inline constexpr int kFirstUsageName = 11;  // 1..10 are weather frequencies

// Entry of an index, 16 characters with their spaces. Indexes beyond the table (a radio image
// may carry any byte) give the blank entry rather than reading past it.
std::string_view UsageName(int index);

}  // namespace orven
