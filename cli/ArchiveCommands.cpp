// Commands that look into the radio archive: archive list, show, log and register. Everything
// they print from the archive's files is made printable first: those files are data, and a
// serial number read from a radio may hold any byte.
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "files/Paths.h"
#include "files/ProgrammingRegister.h"
#include "files/RadioArchive.h"
#include "model/LineFormat.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>

namespace orven::cli {

namespace {

// A text of the archive as it is printed: "-" for none, anything unprintable escaped.
std::string Shown(const std::string& text) { return text.empty() ? "-" : PrintableText(text); }

std::string EntryRow(const ArchiveEntry& e) {
    std::string row = FormatLine("%-36s %-19s  %-9s serial %-8s MMSI %s", Shown(e.id).c_str(), Shown(e.record.time).c_str(),
                                 Shown(e.record.operation).c_str(), Shown(e.record.serial).c_str(),
                                 Shown(e.record.mmsi).c_str());
    return row + (e.Damaged() ? "  damaged: " + PrintableText(e.damage) : std::string()) + "\n";
}

// The archive a command looks into: the real radios', or with --demo the demo radio's.
struct ArchiveChoice {
    bool demo = false;
    RadioArchive Archive() const { return RadioArchive(RadioArchive::FolderFor(demo)); }
};

void AddDemoFlag(CLI::App& cmd, ArchiveChoice& choice) {
    cmd.add_flag("--demo", choice.demo, "The demo radio's archive (kept apart from real radios') instead");
}

void AddList(CLI::App& archive, const Console& io) {
    struct Args { std::string serial; ArchiveChoice choice; };
    auto args = std::make_shared<Args>();
    auto* cmd = archive.add_subcommand(
        "list", "One entry a line, newest last: id, time, operation, serial, MMSI, and why an entry is damaged");
    cmd->add_option("--serial", args->serial, "Only the entries of the radio with this serial number");
    AddDemoFlag(*cmd, args->choice);
    cmd->callback([args, &io] {
        for (const ArchiveEntry& e : args->choice.Archive().List())
            if (args->serial.empty() || IsEntryOfSerial(e, args->serial)) io.out << EntryRow(e);
    });
}

// What can be read of an entry: its record's fields, or without a record what its folder's name tells.
void ShowEntry(const ArchiveEntry& entry, const Console& io) {
    const ArchiveRecord& r = entry.record;
    io.out << "Entry: " << Shown(entry.id) << "\n";
    if (entry.Damaged()) io.out << "Damaged: " << PrintableText(entry.damage) << "\n";
    const char* unread = " (from the folder's name; the record cannot be read)";
    io.out << "Time: " << Shown(r.time) << (entry.recordRead ? "" : unread) << "\n";
    io.out << "Operation: " << Shown(r.operation) << (entry.recordRead ? "" : unread) << "\n";
    if (entry.recordRead) {
        const std::pair<const char*, std::string> rows[] = {
            {"Port", r.port},  {"Program", r.version}, {"Serial", r.serial},   {"MMSI", r.mmsi},
            {"ATIS", r.atis},  {"NMEA2000", r.nmea},   {"SHA-256", r.sha256}};
        for (const auto& [name, value] : rows) io.out << name << ": " << Shown(value) << "\n";
    }
    io.out << "Image: " << PrintableText(JoinPath(entry.folder, kArchiveImageName)) << "\n";
    if (!entry.imageSha256.empty() && entry.imageSha256 != r.sha256)
        io.out << "Image SHA-256: " << entry.imageSha256 << " (as the image is now)\n";
    const std::string settings = SettingsFileOf(entry);
    io.out << "Settings: "
           << (settings.empty() ? "none (the radio held settings no file can hold)" : PrintableText(settings)) << "\n";
}

void AddShow(CLI::App& archive, const Console& io, int& exitCode) {
    struct Args { std::string id; ArchiveChoice choice; };
    auto args = std::make_shared<Args>();
    auto* cmd = archive.add_subcommand("show", "What an entry keeps, and where; for a damaged one, what can be read");
    cmd->add_option("ENTRY", args->id, "The entry's id, as archive list prints it")->required();
    AddDemoFlag(*cmd, args->choice);
    cmd->callback([args, &io, &exitCode] {
        const RadioArchive store = args->choice.Archive();
        const auto entry = store.Find(args->id);
        if (!entry) {
            io.err << args->id << ": no such entry in the radio archive " << store.Folder() << "\n";
            return void(exitCode = kExitFile);
        }
        ShowEntry(*entry, io);
    });
}

void AddLog(CLI::App& archive, const Console& io, int& exitCode) {
    auto choice = std::make_shared<ArchiveChoice>();
    auto* cmd = archive.add_subcommand(
        "log", "The programming log: every write, restore and verify, oldest first, and writes cut off");
    AddDemoFlag(*cmd, *choice);
    cmd->callback([choice, &io, &exitCode] {
        const LogRead log = choice->Archive().ReadLog();
        if (!log.error.empty()) {
            io.err << log.error << "\n";
            return void(exitCode = kExitFile);
        }
        for (const LogLine& l : log.lines)
            io.out << LogLineReport(l, RestoreCommand(Shown(l.port), Shown(l.backup))) << "\n";
        if (log.damaged > 0) io.err << log.damaged << kDamagedLogLinesText << "\n";
    });
}

void AddRegister(CLI::App& archive, Console& io, int& exitCode) {
    struct Args { std::string output = kStandardOutputPath; bool history = false; ArchiveChoice choice; };
    auto args = std::make_shared<Args>();
    auto* cmd = archive.add_subcommand(
        "register", "The register of programmed radios from the programming log, as CSV: one row per serial number as "
                    "it stands now (serial, MMSI, ATIS, NMEA2000, name, last write, result, backup)");
    cmd->add_option("-o,--output", args->output, "The CSV file to write, or - for standard output")->capture_default_str();
    cmd->add_flag("--history", args->history, "Every write and restore, oldest first, instead of each radio once");
    AddDemoFlag(*cmd, args->choice);
    cmd->callback([args, &io, &exitCode] {
        io.dataOnStdout = IsStandardOutput(args->output);
        if (!OutputApartOrReport(args->output, {}, io)) return void(exitCode = kExitUsage);
        const LogRead log = args->choice.Archive().ReadLog();
        // An empty register for a log that could not be read would say no radio was programmed.
        if (!log.error.empty()) {
            io.err << log.error << "; no register was written.\n";
            return void(exitCode = kExitFile);
        }
        const std::string csv = RegisterCsv(args->history ? RegisterHistory(log) : RegisterNow(log));
        if (!WriteReportOrReport(args->output, csv, io)) return void(exitCode = kExitFile);
        if (log.damaged > 0) io.err << log.damaged << kDamagedLogLinesText << "\n";
    });
}

}  // namespace

void AddArchiveCommands(CLI::App& app, Console& io, int& exitCode) {
    auto* archive = app.add_subcommand("archive", "The radio archive: every radio's memory as read, and the log");
    archive->require_subcommand(1);
    AddList(*archive, io);
    AddShow(*archive, io, exitCode);
    AddLog(*archive, io, exitCode);
    AddRegister(*archive, io, exitCode);
}

}  // namespace orven::cli
