#include "cli/CompareReport.h"

#include "files/Paths.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace orven::cli {

void AddReportOption(CLI::App& cmd, std::string& reportPath) {
    cmd.add_option("--report", reportPath,
                   std::string("Where the report goes (default: ") + kVerifyFileName +
                       " in the working directory; - for stdout)")
        ->type_name("PATH");
}

std::string ReportPathOf(const std::string& reportOption) {
    return reportOption.empty() ? JoinPath(CurrentDirectory(), kVerifyFileName) : reportOption;
}

int ReportComparison(std::int32_t flags, const std::string& report, const std::string& reportPath,
                     const Console& io) {
    if (!WriteReportOrReport(reportPath, report, io)) return kExitFile;
    if (flags == 0)
        io.Success() << "Verify OK.\n";
    else
        io.Outcome() << "Verify Error.\n";
    if (!IsStandardOutput(reportPath)) io.Success() << reportPath << "\n";
    return flags == 0 ? kExitOk : kExitDifferent;
}

}  // namespace orven::cli
