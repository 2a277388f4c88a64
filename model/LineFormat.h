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

// A text from a radio, a file or the log made safe to print: control characters (line ends too),
// DEL, the C1 controls, bytes that are not UTF-8 and the backslash itself become \xNN (\\), so
// nothing it holds can move the cursor, recolour a terminal or forge a line.
std::string PrintableText(std::string_view text);

}  // namespace orven
