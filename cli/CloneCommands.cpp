// Commands that talk to a radio: handshake, read, write, verify, ports, simulate.
#include "cli/Choices.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/CompareReport.h"
#include "sim/SimFaultList.h"
#include "cli/InterruptStop.h"
#include "cli/LinkSession.h"
#include "clone/CloneEvent.h"
#include "clone/CloneResult.h"
#include "clone/CloneRunner.h"
#include "clone/CloneTrace.h"
#include "clone/ConnectionCheck.h"
#include "files/FileRead.h"
#include "files/Paths.h"
#include "files/ReportTime.h"
#include "model/IdentityRules.h"
#include "model/MarineIdentity.h"
#include "model/LineFormat.h"
#include "model/RadioImage.h"
#include "link/CHidDevice.h"
#include "link/PortNames.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedHidBackend.h"
#include "sim/SimulatedRadioPty.h"

#include <CLI/CLI.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <set>

namespace orven::cli {

namespace {

void AddHandShake(CLI::App& app, std::shared_ptr<LinkOptions> o, Console& io, int& exitCode) {
    auto* cmd = AddLinkCommand(app, *o, "handshake", "Check that a radio answers", false);
    cmd->callback(LinkCallback(o, io, exitCode, [](LinkSession& s) {
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

// Before a read whose settings go to `path`: neither the file nor the image kept beside it when the
// settings cannot be a file may overwrite an input or what the radio archive keeps.
bool ReadOutputsApart(const std::string& path, const std::string& input, const Console& io) {
    if (path.empty() || IsStandardOutput(path)) return true;
    return OutputApartOrReport(path, {input}, io) && OutputApartOrReport(ImagePathBeside(path), {input, path}, io);
}

// Keeps what a read brought: the settings file, or the radio's bytes when the settings would not
// open again. The exit code, reported.
int KeepRead(const CloneJob& job, const RadioSettings& held, const ReadOutcome& read, const std::string& path,
             Console& io) {
    if (read.unloadable) return KeepUnloadableRead(job, read, path, io);
    return SaveSettingsOrReport(path, held, io) ? kExitOk : int(kExitFile);
}

void AddRead(CLI::App& app, std::shared_ptr<LinkOptions> o, Console& io, int& exitCode) {
    auto file = std::make_shared<std::string>();
    auto* cmd = AddLinkCommand(app, *o, "read", "Read the radio's settings into a settings file", true);
    cmd->add_option("FILE", *file, "Settings file to write (- for stdout)")->required();
    cmd->callback(LinkCallback(o, io, exitCode, [file, &io](LinkSession& s) {
        io.dataOnStdout = IsStandardOutput(*file);
        if (!ReadOutputsApart(*file, {}, io)) return int(kExitUsage);
        if (!OutputUsableOrReport(*file, io)) return int(kExitFile);
        auto held = std::make_unique<RadioSettings>();
        const ReadOutcome read = RunRead(s.Job(), *held);
        if (const int code = s.Report(read); code != kExitOk) return code;
        const int code = KeepRead(s.Job(), *held, read, *file, io);
        if (code == kExitOk) io.Success() << "Read OK.\n";
        if (!read.archived.empty())
            (code == kExitOk ? io.Success() : io.err) << "Kept in the radio archive as " << read.archived << "\n";
        return code;
    }));
}

struct WriteArgs {
    std::string file;
    std::string backup;  // the radio's settings are saved here before anything is written
    bool noBackup = false;
    bool verify = false;
    std::string confirmMmsi, confirmAtis;  // repeat the identities a write puts into the radio
};

void AddConfirmOptions(CLI::App& cmd, WriteArgs& args) {
    cmd.add_option("--confirm-mmsi", args.confirmMmsi,
                   "Repeat the MMSI this puts into a radio that held another or none (many radios take it only once)")
        ->type_name("N");
    cmd.add_option("--confirm-atis", args.confirmAtis, "Repeat the ATIS (last 9 digits) this puts into the radio")
        ->type_name("N");
}

// The command line's answer to a new identity: the numbers repeated with --confirm-mmsi/-atis.
std::function<bool(const IdentityChange&)> ConfirmFromOptions(const WriteArgs& args) {
    return [&args](const IdentityChange& change) {
        return (!change.MmsiChanges() || args.confirmMmsi == change.newMmsi) &&
               (!change.AtisChanges() || args.confirmAtis == change.newAtis);
    };
}

// One identity a write would put into the radio, what it replaces, and how to go ahead.
std::string IdentityLine(const char* name, const std::string& held, const std::string& now, bool known,
                         bool isAtis, const char* option) {
    const auto describe = [&](const std::string& n) {
        return isAtis ? "9" + n : DescribedMmsi(n);
    };
    std::string line = std::string("The ") + name + " " + describe(now);
    line += !known        ? " would be programmed; what the radio holds is not known (no backup was read)"
            : held.empty() ? " would be put into a radio that holds none"
                           : " would replace " + describe(held);
    return line + ". Many radios take their own " + name + " only once: repeat it with " + option + " " + now +
           " to go ahead.\n";
}

// A write stopped because a new identity was not confirmed: which, what it replaces, how to go on.
int ReportUnconfirmedIdentity(const WriteOutcome& outcome, const WriteArgs& args, Console& io) {
    const IdentityChange& c = outcome.identities;
    if (c.MmsiChanges() && args.confirmMmsi != c.newMmsi)
        io.err << IdentityLine("MMSI", c.heldMmsi, c.newMmsi, c.heldKnown, false, "--confirm-mmsi");
    if (c.AtisChanges() && args.confirmAtis != c.newAtis)
        io.err << IdentityLine("ATIS", c.heldAtis, c.newAtis, c.heldKnown, true, "--confirm-atis");
    io.err << "Nothing was written.\n";
    return kExitUsage;
}

// What is told of a write or restore that did not finish, by the stage it stopped at.
int ReportWriteFailure(LinkSession& s, const WriteOutcome& outcome, const WriteArgs& args, Console& io) {
    switch (outcome.stage) {
    case WriteStage::Check: io.err << outcome.refusal << "\n"; return kExitUsage;
    case WriteStage::Archive:
        s.Report({});
        io.err << outcome.archiveError << "; nothing was written.\n";
        return kExitFile;
    case WriteStage::Backup:
        s.Report(outcome);
        io.err << "No backup of the radio could be read; nothing was written.\n";
        return kExitLink;
    case WriteStage::Confirm:
        s.Report({});
        return ReportUnconfirmedIdentity(outcome, args, io);
    case WriteStage::KeepBackup:
        s.Report({});
        io.err << "The backup could not be saved to " << args.backup << "; nothing was written.\n";
        return kExitFile;
    case WriteStage::Write:
    case WriteStage::ReadBack: break;
    }
    return s.Report(outcome);
}

// What is told of a write or restore: where the backup went, the write, the read-back.
int ReportWrite(LinkSession& s, const WriteOutcome& outcome, const WriteArgs& args, Console& io,
                const char* okText = "Write OK.") {
    if (!outcome.Ok() && outcome.stage != WriteStage::Write) return ReportWriteFailure(s, outcome, args, io);
    s.WarnOf(outcome);
    if (!outcome.archived.empty())
        io.Success() << "What the radio held is kept in the radio archive as " << outcome.archived << "\n";
    if (!outcome.Ok()) return s.Report(outcome);
    if (!outcome.readBack) return s.Report({}, okText);
    const ReadBackOutcome& back = *outcome.readBack;
    s.Report({}, okText);
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
    cmd->add_flag("--no-backup", args->noBackup,
                  "Do not read the radio into the radio archive before writing (it is, by default)");
    cmd->add_flag("--verify", args->verify, "Read the radio back after the write and report any difference (exit 1)");
    AddConfirmOptions(*cmd, *args);
    cmd->callback(LinkCallback(o, io, exitCode, [args, o, &io](LinkSession& s) {
        io.dataOnStdout = IsStandardOutput(args->backup);
        if (!ReadOutputsApart(args->backup, args->file, io)) return int(kExitUsage);
        auto settings = std::make_unique<RadioSettings>();
        if (!LoadSettingsOrReport(args->file, *settings, io)) return int(kExitFile);
        if (auto refusal = WriteRefusal(*settings)) {
            io.err << *refusal << "\n";
            return int(kExitUsage);
        }
        if (!args->backup.empty() && !OutputUsableOrReport(args->backup, io)) return int(kExitFile);
        s.TakeModelTypeOf(*settings, o->modelType);
        WarnAboutIdentities(*settings, io);
        WriteOptions options;
        options.verifyAfter = args->verify;
        options.backUpToArchive = !args->noBackup;
        options.confirmIdentityChange = ConfirmFromOptions(*args);
        if (!args->backup.empty())
            options.keepBackup = [&](const RadioSettings& held, const ReadOutcome& read) {
                const int kept = KeepRead(s.Job(), held, read, args->backup, io);
                if (kept == kExitOk) io.Success() << "Backup of the radio saved to " << args->backup << "\n";
                return kept != kExitFile;
            };
        return ReportWrite(s, RunWrite(s.Job(), *settings, options), *args, io);
    }));
}

// The entry a restore names: by its id, or by the path of its image (the same file, however
// reached), which its record vouches for like the id.
std::optional<ArchiveEntry> EntryNamed(const RadioArchive& archive, const std::string& source) {
    for (ArchiveEntry& entry : archive.List())
        if (entry.id == source || IsSameFile(JoinPath(entry.folder, kArchiveImageName), source)) return entry;
    return std::nullopt;
}

// The image a restore sends: an archive entry, whose bytes must be whole and match its record;
// else an image file given by path (8192 bytes, as --dump keeps it), taken as it is since no
// record vouches for it. kExitOk, or the exit code with the reason told.
int LoadRestoreImage(const LinkSession& s, const std::string& source, RadioImage& image, Console& io) {
    const RadioArchive& archive = s.Archive();
    const auto entry = EntryNamed(archive, source);
    struct stat info{};
    if (!entry && stat(source.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        const FileRead read = ReadFileStart(source, image);
        if (read.status == FileReadStatus::Ok && read.bytes == image.size() && !read.more) return kExitOk;
        io.err << source << ": not a radio image (8192 bytes)";
        const std::string cause = ReadFailureCause(read);
        io.err << (cause.empty() ? "" : " (" + cause + ")") << "\n";
        return kExitFile;
    }
    if (!entry) {
        io.err << source << ": " << OpenFailureCause(source) << ", and no entry of the radio archive "
               << archive.Folder() << " has that name (see orven-cli archive list" << (s.OnDemoRadio() ? " --demo" : "")
               << ")\n";
        return kExitFile;
    }
    std::string why;
    if (archive.LoadImage(*entry, image, why)) return kExitOk;
    io.err << PrintableText(entry->id) << ": a damaged entry of the radio archive, not restored: " << why
           << "\nNothing was sent to the radio.\n";
    return kExitUsage;
}

void AddRestore(CLI::App& app, std::shared_ptr<LinkOptions> o, Console& io, int& exitCode) {
    auto args = std::make_shared<WriteArgs>();
    auto* cmd = AddLinkCommand(app, *o, "restore",
                               "Write a radio's exact bytes back: an archive entry or an image file, then read back", true);
    cmd->add_option("SOURCE", args->file, "An archive entry (see archive list) or an 8192-byte image file")->required();
    cmd->add_flag("--no-backup", args->noBackup, "Do not read the radio into the radio archive first");
    AddConfirmOptions(*cmd, *args);
    cmd->callback(LinkCallback(o, io, exitCode, [args, &io](LinkSession& s) {
        auto image = std::make_unique<RadioImage>();
        if (const int code = LoadRestoreImage(s, args->file, *image, io); code != kExitOk) return code;
        WriteOptions options;
        options.backUpToArchive = !args->noBackup;
        options.confirmIdentityChange = ConfirmFromOptions(*args);
        return ReportWrite(s, RunRestore(s.Job(), *image, options), *args, io, "Restore OK.");
    }));
}

void AddVerify(CLI::App& app, std::shared_ptr<LinkOptions> o, Console& io, int& exitCode) {
    struct Args { std::string file, report; };
    auto args = std::make_shared<Args>();
    auto* cmd = AddLinkCommand(app, *o, "verify", "Compare the radio with a settings file; writes a report", true);
    cmd->add_option("FILE", args->file, "Settings file")->required();
    AddReportOption(*cmd, args->report);
    cmd->callback(LinkCallback(o, io, exitCode, [args, o, &io](LinkSession& s) {
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

void AddDoctor(CLI::App& app, std::shared_ptr<LinkOptions> o, Console& io, int& exitCode) {
    auto* cmd = AddLinkCommand(app, *o, "doctor",
                               "Check the connection: why the radio does not answer, and what to do (exit 3 when it does not)",
                               false);
    cmd->callback(LinkCallback(o, io, exitCode, [&io](LinkSession& s) {
        const ConnectionReport report = CheckConnection(s.Job(), {}, !s.OnDemoRadio());
        io.out << ChecklistText(report);
        return report.radioAnswers ? int(kExitOk) : int(kExitLink);
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
    AddRestore(app, options, io, exitCode);
    AddDoctor(app, options, io, exitCode);
    AddPorts(app, io);
    AddSimulate(app, io, exitCode);
}

}  // namespace orven::cli
