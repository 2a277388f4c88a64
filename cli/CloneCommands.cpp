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
#include <array>
#include <cctype>
#include <optional>
#include <span>
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
    // The identities the radio is to hold afterwards, as typed: --confirm-mmsi and the others.
    std::array<std::optional<std::string>, kIdentityKindCount> confirm;
    std::vector<int> remove;  // IdentityKind values: --remove-identities
};

struct ConfirmOption {
    IdentityKind kind;
    const char* name;
    const char* typeName;
    const char* help;
};
constexpr ConfirmOption kConfirmOptions[] = {
    {IdentityKind::Mmsi, "--confirm-mmsi", "N",
     "The MMSI the radio is to hold afterwards, or none (many radios take their MMSI only once)"},
    {IdentityKind::Atis, "--confirm-atis", "N",
     "The ATIS (its last 9 digits) the radio is to hold afterwards, or none"},
    {IdentityKind::Nmea, "--confirm-nmea", "N", "The NMEA2000 number the radio is to hold afterwards, or none"},
    {IdentityKind::Serial, "--confirm-serial", "S", "The serial number the radio is to hold afterwards, or none"},
    {IdentityKind::Model, "--confirm-model", "USA|Europe", "The model the radio is to be afterwards"},
};

const ChoiceList kIdentityChoices = {{"mmsi", static_cast<int>(IdentityKind::Mmsi)},
                                     {"atis", static_cast<int>(IdentityKind::Atis)},
                                     {"nmea", static_cast<int>(IdentityKind::Nmea)},
                                     {"serial", static_cast<int>(IdentityKind::Serial)}};

// The confirmation options of the identities a command may change. An empty value (an unset
// variable in a script) names nothing: only the word none confirms a removal.
void AddConfirmOptions(CLI::App& cmd, WriteArgs& args, std::span<const IdentityKind> kinds) {
    const CLI::Validator named(
        [](const std::string& value) {
            return value.empty() ? std::string("needs the value the radio is to hold, or ") + kNoIdentityWord
                                 : std::string();
        },
        "");
    for (const ConfirmOption& option : kConfirmOptions)
        if (std::find(kinds.begin(), kinds.end(), option.kind) != kinds.end())
            cmd.add_option(option.name, args.confirm[static_cast<std::size_t>(option.kind)],
                           std::string(option.help) + "; each change of an identity must be confirmed")
                ->type_name(option.typeName)
                ->check(named);
}

const char* ConfirmOptionName(IdentityKind kind) {
    for (const ConfirmOption& option : kConfirmOptions)
        if (option.kind == kind) return option.name;
    return "";
}

IdentityConfirmations ConfirmationsOf(const WriteArgs& args) {
    IdentityConfirmations confirmed;
    for (const IdentityKind kind : kRestoredIdentities)
        if (const auto& typed = args.confirm[static_cast<std::size_t>(kind)]) confirmed[kind] = ConfirmedValue(*typed);
    return confirmed;
}

// A value as a shell takes it back.
std::string ShellWord(const std::string& value) {
    const bool plain = !value.empty() && std::all_of(value.begin(), value.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-';
    });
    if (plain) return value;
    std::string quoted = "'";
    for (const char c : value) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A write stopped because a change of the radio's identities was not confirmed: each change, held
// -> new, and the options that go ahead.
int ReportUnconfirmedIdentity(const WriteOutcome& outcome, Console& io) {
    io.err << "This would change the radio's identities:\n";
    std::string options;
    for (const IdentityChange& change : outcome.identities) {
        io.err << "  " << ChangeLine(change) << (change.confirmed ? "  (confirmed)" : "") << "\n";
        if (!change.confirmed)
            options += std::string(options.empty() ? "" : " ") + ConfirmOptionName(change.kind) + " " +
                       ShellWord(ShownValue(change.next));
    }
    const bool once = std::any_of(outcome.identities.begin(), outcome.identities.end(), [](const IdentityChange& c) {
        return c.kind == IdentityKind::Mmsi || c.kind == IdentityKind::Atis;
    });
    io.err << (once ? "Many radios take their own MMSI and ATIS only once. " : "")
           << "To go ahead, confirm each change: " << options << "\n";
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
        if (outcome.result != kResultUserCancel) {
            io.err << outcome.refusal << "\nNothing was written.\n";
            return kExitUsage;
        }
        return ReportUnconfirmedIdentity(outcome, io);
    case WriteStage::KeepBackup:
        s.Report({});
        io.err << "The backup could not be saved to " << args.backup << "; nothing was written.\n";
        return kExitFile;
    case WriteStage::Recheck:
    case WriteStage::Write:
    case WriteStage::ReadBack: break;
    }
    return s.Report(outcome);
}

