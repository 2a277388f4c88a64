#include "cli/Cli.h"

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/NearestName.h"
#include "model/LineFormat.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <ostream>
#include <sstream>
#include <string_view>

namespace orven::cli {

namespace {

std::vector<CLI::App*> AllCommands(CLI::App& app) {
    return app.get_subcommands([](CLI::App*) { return true; });
}

void AddQuietFlag(CLI::App& app, bool& quiet) {
    const char* about = "Print no success lines (\"Created\", \"Read OK.\", ...); errors still show";
    app.add_flag("-q,--quiet", quiet, about);
    for (CLI::App* cmd : AllCommands(app)) cmd->add_flag("-q,--quiet", quiet, about);
}

// An option given to the tool that the chosen command does not take.
class UnusedOption : public CLI::ParseError {
public:
    explicit UnusedOption(std::string message)
        : ParseError("UnusedOption", std::move(message), CLI::ExitCodes::ValidationError) {}
};

// An option given before the command name must be one the command takes as its own.
void RefuseUnusedOptions(const CLI::App& app) {
    const CLI::App* cmd = app.get_subcommands().front();
    for (const CLI::Option* option : app.get_options()) {
        if (option->count() == 0) continue;
        const CLI::Option* own = cmd->get_option_no_throw(option->get_name());
        if (own == nullptr || own->get_group() != option->get_group())
            throw UnusedOption(cmd->get_name() + " does not take " + option->get_name() + " (see " +
                                       kProgramName + " " + cmd->get_name() + " --help)");
    }
}

// The first word the tool did not take for a command or an option value.
std::string UnknownCommand(CLI::App& app) {
    if (!app.get_subcommands().empty()) return {};
    for (const std::string& word : app.remaining())
        if (!word.empty() && word.front() != '-') return word;
    return {};
}

std::string UnknownCommandText(CLI::App& app, const std::string& word) {
    std::vector<std::string> names;
    for (const CLI::App* cmd : AllCommands(app)) names.push_back(cmd->get_name());
    const std::string nearest = NearestName(word, names);
    return "unknown command '" + word + "' (" +
           (nearest.empty() ? "run " + std::string(kProgramName) + " --help for the commands"
                            : "did you mean '" + nearest + "'?") +
           ")";
}

// A parse failure told as a person reads it.
void ReportParseFailure(CLI::App& app, const CLI::ParseError& e, std::ostream& out, std::ostream& err) {
    if (const std::string word = UnknownCommand(app); !word.empty()) {
        err << UnknownCommandText(app, word) << "\n";
    } else if (!app.get_subcommands().empty() && !app.get_subcommands().front()->remaining().empty()) {
        const CLI::App* cmd = app.get_subcommands().front();
        err << cmd->get_name() << " does not take " << CLI::detail::join(cmd->remaining(), " ") << " (see "
            << kProgramName << " " << cmd->get_name() << " --help)\n";
    } else {
        app.exit(e, out, err);
    }
}

// A message that quotes the arguments, each line made printable: an argument may carry a file's
// or a radio's bytes into it.
std::string PrintableLines(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        out += PrintableText(std::string_view(text).substr(start, end - start));
        if (end < text.size()) out += '\n';
        start = end + 1;
    }
    return out;
}

// A parse failure, its text made printable; always the usage exit code.
int ReportParseError(CLI::App& app, const CLI::ParseError& e, std::ostream& out, std::ostream& err) {
    std::ostringstream told;
    ReportParseFailure(app, e, out, told);
    err << PrintableLines(told.str());
    return kExitUsage;
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"ORVEN Clone command-line tool: read, write, verify and edit radio settings.", kProgramName};
    app.set_help_all_flag("--help-all", "Show help for every command");
    app.set_version_flag("--version", std::string(kProgramName) + " " + kPackageVersion);
    app.require_subcommand(1);

    Console io{out, err};
    int exitCode = kExitOk;
    AddFileCommands(app, io, exitCode);
    AddCloneCommands(app, io, exitCode);
    AddSpreadsheetCommands(app, io, exitCode);
    AddArchiveCommands(app, io, exitCode);
    AddQuietFlag(app, io.quiet);
    app.parse_complete_callback([&app] { RefuseUnusedOptions(app); });

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e, out, err);
    } catch (const UnusedOption& e) {
        err << PrintableLines(e.what()) << "\n";
        return kExitUsage;
    } catch (const CLI::ParseError& e) {
        return ReportParseError(app, e, out, err);
    }
    // A failure has been told already; output that was lost is one too.
    const bool failed = exitCode != kExitOk && exitCode != kExitDifferent;
    return failed || StandardOutputWritten(io) ? exitCode : int(kExitFile);
}

}  // namespace orven::cli
