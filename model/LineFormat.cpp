#include "model/LineFormat.h"

#include <cstdarg>
#include <cstdio>
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

}  // namespace orven
