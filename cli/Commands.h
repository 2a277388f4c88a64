// Registration of the command groups on the tool's argument parser.
#pragma once

#include <memory>

namespace CLI {
class App;
}

namespace orven::cli {

struct Console;
struct LinkOptions;

// new, show, from-json, set, checksum, channels, export, compare.
void AddFileCommands(CLI::App& app, Console& io, int& exitCode);

// handshake, read, write, verify, restore, doctor, ports, simulate.
void AddCloneCommands(CLI::App& app, Console& io, int& exitCode);

// fleet, with the tool's --baud and --fast.
void AddFleetCommand(CLI::App& app, std::shared_ptr<LinkOptions> link, Console& io, int& exitCode);

// channels-export, channels-import.
void AddSpreadsheetCommands(CLI::App& app, Console& io, int& exitCode);

// archive list, archive show, archive log, archive register.
void AddArchiveCommands(CLI::App& app, Console& io, int& exitCode);

}  // namespace orven::cli
