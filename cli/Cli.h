// The command-line tool: every job of the desktop program, scriptable.
#pragma once

#include <iosfwd>

namespace orven::cli {

// Parses the arguments, runs one command and returns its exit code.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace orven::cli
