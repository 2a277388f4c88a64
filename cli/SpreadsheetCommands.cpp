// The private channels as a spreadsheet: channels-export and channels-import.
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "files/ChannelCsv.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>

namespace orven::cli {

namespace {

bool ReadCsvFile(const std::string& path, std::string& text, const Console& io) {
    std::string why;
    if (ReadChannelCsvFile(path, text, why)) return true;
    io.err << path << ": " << why << "\n";
    return false;
}

void AddExport(CLI::App& app, Console& io, int& exitCode) {
    struct Args { std::string file, out = "-"; bool semicolon = false; };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("channels-export", "Write the private channels as a spreadsheet (CSV)");
    cmd->add_option("FILE", args->file, "Settings file")->required();
    cmd->add_option("-o,--output", args->out, "Where the CSV goes (default: - for stdout)")->type_name("PATH");
    cmd->add_flag("--semicolon", args->semicolon, "Semicolons between fields and decimal commas, as some spreadsheets want");
    cmd->callback([args, &io, &exitCode] {
        io.dataOnStdout = IsStandardOutput(args->out);
        if (!OutputApartOrReport(args->out, {args->file}, io)) return void(exitCode = kExitUsage);
        auto settings = std::make_unique<RadioSettings>();
        if (!LoadSettingsOrReport(args->file, *settings, io)) return void(exitCode = kExitFile);
        const std::string csv = ChannelsToCsv(*settings, args->semicolon ? ';' : ',');
        if (!WriteReportOrReport(args->out, csv, io)) return void(exitCode = kExitFile);
        if (!io.dataOnStdout) io.Success() << args->out << "\n";
    });
}

void AddImport(CLI::App& app, Console& io, int& exitCode) {
    struct Args { std::string file, csv; bool append = false, allowEmpty = false; };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("channels-import",
                                   "Take the private channels from a spreadsheet (CSV); a file with any bad row changes nothing");
    cmd->add_option("FILE", args->file, "Settings file, changed in place")->required();
    cmd->add_option("IN", args->csv, "The CSV (comma or semicolon separated)")->required();
    cmd->add_flag("--append", args->append, "Add the rows after the channels there are, instead of replacing them");
    cmd->add_flag("--allow-empty", args->allowEmpty,
                  "Take a file with a header and no rows: the private channel list is emptied (refused otherwise)");
    cmd->callback([args, &io, &exitCode] {
        if (!OutputApartOrReport(args->file, {args->csv}, io)) return void(exitCode = kExitUsage);
        std::string text;
        auto settings = std::make_unique<RadioSettings>();
        if (!ReadCsvFile(args->csv, text, io) || !LoadSettingsOrReport(args->file, *settings, io))
            return void(exitCode = kExitFile);
        const CsvImportResult result = ImportChannelsCsv(
            text, args->append ? CsvImportMode::Append : CsvImportMode::Replace, *settings, args->allowEmpty);
        for (const CsvProblem& p : result.problems)
            io.err << args->csv << ": " << CsvProblemText(p, result.columnNames) << "\n";
        if (result.noRows && !args->allowEmpty) io.err << "Give --allow-empty to empty the list on purpose.\n";
        if (!result.problems.empty()) {
            io.err << args->file << " was not changed.\n";
            return void(exitCode = kExitUsage);
        }
        if (!SaveSettingsOrReport(args->file, *settings, io)) return void(exitCode = kExitFile);
        io.Success() << "Imported " << result.channels << " channel(s) into " << args->file << "\n";
    });
}

}  // namespace

void AddSpreadsheetCommands(CLI::App& app, Console& io, int& exitCode) {
    AddExport(app, io, exitCode);
    AddImport(app, io, exitCode);
}

}  // namespace orven::cli
