// The verify comparison as `compare` and `verify` report it: the verdict, the report and where
// it went.
#pragma once

#include "cli/CliSupport.h"

#include <string>

namespace CLI {
class App;
}

namespace orven::cli {

// Adds --report PATH (empty: Verify.txt in the working directory; "-": stdout).
void AddReportOption(CLI::App& cmd, std::string& reportPath);

// Where the report goes: the --report path, or Verify.txt in the working directory.
std::string ReportPathOf(const std::string& reportOption);

// Writes a comparison's report and prints "Verify OK." or "Verify Error." and the report's path.
// kExitOk, kExitDifferent, or kExitFile when the report cannot be written.
int ReportComparison(std::int32_t flags, const std::string& report, const std::string& reportPath,
                     const Console& io);

}  // namespace orven::cli
