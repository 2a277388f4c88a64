// The options the program answers on the terminal without opening a window. They are looked at
// before the toolkit starts, so they work where there is no display.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace orven::ui {

inline constexpr const char* kProgramName = "orven-clone";
inline constexpr const char* kVersionOption = "--version";
inline constexpr const char* kHelpOption = "--help";
// For start-up measurements: the program ends as soon as its window has been shown.
inline constexpr const char* kQuitAfterShowOption = "--quit-after-show";

// When the arguments ask for the version or the help, prints it to `out` and returns the
// program's exit code; otherwise prints nothing and returns no value.
std::optional<int> AnswerOnTerminal(int argc, const char* const* argv, std::ostream& out);

// What the window is asked to start with, once the toolkit has taken its own options out.
struct WindowArguments {
    std::string file;   // a settings file to open at start, as File > Open does; empty for none
    std::string error;  // why the arguments cannot be taken; empty when they can
};

// The arguments after the program's own name: the options above and at most one FILE ("--"
// ends the options, for a file whose name begins with "-").
WindowArguments ParseWindowArguments(const std::vector<std::string>& arguments);

}  // namespace orven::ui
