// Commands that look into the radio archive: archive list, archive show, archive log.
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "files/Paths.h"
#include "files/RadioArchive.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <ostream>

namespace orven::cli {

namespace {

// An identity as a list shows it: "-" for none.
std::string Shown(const std::string& text) { return text.empty() ? "-" : text; }

std::string EntryRow(const ArchiveEntry& e) {
    char row[256];
    std::snprintf(row, sizeof row, "%-36s %s  %-9s serial %-8s MMSI %s\n", e.id.c_str(), e.record.time.c_str(),
                  e.record.operation.c_str(), Shown(e.record.serial).c_str(), Shown(e.record.mmsi).c_str());
    return row;
}

void AddList(CLI::App& archive, const Console& io, const RadioArchive& store) {
    auto serial = std::make_shared<std::string>();
    auto* cmd = archive.add_subcommand("list", "One entry a line, newest last: id, time, operation, serial, MMSI");
    cmd->add_option("--serial", *serial, "Only the entries of the radio with this serial number");
    cmd->callback([serial, &io, &store] {
        for (const ArchiveEntry& e : store.List())
            if (serial->empty() || e.record.serial == *serial) io.out << EntryRow(e);
    });
}

void AddShow(CLI::App& archive, const Console& io, int& exitCode, const RadioArchive& store) {
    auto id = std::make_shared<std::string>();
    auto* cmd = archive.add_subcommand("show", "What an entry keeps, and where");
    cmd->add_option("ENTRY", *id, "The entry's id, as archive list prints it")->required();
    cmd->callback([id, &io, &exitCode, &store] {
        const auto entry = store.Find(*id);
        if (!entry) {
            io.err << *id << ": no such entry in the radio archive " << store.Folder() << "\n";
            return void(exitCode = kExitFile);
        }
        const ArchiveRecord& r = entry->record;
        const std::pair<const char*, std::string> rows[] = {
            {"Entry", entry->id},         {"Time", r.time},         {"Operation", r.operation},
            {"Port", Shown(r.port)},      {"Program", r.version},   {"Serial", Shown(r.serial)},
            {"MMSI", Shown(r.mmsi)},      {"ATIS", Shown(r.atis)},  {"NMEA2000", Shown(r.nmea)},
            {"SHA-256", r.sha256},        {"Image", JoinPath(entry->folder, kArchiveImageName)}};
        for (const auto& [name, value] : rows) io.out << name << ": " << value << "\n";
        const std::string settings = SettingsFileOf(*entry);
        io.out << "Settings: " << (settings.empty() ? "none (the radio held settings no file can hold)" : settings)
               << "\n";
    });
}

void AddLog(CLI::App& archive, const Console& io, const RadioArchive& store) {
    auto* cmd = archive.add_subcommand("log", "The programming log: every write, restore and verify, oldest first");
    cmd->callback([&io, &store] {
        const LogRead log = store.ReadLog();
        for (const LogLine& l : log.lines)
            io.out << l.time << "  " << l.operation << "  port " << Shown(l.port) << "  serial " << Shown(l.serial)
                   << "  MMSI " << Shown(l.mmsi) << "  ATIS " << Shown(l.atis) << "  NMEA2000 " << Shown(l.nmea)
                   << "  " << l.result << "  read-back: " << Shown(l.readBack) << "  sha256 " << l.sha256 << "\n";
        if (log.damaged > 0) io.err << log.damaged << " damaged line(s) of the log left out\n";
    });
}

}  // namespace

void AddArchiveCommands(CLI::App& app, Console& io, int& exitCode) {
    // Made when the command line is parsed: the folder follows the environment of this run.
    static thread_local std::unique_ptr<RadioArchive> store;
    store = std::make_unique<RadioArchive>(RadioArchive::DefaultFolder());
    auto* archive = app.add_subcommand("archive", "The radio archive: every radio's memory as read, and the log");
    archive->require_subcommand(1);
    AddList(*archive, io, *store);
    AddShow(*archive, io, exitCode, *store);
    AddLog(*archive, io, *store);
}

}  // namespace orven::cli
