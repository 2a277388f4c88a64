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

// Compares the two sides, writes the report and prints "Verify OK." or "Verify Error." and the
// report's path. kExitOk, kExitDifferent, or kExitFile when the report cannot be written.
int CompareAndReport(const RadioSettings& pc, const RadioSettings& radio, int modelType,
                     const std::string& reportPath, const Console& io);

}  // namespace orven::cli
