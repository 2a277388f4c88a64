#include "cli/Cli.h"

#include "cli/CliSupport.h"
#include "cli/Commands.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace orven::cli {

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"ORVEN Clone command-line tool: read, write, verify and edit radio settings."};
    app.set_help_all_flag("--help-all", "Show help for every command");
    app.require_subcommand(1);
    app.fallthrough();

    const Console io{out, err};
    int exitCode = kExitOk;
    AddFileCommands(app, io, exitCode);
    AddCloneCommands(app, io, exitCode);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e, out, err);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e, out, err);
    } catch (const CLI::ParseError& e) {
        app.exit(e, out, err);
        return kExitUsage;
    }
    return exitCode;
}

}  // namespace orven::cli
