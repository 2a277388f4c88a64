#include "cli/CompareReport.h"

#include "files/Paths.h"
#include "files/ReportTime.h"
#include "files/VerifyReport.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace orven::cli {

void AddReportOption(CLI::App& cmd, std::string& reportPath) {
    cmd.add_option("--report", reportPath,
                   std::string("Where the report goes (default: ") + kVerifyFileName +
                       " in the working directory; - for stdout)")
        ->type_name("PATH");
}

int CompareAndReport(const RadioSettings& pc, const RadioSettings& radio, int modelType,
                     const std::string& reportPath, const Console& io) {
    const std::string path = reportPath.empty() ? JoinPath(CurrentDirectory(), kVerifyFileName) : reportPath;
    std::string report;
    const std::int32_t flags = CompareSettings(pc, radio, modelType, LocalReportTime(), report);
    if (!WriteReportOrReport(path, report, io)) return kExitFile;
    if (flags == 0)
        io.Success() << "Verify OK.\n";
    else
        io.Outcome() << "Verify Error.\n";
    if (!IsStandardOutput(path)) io.Success() << path << "\n";
    return flags == 0 ? kExitOk : kExitDifferent;
}

}  // namespace orven::cli
