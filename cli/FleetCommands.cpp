// The fleet command: one template into the radios met on many ports, each with its roster row's
// identities. This file only parses, asks and shows; what is programmed and when is the core's.
#include "cli/Commands.h"
#include "cli/InterruptStop.h"
#include "cli/LinkSession.h"
#include "clone/CloneEvent.h"
#include "clone/FleetRun.h"
#include "files/Paths.h"
#include "files/RadioArchive.h"
#include "model/LineFormat.h"

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <iostream>
#include <memory>
#include <mutex>
#include <ostream>

namespace orven::cli {

namespace {

constexpr const char* kAllowReuseHint =
    "A radio sold has its MMSI removed first; when that is done, run again with --allow-reuse.";

// How a failed radio's backup is written back, after "kept in the radio archive as ENTRY; ".
std::string RestoreHint(const RadioReport& report) {
    const std::string entry = report.write ? report.write->archived : std::string();
    return "put it back with: " + RestoreCommand(report.port, entry);
}

// A port's line: "/dev/pts/3  S1 (Heron)  Writing 40%  last: programmed", or while it waits
// "COM3  Waiting for a radio (Open Comp Port Error. (/dev/ttyUSB2: no such device))".
std::string PortLine(const PortStatus& s, bool withPercent) {
    std::string line = PrintableText(s.port) + "  ";
    if (!s.serial.empty()) line += PrintableText(s.serial) + (s.name.empty() ? "" : " (" + PrintableText(s.name) + ")") + "  ";
    line += s.step;
    if (!s.problem.empty()) line += " (" + PrintableText(s.problem) + ")";
    if (withPercent && s.percent >= 0) line += " " + std::to_string(s.percent) + "%";
    if (!s.result.empty()) line += "  last: " + s.result;
    return line;
}

// The ports' lines on stderr and each radio's outcome on stdout. On a terminal the lines stand as
// a block redrawn in place; elsewhere (a log, a pipe) a port's line is printed when its step changes.
class FleetLines : public FleetSink {
public:
    FleetLines(const Console& io, bool terminal, std::size_t ports)
        : io_(io), terminal_(terminal), lines_(ports), printed_(ports) {}

    void PortChanged(std::size_t port, const PortStatus& status) override {
        std::lock_guard lock(mutex_);
        if (!terminal_) {
            std::string line = PortLine(status, false);
            if (line != printed_[port]) io_.err << line << "\n" << std::flush;
            printed_[port] = std::move(line);
            return;
        }
        lines_[port] = PortLine(status, true);
        Erase();
        Draw();
    }
    void RadioFinished(std::size_t, const RadioReport& report) override {
        std::lock_guard lock(mutex_);
        Erase();
        io_.out << RadioReportText(report, RestoreHint(report)) << "\n" << std::flush;
        Draw();
    }

private:
    void Erase() {
        if (drawn_ > 0) io_.err << "\x1b[" << drawn_ << "F\x1b[J";
        drawn_ = 0;
    }
    void Draw() {
        if (!terminal_) return;
        for (const std::string& line : lines_) io_.err << line << "\x1b[K\n";
        io_.err << std::flush;
        drawn_ = lines_.size();
    }

