#include "cli/CliSupport.h"

#include "clone/CloneResult.h"
#include "files/SettingsFile.h"

#include <ostream>

namespace orven::cli {

void ReportFailure(const Console& io, const std::string& path, CloneResult code) {
    io.err << path << ": " << ResultText(code) << "\n";
}

bool LoadSettingsOrReport(const std::string& path, RadioSettings& settings, const Console& io) {
    const CloneResult r = LoadSettingsFile(path, settings);
    if (r != kResultOk) ReportFailure(io, path, r);
    return r == kResultOk;
}

bool SaveSettingsOrReport(const std::string& path, const RadioSettings& settings, const Console& io) {
    const CloneResult r = SaveSettingsFile(path, settings);
    if (r != kResultOk) ReportFailure(io, path, r);
    return r == kResultOk;
}

}  // namespace orven::cli
