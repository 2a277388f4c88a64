// Building display lines from records whose texts may come from an untrusted settings file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orven {

// printf-style formatting into a string of whatever length the values need.
std::string FormatLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The text of a fixed slot: up to its first NUL, or the whole slot when it holds none.
std::string_view FixedSlotText(const char* slot, std::size_t size);
template <std::size_t N>
std::string_view FixedSlotText(const char (&slot)[N]) { return FixedSlotText(slot, N); }

}  // namespace orven
