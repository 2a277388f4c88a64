// Commands that talk to a radio: handshake, read, write, verify, ports, simulate.
#include "cli/Choices.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/CompareReport.h"
#include "cli/FaultOptions.h"
#include "cli/InterruptStop.h"
#include "cli/TextProgress.h"
#include "clone/CloneEvent.h"
#include "clone/CloneResult.h"
#include "clone/CloneRunner.h"
#include "clone/CloneTrace.h"
#include "files/Paths.h"
#include "files/ReportTime.h"
#include "model/IdentityRules.h"
#include "model/RadioImage.h"
#include "link/CHidDevice.h"
#include "link/PortNames.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedHidBackend.h"
#include "sim/SimulatedRadioPty.h"

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <ostream>
#include <set>

namespace orven::cli {

namespace {

constexpr const char* kLinkOptionsGroup = "Link options";

struct LinkOptions {
    std::string port = "USB";
    std::uint32_t baud = 9600;
    bool trace = false;
    bool dump = false;
    bool fast = false;
    std::optional<int> modelType;
};

// Everything one clone command needs, set up from the link options.
class LinkSession {
public:
    LinkSession(const LinkOptions& options, Console& io)
        : io_(io), progress_(io.err, isatty(STDERR_FILENO) != 0) {
        state_ = FreshAppState();
        const auto baud = std::find(kBaudTable.begin(), kBaudTable.end(), options.baud);
        state_.baudIndex = static_cast<std::int32_t>(baud - kBaudTable.begin());
        state_.traceLog = options.trace;
        state_.dumpImages = options.dump;
        state_.modelType = options.modelType.value_or(kModelUsa);
        job_.state = &state_;
        job_.progress = &progress_;
        job_.workDir = CurrentDirectory();
        job_.timing.fast = options.fast;
        CloneStopEvent.Reset();
    }

    // Applies --port; false (with a message) when it names nothing usable.
    bool ChoosePort(const std::string& port) {
        std::string upper = port;
        std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
        if (upper == "USB") return true;
        if (upper == "DEMO") return AttachDemoRadio();
        if (port.find('/') != std::string::npos) {
            job_.serialDevice = port;
            return true;
        }
        if (const int n = ParseComPortName(port)) {
            state_.comPort = n;
            return true;
        }
        io_.err << "Unknown port: " << port << " (use USB, COM1 to " << ComPortName(kMaxComPort)
                << ", a device path, or demo)\n";
        return false;
    }

    // Sets the model type from the document unless --model-type chose one.
    void TakeModelTypeOf(const RadioSettings& document, const std::optional<int>& chosen) {
        state_.modelType = chosen.value_or(ModelTypeOfDocument(document));
    }

    CloneJob& Job() { return job_; }
    AppState& State() { return state_; }

    // Ends the progress line and turns an outcome into output (okText as a success line, when
    // given) and an exit code.
    int Report(const CloneOutcome& outcome, const std::string& okText = {}) {
        progress_.Finish();
        for (const std::string& path : outcome.unwritten)
            if (warned_.insert(path).second) io_.err << "warning: " << path << " could not be written\n";
        if (outcome.Ok()) {
            if (!okText.empty()) io_.Success() << okText << "\n";
            return kExitOk;
        }
        io_.err << OutcomeText(outcome) << "\n";
        return kExitLink;
    }

private:
    bool AttachDemoRadio() {
        demo_ = std::make_shared<SimulatedHidBackend>();
        demo_->WithRadio([](SimulatedRadio& radio) { FillDemoMemory(radio.Memory()); });
        HidDeviceObject().SetBackend(demo_);
        state_.comPort = 0;
        return true;
    }

