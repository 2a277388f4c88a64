// What every command of the command-line tool shares: exit codes, the output streams, file
// loading and saving with messages.
#pragma once

#include "GlobalDef.h"
#include "model/LineFormat.h"
#include "model/RadioSettings.h"

#include <initializer_list>
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

inline constexpr const char* kProgramName = "orven-cli";

// The path that stands for standard output wherever a command writes a file.
inline constexpr const char* kStandardOutputPath = "-";
bool IsStandardOutput(const std::string& path);

// The streams a command writes to; tests hand in string streams.
struct Console {
    std::ostream& out;
    std::ostream& err;
    bool quiet = false;         // --quiet: no success lines
    bool dataOnStdout = false;  // the command writes its file to stdout, so its lines go to stderr

    // Where an outcome ("Verify Error.") is told: stdout, unless the command's data goes there.
    std::ostream& Outcome() const;
    // Where a success line ("Created ...", "Read OK.") goes: Outcome(), or nowhere when quiet.
    std::ostream& Success() const;
};

// Loads a settings file; on failure prints the result text with the path to err.
bool LoadSettingsOrReport(const std::string& path, RadioSettings& settings, const Console& io);

// Saves a settings file, or writes its bytes to stdout for "-"; on failure prints the result text
// with the path to err.
bool SaveSettingsOrReport(const std::string& path, const RadioSettings& settings, const Console& io);

// Writes a report, or prints it for "-"; on failure tells err that the file cannot be created.
bool WriteReportOrReport(const std::string& path, const std::string& text, const Console& io);

// Flushes stdout; false, told on err, when what was written there was lost (a full disk, a closed
// pipe): that is a file failure like any other.
bool StandardOutputWritten(const Console& io);

// Before work whose result goes to `path`: true when a save there can succeed (always for "-"),
// else tells err why not and that nothing was done.
bool OutputUsableOrReport(const std::string& path, const Console& io);

// True when the output is not one of the inputs (by file identity, links followed) and lies in no
// radio archive, else tells err; a command that would overwrite its own input or what the archive
// keeps refuses before doing anything.
bool OutputApartOrReport(const std::string& output, std::initializer_list<std::string> inputs, const Console& io);

// Tells err, as warnings, what looks wrong with the document's MMSI and ATIS (never a refusal).
void WarnAboutIdentities(const RadioSettings& settings, const Console& io);

// The command that writes an archive entry back into the radio on a port.
std::string RestoreCommand(const std::string& port, const std::string& entry);

// Prints "<path>: <text of code>" to err, and below it why a file could not be opened or read.
void ReportFailure(const Console& io, const std::string& path, CloneResult code);

}  // namespace orven::cli
