// Registration of the command groups on the tool's argument parser.
#pragma once

namespace CLI {
class App;
}

namespace orven::cli {

struct Console;

// new, show, from-json, set, checksum, channels, export, compare.
void AddFileCommands(CLI::App& app, Console& io, int& exitCode);

// handshake, read, write, verify, restore, doctor, ports, simulate.
void AddCloneCommands(CLI::App& app, Console& io, int& exitCode);

// channels-export, channels-import.
void AddSpreadsheetCommands(CLI::App& app, Console& io, int& exitCode);

// archive list, archive show, archive log.
void AddArchiveCommands(CLI::App& app, Console& io, int& exitCode);

}  // namespace orven::cli