    Console& io_;
    std::set<std::string> warned_;  // unwritten trace and dump files already told
    AppState state_{};
    CloneJob job_;
    TextProgress progress_;
    std::shared_ptr<SimulatedHidBackend> demo_;
};

// The link options of the whole tool (given before the command) and of each command that
// talks to a radio share one group name, so an option given before a command can be checked
// against the command's own.
void AddLinkOptions(CLI::App& app, LinkOptions& o, bool movesImages) {
    ChoiceList bauds;
    for (const std::uint32_t baud : kBaudTable) bauds.emplace_back(std::to_string(baud), static_cast<int>(baud));
    app.add_option("-p,--port", o.port, "USB, COMn, a serial device path, or demo (the built-in simulated radio)")
        ->capture_default_str()
        ->group(kLinkOptionsGroup);
    WithChoices(app.add_option("-b,--baud", o.baud, "Serial baud rate"), bauds)
        ->capture_default_str()
        ->group(kLinkOptionsGroup);
    app.add_flag("--trace", o.trace, "Write the trace file CommLogo.bin in the working directory")
        ->group(kLinkOptionsGroup);
    app.add_flag("--fast", o.fast, "Fast transfer: end each receive as soon as the reply is complete")
        ->group(kLinkOptionsGroup);
    if (!movesImages) return;
    app.add_flag("--dump", o.dump, "Write the image dump files WriteRom.bin / ReadRom.bin")->group(kLinkOptionsGroup);
    WithChoices(app.add_option("--model-type", o.modelType, "0 USA, 1 EUR (INT), 2 EUR (INT,USA)"),
                kModelTypeChoices)
        ->group(kLinkOptionsGroup);
}

// A command that talks to a radio, with the link options it takes.
CLI::App* AddLinkCommand(CLI::App& app, LinkOptions& o, const char* name, const char* about, bool movesImages) {
    CLI::App* cmd = app.add_subcommand(name, about);
    AddLinkOptions(*cmd, o, movesImages);
    return cmd;
}

using Body = std::function<int(LinkSession&)>;

// Wraps a clone command: port set-up, Ctrl-C as stop, exit code.
std::function<void()> CloneCallback(std::shared_ptr<LinkOptions> o, Console& io, int& exitCode, Body body) {
    return [o, &io, &exitCode, body] {
        LinkSession session(*o, io);
        if (!session.ChoosePort(o->port)) return void(exitCode = kExitUsage);
        InterruptStop stop;
        exitCode = body(session);
    };
}

void AddHandShake(CLI::App& app, std::shared_ptr<LinkOptions> o, Console& io, int& exitCode) {
    auto* cmd = AddLinkCommand(app, *o, "handshake", "Check that a radio answers", false);
    cmd->callback(CloneCallback(o, io, exitCode, [](LinkSession& s) {
        return s.Report(RunHandShake(s.Job()), "HandShake OK.");
    }));
}

// The radio's exact bytes beside a settings file that could not hold them: FILE.bin.
std::string ImagePathBeside(const std::string& settingsPath) {
    const std::string extension = ".dat";
    const bool hasExtension = settingsPath.size() > extension.size() &&
                              settingsPath.compare(settingsPath.size() - extension.size(), extension.size(), extension) == 0;
    return (hasExtension ? settingsPath.substr(0, settingsPath.size() - extension.size()) : settingsPath) + ".bin";
}

// A read whose settings the file check would refuse (a radio left half-written): the radio's
// exact bytes are kept instead, since a settings file this program cannot open again would lose
// them. kExitDifferent when they were kept, kExitFile when not.
int KeepUnloadableRead(const CloneJob& job, const ReadOutcome& read, const std::string& path, Console& io) {
    io.err << "The radio's settings cannot be kept as a settings file: " << *read.unloadable << ".\n";
    if (IsStandardOutput(path)) {
        io.err << "Nothing was written to standard output.\n";
        return kExitDifferent;
    }
    const std::string imagePath = ImagePathBeside(path);
    if (!OutputApartOrReport(imagePath, {path}, io) || !DumpImageFile(imagePath, *job.readImage)) {
        io.err << imagePath << ": the radio's bytes could not be saved.\n";
        return kExitFile;
    }
    io.err << "The radio's exact bytes were saved to " << imagePath << ".\n";
    return kExitDifferent;
}

// Keeps what a read brought: the settings file, or the radio's bytes when the settings would not
// open again. The exit code, reported.
int KeepRead(const CloneJob& job, const RadioSettings& held, const ReadOutcome& read, const std::string& path,
             Console& io) {
    if (read.unloadable) return KeepUnloadableRead(job, read, path, io);
    return SaveSettingsOrReport(path, held, io) ? kExitOk : int(kExitFile);
}

// Reads the radio and saves what it holds; the exit code of whichever failed, reported.
int ReadAndSave(LinkSession& s, const std::string& path, Console& io) {
    auto held = std::make_unique<RadioSettings>();
    const ReadOutcome read = RunRead(s.Job(), *held);
    if (const int code = s.Report(read); code != kExitOk) return code;
    return KeepRead(s.Job(), *held, read, path, io);
}

void AddRead(CLI::App& app, std::shared_ptr<LinkOptions> o, Console& io, int& exitCode) {
    auto file = std::make_shared<std::string>();
    auto* cmd = AddLinkCommand(app, *o, "read", "Read the radio's settings into a settings file", true);
    cmd->add_option("FILE", *file, "Settings file to write (- for stdout)")->required();
    cmd->callback(CloneCallback(o, io, exitCode, [file, &io](LinkSession& s) {
        io.dataOnStdout = IsStandardOutput(*file);
        if (!OutputUsableOrReport(*file, io)) return int(kExitFile);
        const int code = ReadAndSave(s, *file, io);
        if (code == kExitOk) io.Success() << "Read OK.\n";
        return code;
    }));
}

struct WriteArgs {
    std::string file;
    std::string backup;  // the radio's settings are saved here before anything is written
    bool verify = false;
};

// What is told of a write that did not finish, by the stage it stopped at.
int ReportWriteFailure(LinkSession& s, const WriteOutcome& outcome, const WriteArgs& args, Console& io) {
    switch (outcome.stage) {
    case WriteStage::Check: io.err << outcome.refusal << "\n"; return kExitUsage;
    case WriteStage::Backup:
        s.Report(outcome);
        io.err << "No backup of the radio could be read; nothing was written.\n";
        return kExitLink;
    case WriteStage::KeepBackup:
        s.Report({});
        io.err << "The backup could not be saved to " << args.backup << "; nothing was written.\n";
        return kExitFile;
    case WriteStage::Write:
    case WriteStage::ReadBack: break;
    }
    return s.Report(outcome);
}

// What is told of the read-back after a good write.
int ReportReadBack(LinkSession& s, const ReadBackOutcome& back, Console& io) {
    s.Report({}, "Write OK.");
    if (!back.Ok()) {
        io.err << ReadBackReport(back) << "\n";
        return kExitLink;
    }
    if (back.differing.empty()) return s.Report({}, "Verify OK.");
    io.Outcome() << "Verify Error.\n";
    io.err << ReadBackReport(back) << "\n";
    return kExitDifferent;
}

void AddWrite(CLI::App& app, std::shared_ptr<LinkOptions> o, Console& io, int& exitCode) {
    auto args = std::make_shared<WriteArgs>();
    auto* cmd = AddLinkCommand(app, *o, "write", "Write a settings file into the radio", true);
    cmd->add_option("FILE", args->file, "Settings file")->required();
    cmd->add_option("--backup", args->backup,
                    "Read the radio first and save what it holds to this settings file (- for stdout); "
                    "write nothing if that fails")
        ->type_name("PATH");
    cmd->add_flag("--verify", args->verify, "Read the radio back after the write and report any difference (exit 1)");
    cmd->callback(CloneCallback(o, io, exitCode, [args, o, &io](LinkSession& s) {
        io.dataOnStdout = IsStandardOutput(args->backup);
        if (!OutputApartOrReport(args->backup, {args->file}, io)) return int(kExitUsage);
        auto settings = std::make_unique<RadioSettings>();
        if (!LoadSettingsOrReport(args->file, *settings, io)) return int(kExitFile);
        if (auto refusal = WriteRefusal(*settings)) {
            io.err << *refusal << "\n";
            return int(kExitUsage);
        }
        if (!args->backup.empty() && !OutputUsableOrReport(args->backup, io)) return int(kExitFile);
        s.TakeModelTypeOf(*settings, o->modelType);
        WriteOptions options;
        options.verifyAfter = args->verify;
        if (!args->backup.empty())
            options.keepBackup = [&](const RadioSettings& held, const ReadOutcome& read) {
                const int kept = KeepRead(s.Job(), held, read, args->backup, io);
                if (kept == kExitOk) io.Success() << "Backup of the radio saved to " << args->backup << "\n";
                return kept != kExitFile;
            };
        const WriteOutcome outcome = RunWrite(s.Job(), *settings, options);
        s.Report(CloneOutcome{kResultOk, {}, outcome.unwritten});
        if (outcome.readBack) return ReportReadBack(s, *outcome.readBack, io);
        if (!outcome.Ok()) return ReportWriteFailure(s, outcome, *args, io);
        return s.Report(outcome, "Write OK.");
    }));
}

void AddVerify(CLI::App& app, std::shared_ptr<LinkOptions> o, Console& io, int& exitCode) {
    struct Args { std::string file, report; };
    auto args = std::make_shared<Args>();
    auto* cmd = AddLinkCommand(app, *o, "verify", "Compare the radio with a settings file; writes a report", true);
    cmd->add_option("FILE", args->file, "Settings file")->required();
    AddReportOption(*cmd, args->report);
    cmd->callback(CloneCallback(o, io, exitCode, [args, o, &io](LinkSession& s) {
        io.dataOnStdout = IsStandardOutput(args->report);
        const std::string reportPath = ReportPathOf(args->report);
        if (!OutputApartOrReport(reportPath, {args->file}, io)) return int(kExitUsage);
        auto pc = std::make_unique<RadioSettings>();
        if (!LoadSettingsOrReport(args->file, *pc, io)) return int(kExitFile);
        if (!OutputUsableOrReport(reportPath, io)) return int(kExitFile);
        s.TakeModelTypeOf(*pc, o->modelType);
        const VerifyOutcome outcome = RunVerify(s.Job(), *pc, LocalReportTime());
        if (const int code = s.Report(outcome); code != kExitOk) return code;
        return ReportComparison(outcome.flags, outcome.report, reportPath, io);
    }));
}

// One row of `ports`: the port, whether it is there, what it stands for.
std::string PortRow(const std::string& name, const char* status, const std::string& what) {
    char line[128];
    std::snprintf(line, sizeof line, "%-6s %-8s %s\n", name.c_str(), status, what.c_str());
    return line;
}

void AddPorts(CLI::App& app, const Console& io) {
    auto* cmd = app.add_subcommand("ports", "List COM1 to COM32, the device each stands for, and the USB radio");
    cmd->callback([&io] {
        const auto present = ScanComPorts();
        for (int n = 1; n <= kComPortCount; ++n)
            io.out << PortRow(ComPortName(n), present[static_cast<std::size_t>(n - 1)] ? "present" : "absent",
                              ComPortDevice(n));
        CHidDevice& usb = HidDeviceObject();
        if (!usb.IsPresent()) usb.FindDevice();
        char radio[32];
        std::snprintf(radio, sizeof radio, "radio %04x:%04x", kUsbVendorId, kUsbProductId);
        io.out << PortRow("USB", usb.IsPresent() ? "attached" : "absent", radio);
    });
}

void AddSimulate(CLI::App& app, const Console& io, int& exitCode) {
    auto faults = std::make_shared<std::string>();
    auto* cmd = app.add_subcommand("simulate", "Run the simulated radio on a pseudo-terminal until interrupted");
    cmd->add_option("--faults", *faults, FaultNamesHelp());
    cmd->callback([faults, &io, &exitCode] {
        SimFaults parsed;
        std::string error;
        if (!ParseFaults(*faults, parsed, error)) {
            io.err << error << "\n";
            return void(exitCode = kExitUsage);
        }
        SimulatedRadioPty pty;
        pty.WithRadio([&](SimulatedRadio& radio) {
            FillDemoMemory(radio.Memory());
            radio.Faults() = parsed;
        });
        if (!pty.Start()) {
            io.err << "No pseudo-terminal could be opened\n";
            return void(exitCode = kExitLink);
        }
        io.out << pty.DevicePath() << "\n" << std::flush;
        CloneStopEvent.Reset();
        InterruptStop stop;
        while (!stop.Interrupted()) CloneStopEvent.Wait(std::chrono::milliseconds(200));
        pty.Stop();
    });
}

}  // namespace

void AddCloneCommands(CLI::App& app, Console& io, int& exitCode) {
    auto options = std::make_shared<LinkOptions>();
    AddLinkOptions(app, *options, true);
    AddHandShake(app, options, io, exitCode);
    AddRead(app, options, io, exitCode);
    AddWrite(app, options, io, exitCode);
    AddVerify(app, options, io, exitCode);
    AddPorts(app, io);
    AddSimulate(app, io, exitCode);
}

}  // namespace orven::cli
