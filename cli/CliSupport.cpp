#include "cli/CliSupport.h"

#include "clone/CloneResult.h"
#include "files/AtomicFile.h"
#include "files/FileRead.h"
#include "files/Paths.h"
#include "files/RadioArchive.h"
#include "files/SettingsFile.h"
#include "model/MarineIdentity.h"

#include <ostream>

namespace orven::cli {

bool IsStandardOutput(const std::string& path) { return path == kStandardOutputPath; }

std::ostream& Console::Outcome() const { return dataOnStdout ? err : out; }

std::ostream& Console::Success() const {
    static std::ostream discard(nullptr);
    return quiet ? discard : Outcome();
}

void ReportFailure(const Console& io, const std::string& path, CloneResult code) {
    io.err << path << ": " << ResultText(code) << "\n";
    if (code != kResultOpenFile && code != kResultFileRead) return;
    if (const std::string cause = OpenFailureCause(path); !cause.empty()) io.err << "(" << cause << ")\n";
}

bool StandardOutputWritten(const Console& io) {
    if (io.out.flush().good()) return true;
    ReportFailure(io, "standard output", kResultFileWrite);
    return false;
}

bool OutputUsableOrReport(const std::string& path, const Console& io) {
    if (IsStandardOutput(path) || CanSaveAtomically(path)) return true;
    io.err << path << ": cannot be written here (does the folder exist, and may it be written?); nothing was done.\n";
    return false;
}

bool OutputApartOrReport(const std::string& output, std::initializer_list<std::string> inputs, const Console& io) {
    if (output.empty() || IsStandardOutput(output)) return true;
    if (const auto refusal = ArchiveOutputRefusal(output)) {
        io.err << *refusal << ".\n";
        return false;
    }
    for (const std::string& input : inputs) {
        if (input.empty() || !IsSameFile(output, input)) continue;
        io.err << output << ": is the same file as the input " << input << "; choose another output.\n";
        return false;
    }
    return true;
}

void WarnAboutIdentities(const RadioSettings& settings, const Console& io) {
    for (const std::string& warning :
         IdentityWarnings(FixedSlotText(settings.mmsiId), FixedSlotText(settings.atisId), settings.model != kModelUsa))
        io.err << "warning: " << warning << "\n";
}

bool LoadSettingsOrReport(const std::string& path, RadioSettings& settings, const Console& io) {
    const CloneResult r = LoadSettingsFile(path, settings);
    if (r != kResultOk) ReportFailure(io, path, r);
    return r == kResultOk;
}

bool SaveSettingsOrReport(const std::string& path, const RadioSettings& settings, const Console& io) {
    if (IsStandardOutput(path)) {
        const auto bytes = Bytes(settings);
        io.out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return StandardOutputWritten(io);
    }
    const CloneResult r = SaveSettingsFile(path, settings);
    if (r != kResultOk) ReportFailure(io, path, r);
    return r == kResultOk;
}

bool WriteReportOrReport(const std::string& path, const std::string& text, const Console& io) {
    if (IsStandardOutput(path)) {
        io.out << text << (text.empty() || text.back() != '\n' ? "\n" : "");
        return StandardOutputWritten(io);
    }
    if (WriteFileAtomically(path, std::string_view(text))) return true;
    io.err << "Can't Create file:\n" << path << "\n";
    return false;
}

std::string RestoreCommand(const std::string& port, const std::string& entry) {
    return std::string(kProgramName) + " -p " + PrintableText(port) + " restore " + PrintableText(entry);
}

}  // namespace orven::cli
