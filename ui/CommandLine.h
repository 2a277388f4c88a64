// The options the program answers on the terminal without opening a window. They are looked at
// before the toolkit starts, so they work where there is no display.
#pragma once

#include <iosfwd>
#include <optional>

namespace orven::ui {

inline constexpr const char* kProgramName = "orven-clone";
inline constexpr const char* kVersionOption = "--version";
inline constexpr const char* kHelpOption = "--help";

// When the arguments ask for the version or the help, prints it to `out` and returns the
// program's exit code; otherwise prints nothing and returns no value.
std::optional<int> AnswerOnTerminal(int argc, const char* const* argv, std::ostream& out);

}  // namespace orven::ui
