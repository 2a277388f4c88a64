#include "model/LineFormat.h"

#include <cstdarg>
#include <cstdio>
#include <cstdint>
#include <cstring>

namespace orven {

std::string FormatLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        text.pop_back();  // the terminating NUL vsnprintf needed room for
    }
    va_end(again);
    return text;
}

std::string_view FixedSlotText(const char* slot, std::size_t size) {
    const void* nul = std::memchr(slot, 0, size);
    return {slot, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - slot) : size};
}

namespace {

// The length of the well-formed UTF-8 sequence of a printable character at the start of `text`,
// or 0 (a stray byte, an overlong or cut-off sequence, a C1 control, a surrogate).
std::size_t PrintableUtf8Length(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || text.size() < length) return 0;
    std::uint32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0, 0xA0, 0x800, 0x10000};  // 0x80-0x9F are C1 controls
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code >= kLeast[length] && code <= 0x10FFFF && !surrogate ? length : 0;
}

}  // namespace

std::string PrintableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const auto c = static_cast<unsigned char>(text[0]);
        std::size_t length = c >= 0x20 && c < 0x7F ? 1 : c >= 0x80 ? PrintableUtf8Length(text) : 0;
        if (c == '\\') {
            out += "\\\\";
        } else if (length > 0) {
            out.append(text.substr(0, length));
        } else {
            out += FormatLine("\\x%02x", c);
            length = 1;
        }
        text.remove_prefix(length);
    }
    return out;
}

}  // namespace orven