    std::mutex mutex_;
    const Console& io_;
    bool terminal_;
    std::vector<std::string> lines_, printed_;
    std::size_t drawn_ = 0;
};

struct FleetArgs {
    std::string templatePath, rosterPath, assign;
    std::vector<std::string> ports;
    bool once = false, yes = false, allowReuse = false;
};

// The one question of the run, asked on the terminal; without one only --yes answers it.
bool Confirmed(const FleetPlan& plan, bool yes, const Console& io) {
    const FleetQuestion q = QuestionOfPlan(plan);
    io.out << q.text << "\n";
    for (const std::string& row : q.rows) io.out << "  " << row << "\n";
    if (yes) return true;
    if (!isatty(STDIN_FILENO)) {
        io.err << "Nothing was programmed: confirm the roster's identities with --yes.\n";
        return false;
    }
    io.out << q.question << " [y/N] " << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    if (answer == "y" || answer == "Y" || answer == "yes") return true;
    io.err << "Nothing was programmed.\n";
    return false;
}

// Each port's link; nothing when a name is none or they cannot run together (told on err).
bool PortLinks(const FleetArgs& args, const CloneJob& base, const RadioSettings& model,
               std::vector<std::unique_ptr<FleetPortLink>>& links, const Console& io) {
    if (const std::string problem = PortListProblem(args.ports); !problem.empty()) {
        io.err << PrintableText(problem) << "\n";
        return false;
    }
    for (const std::string& name : args.ports) {
        links.push_back(MakeFleetPortLink(name, base, model));
        if (!links.back()) {
            io.err << "Unknown port: " << PrintableText(name) << " (use USB, COMn or a serial device path)\n";
            return false;
        }
    }
    return true;
}

void TellSummary(const FleetSummary& summary, const Console& io) {
    if (!summary.closed.empty()) io.err << summary.closed << "\n";
    io.out << FleetSummaryText(summary) << "\n";
}

int RunFleetCommand(const FleetArgs& args, const LinkOptions& link, Console& io) {
    const RadioArchive archive(RadioArchive::DefaultFolder());
    const FleetPlanRead read =
        ReadFleetPlan(args.templatePath, args.rosterPath, args.assign, args.allowReuse, &archive, kAllowReuseHint);
    for (const std::string& warning : read.warnings) io.err << "warning: " << warning << "\n";
    for (const std::string& problem : read.problems) io.err << problem << "\n";
    if (!read.plan) return kExitUsage;
    const FleetPlan& plan = *read.plan;

    AppState state = AppStateOfLink(link);
    CloneJob base;
    base.state = &state;
    base.timing.fast = link.fast;
    base.workDir = CurrentDirectory();
    base.archive = &archive;
    std::vector<std::unique_ptr<FleetPortLink>> ports;
    if (!PortLinks(args, base, *plan.model, ports, io)) return kExitUsage;
    if (!Confirmed(plan, args.yes, io)) return kExitUsage;

    CloneStopEvent.Reset();
    InterruptStop stop;
    FleetLines lines(io, isatty(STDERR_FILENO) != 0, ports.size());
    FleetOptions options;
    options.once = args.once;
    const FleetSummary summary = RunFleet(plan, ports, &archive, lines, options);
    TellSummary(summary, io);
    return summary.AllProgrammed() ? kExitOk : kExitDifferent;
}

}  // namespace

void AddFleetCommand(CLI::App& app, std::shared_ptr<LinkOptions> link, Console& io, int& exitCode) {
    auto args = std::make_shared<FleetArgs>();
    auto* cmd = app.add_subcommand(
        "fleet", "Program the radios on many ports from one template, each with the identities its serial number has "
                 "in a roster; each radio is backed up, written and read back. Exit code 0 when every radio met was "
                 "programmed and verified, 1 when any was not, 2 when the roster or template is refused");
    cmd->add_option("TEMPLATE", args->templatePath, "The settings file whose channels and settings every radio takes")
        ->required();
    cmd->add_option("ROSTER", args->rosterPath,
                    "CSV with a header: Serial (required), MMSI, ATIS, NMEA2000, Name; one row per radio")
        ->required();
    cmd->add_option("--ports", args->ports, "The ports, one radio on each: USB, COMn or serial device paths")
        ->delimiter(',')
        ->required();
    cmd->add_flag("--once", args->once, "Program the radios present and stop, instead of waiting for the next ones");
    cmd->add_flag("--yes", args->yes, "Program the roster's identities without asking");
    cmd->add_option("--assign", args->assign, "The roster's serial number a radio without one takes");
    cmd->add_flag("--allow-reuse", args->allowReuse,
                  "Program identities the register gives another radio (one sold, its MMSI removed)");
    AddLineOptions(*cmd, *link);
    cmd->callback([args, link, &io, &exitCode] { exitCode = RunFleetCommand(*args, *link, io); });
}

}  // namespace orven::cli
