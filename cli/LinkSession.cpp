#include "cli/LinkSession.h"

#include "cli/Choices.h"
#include "cli/InterruptStop.h"
#include "clone/CloneEvent.h"
#include "clone/CloneTrace.h"
#include "files/Paths.h"
#include "link/CHidDevice.h"
#include "link/PortNames.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedHidBackend.h"

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <algorithm>
#include <ostream>

namespace orven::cli {

namespace {
constexpr const char* kLinkOptionsGroup = "Link options";
}  // namespace

AppState AppStateOfLink(const LinkOptions& options) {
    AppState state = FreshAppState();
    const auto baud = std::find(kBaudTable.begin(), kBaudTable.end(), options.baud);
    state.baudIndex = static_cast<std::int32_t>(baud - kBaudTable.begin());
    state.modelType = options.modelType.value_or(kModelUsa);
    return state;
}

LinkSession::LinkSession(const LinkOptions& options, Console& io)
    : io_(io), progress_(io.err, isatty(STDERR_FILENO) != 0), archive_(RadioArchive::DefaultFolder()) {
    state_ = AppStateOfLink(options);
    state_.traceLog = options.trace;
    state_.dumpImages = options.dump;
    job_.state = &state_;
    job_.progress = &progress_;
    job_.workDir = CurrentDirectory();
    job_.timing.fast = options.fast;
    job_.archive = &archive_;
    CloneStopEvent.Reset();
}

LinkSession::~LinkSession() = default;

bool LinkSession::ChoosePort(const std::string& port) {
    job_.portName = port;
    std::string upper = port;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    if (upper == "USB") return true;
    if (upper == "DEMO") {
        // The demo radio's reads and writes are kept apart from real radios'.
        archive_ = RadioArchive(RadioArchive::DemoFolder());
        return AttachDemoRadio();
    }
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

void LinkSession::TakeModelTypeOf(const RadioSettings& document, const std::optional<int>& chosen) {
    state_.modelType = chosen.value_or(ModelTypeOfDocument(document));
}

void LinkSession::Warn(const std::string& text) {
    if (warned_.insert(text).second) io_.err << "warning: " << text << "\n";
}

void LinkSession::WarnOf(const CloneOutcome& outcome) {
    progress_.Finish();
    for (const std::string& path : outcome.unwritten) Warn(path + " could not be written");
    if (!outcome.archiveError.empty()) Warn(outcome.archiveError);
    if (outcome.fellBack && outcome.Ok() && warned_.insert("fell back").second)
        io_.err << "note: fast transfer went on with the product timing after a failed attempt\n";
}

int LinkSession::Report(const CloneOutcome& outcome, const std::string& okText) {
    WarnOf(outcome);
    if (outcome.Ok()) {
        if (!okText.empty()) io_.Success() << okText << "\n";
        return kExitOk;
    }
    io_.err << OutcomeText(outcome) << "\n";
    return kExitLink;
}

bool LinkSession::AttachDemoRadio() {
    demo_ = MakeDemoUsbRadio();
    HidDeviceObject().SetBackend(demo_);
    state_.comPort = 0;
    return true;
}

// The link options of the whole tool (given before the command) and of each command that
// talks to a radio share one group name, so an option given before a command can be checked
// against the command's own.
void AddLineOptions(CLI::App& app, LinkOptions& o) {
    ChoiceList bauds;
    for (const std::uint32_t baud : kBaudTable) bauds.emplace_back(std::to_string(baud), static_cast<int>(baud));
    WithChoices(app.add_option("-b,--baud", o.baud, "Serial baud rate"), bauds)
        ->capture_default_str()
        ->group(kLinkOptionsGroup);
    app.add_flag("--fast", o.fast, "Fast transfer: end each receive as soon as the reply is complete (the product timing "
                  "takes over after a failed attempt)")
        ->group(kLinkOptionsGroup);
}

void AddLinkOptions(CLI::App& app, LinkOptions& o, bool movesImages) {
    app.add_option("-p,--port", o.port, "USB, COMn, a serial device path, or demo (the built-in simulated radio)")
        ->capture_default_str()
        ->group(kLinkOptionsGroup);
    app.add_flag("--trace", o.trace, "Write the trace file CommLogo.bin in the working directory")
        ->group(kLinkOptionsGroup);
    AddLineOptions(app, o);
    if (!movesImages) return;
    app.add_flag("--dump", o.dump, "Write the image dump files WriteRom.bin / ReadRom.bin")->group(kLinkOptionsGroup);
    WithChoices(app.add_option("--model-type", o.modelType, "0 USA, 1 EUR (INT), 2 EUR (INT,USA)"),
                kModelTypeChoices)
        ->group(kLinkOptionsGroup);
}

CLI::App* AddLinkCommand(CLI::App& app, LinkOptions& o, const char* name, const char* about, bool movesImages) {
    CLI::App* cmd = app.add_subcommand(name, about);
    AddLinkOptions(*cmd, o, movesImages);
    return cmd;
}

namespace {

// --trace and --dump write into the working folder; through a link there they could overwrite
// what the radio archive keeps.
bool TraceAndDumpApart(const LinkOptions& o, const Console& io) {
    const std::string folder = CurrentDirectory();
    if (o.trace && !OutputApartOrReport(JoinPath(folder, kTraceFileName), {}, io)) return false;
    if (!o.dump) return true;
    return OutputApartOrReport(JoinPath(folder, kReadDumpFileName), {}, io) &&
           OutputApartOrReport(JoinPath(folder, kWriteDumpFileName), {}, io);
}

}  // namespace

std::function<void()> LinkCallback(std::shared_ptr<LinkOptions> o, Console& io, int& exitCode, LinkBody body) {
    return [o, &io, &exitCode, body] {
        LinkSession session(*o, io);
        if (!session.ChoosePort(o->port) || !TraceAndDumpApart(*o, io)) return void(exitCode = kExitUsage);
        InterruptStop stop;
        exitCode = body(session);
    };
}

}  // namespace orven::cli