// A write that failed once frames were sent may have left the radio half-written: its backup is
// the way back.
int ReportCutOffWrite(LinkSession& s, const WriteOutcome& outcome, Console& io, const char* okText) {
    const int code = s.Report(outcome, okText);
    if (outcome.Ok() || outcome.stage != WriteStage::Write) return code;
    io.err << "The radio may be half-written.";
    if (!outcome.archived.empty())
        io.err << " Put it back with: " << RestoreCommand(s.Job().portName, outcome.archived);
    io.err << "\n";
    return code;
}

// What is told of a write or restore once the radio was written to: the backup, the write, the
// read-back. Identities the radio does not hold as sent fail it (exit 1).
int ReportWrite(LinkSession& s, const WriteOutcome& outcome, const WriteArgs& args, Console& io,
                const char* okText = "Write OK.") {
    if (outcome.stage < WriteStage::Write) return ReportWriteFailure(s, outcome, args, io);
    s.WarnOf(outcome);
    if (!outcome.archived.empty())
        io.Success() << "What the radio held is kept in the radio archive as " << outcome.archived << "\n";
    if (!outcome.readBack) return ReportCutOffWrite(s, outcome, io, okText);
    const ReadBackOutcome& back = *outcome.readBack;
    const bool addressesDiffer = back.Ok() && !back.differing.empty();
    if (outcome.IdentitiesDiffer()) {
        io.err << OutcomeText(outcome) << "\n";
    } else {
        s.Report({}, okText);
        if (!back.Ok()) {
            io.err << ReadBackReport(back) << "\n";
            return kExitLink;
        }
        if (!back.whole) return kExitOk;
        if (!addressesDiffer) return s.Report({}, "Verify OK.");
    }
    if (back.whole && addressesDiffer) {
        io.Outcome() << "Verify Error.\n";
        io.err << ReadBackReport(back) << "\n";
    }
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
                   "Do not read the radio into the radio archive before writing (it is, by default); what the radio "
                   "holds is then not known, so every identity must be confirmed")
        ->excludes("--backup");
    cmd->add_flag("--verify", args->verify,
                  "Read the whole radio back after the write and report any difference (exit 1); without it only "
                  "the identities are read back");
    WithChoices(cmd->add_option("--remove-identities", args->remove,
                                "Remove these identities from the radio whatever the file says (a radio being sold); "
                                "confirm each with --confirm-... none")
                    ->delimiter(','),
                kIdentityChoices)
        ->type_name("mmsi,atis,nmea,serial");
    AddConfirmOptions(*cmd, *args, kRadioIdentities);
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
        options.confirmed = ConfirmationsOf(*args);
        for (const int kind : args->remove) options.remove.insert(static_cast<IdentityKind>(kind));
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
    cmd->add_flag("--no-backup", args->noBackup,
                  "Do not read the radio into the radio archive first; what the radio holds is then not known, so "
                  "every identity and the model must be confirmed");
    AddConfirmOptions(*cmd, *args, kRestoredIdentities);
    cmd->callback(LinkCallback(o, io, exitCode, [args, &io](LinkSession& s) {
        auto image = std::make_unique<RadioImage>();
        if (const int code = LoadRestoreImage(s, args->file, *image, io); code != kExitOk) return code;
        WriteOptions options;
        options.backUpToArchive = !args->noBackup;
        options.confirmed = ConfirmationsOf(*args);
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
    AddFleetCommand(app, options, io, exitCode);
}

}  // namespace orven::cli
