#include "ui/CommandLine.h"

#include "GlobalDef.h"
#include "ui/DemoMode.h"

#include <ostream>
#include <string_view>

namespace orven::ui {

namespace {

void PrintHelp(std::ostream& out) {
    out << "Usage: " << kProgramName << " [" << kDemoOption << "] [FILE]\n"
        << "The " << kProgramTitle << " desktop program: reads, edits, writes and verifies the settings of the "
        << kModelName << " marine VHF radio.\n\n"
        << "  FILE       a settings file (*.dat) to open at start, as File > Open does\n"
        << "  " << kDemoOption << "     a simulated radio on USB, to try every command without hardware\n"
        << "  " << kVersionOption << "  print the program's name and version, then exit\n"
        << "  " << kHelpOption << "     print this help, then exit\n";
}

}  // namespace

std::optional<int> AnswerOnTerminal(int argc, const char* const* argv, std::ostream& out) {
    // The first argument is the program itself.
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] ? argv[i] : "";
        if (argument == kVersionOption) {
            out << kProgramName << ' ' << kPackageVersion << '\n';
            return 0;
        }
        if (argument == kHelpOption) {
            PrintHelp(out);
            return 0;
        }
    }
    return std::nullopt;
}

WindowArguments ParseWindowArguments(const std::vector<std::string>& arguments) {
    WindowArguments taken;
    bool optionsEnd = false;
    for (const std::string& argument : arguments) {
        if (!optionsEnd && argument == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && (argument == kDemoOption || argument == kQuitAfterShowOption)) {
            continue;
        } else if (!optionsEnd && argument.size() > 1 && argument[0] == '-') {
            taken.error = "unknown option " + argument;
        } else if (!taken.file.empty()) {
            taken.error = "one FILE at most: " + taken.file + " and " + argument;
        } else {
            taken.file = argument;
        }
        if (!taken.error.empty()) break;
    }
    return taken;
}

}  // namespace orven::ui
