#include "cli/CliSupport.h"
#include "cli/Commands.h"

#include <CLI/CLI.hpp>

namespace orven::cli {

void AddCloneCommands(CLI::App&, const Console&, int&) {}

}  // namespace orven::cli
