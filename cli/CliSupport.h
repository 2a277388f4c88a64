// What every command of the command-line tool shares: exit codes, file loading with messages.
#pragma once

#include "GlobalDef.h"
#include "model/LineFormat.h"
#include "model/RadioSettings.h"

#include <iosfwd>
#include <string>

namespace orven::cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitDifferent = 1,
    kExitUsage = 2,
    kExitLink = 3,
    kExitFile = 4,
};

// The streams a command writes to; tests hand in string streams.
struct Console {
    std::ostream& out;
    std::ostream& err;
};

// Loads a settings file; on failure prints the result text with the path to err.
bool LoadSettingsOrReport(const std::string& path, RadioSettings& settings, const Console& io);

// Saves a settings file; on failure prints the result text with the path to err.
bool SaveSettingsOrReport(const std::string& path, const RadioSettings& settings, const Console& io);

// Prints "<path>: <text of code>" to err.
void ReportFailure(const Console& io, const std::string& path, CloneResult code);

}  // namespace orven::cli
