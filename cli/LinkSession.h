// What every command that talks to a radio shares: the link options (given before the command
// or after its name), the session that turns them into a clone job, and the wrapper that runs a
// command with Ctrl-C, SIGTERM and SIGHUP as a clean stop.
#pragma once

#include "cli/CliSupport.h"
#include "cli/TextProgress.h"
#include "clone/CloneRunner.h"
#include "files/RadioArchive.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace CLI {
class App;
}

namespace orven {
class SimulatedHidBackend;
}

namespace orven::cli {

struct LinkOptions {
    std::string port = "USB";
    std::uint32_t baud = 9600;
    bool trace = false;
    bool dump = false;
    bool fast = false;
    std::optional<int> modelType;
};

// Everything one clone command needs, set up from the link options: the job with its port,
// progress bar, working folder and the radio archive.
class LinkSession {
public:
    LinkSession(const LinkOptions& options, Console& io);
    ~LinkSession();

    // Applies --port; false (with a message) when it names nothing usable.
    bool ChoosePort(const std::string& port);
    // Sets the model type from the document unless --model-type chose one.
    void TakeModelTypeOf(const RadioSettings& document, const std::optional<int>& chosen);

    CloneJob& Job() { return job_; }
    AppState& State() { return state_; }
    const RadioArchive& Archive() const { return archive_; }
    // Whether --port chose the built-in demo radio.
    bool OnDemoRadio() const { return demo_ != nullptr; }

    // Ends the progress line and turns an outcome into output (okText as a success line, when
    // given) and an exit code; trace, dump and archive troubles are warnings, each told once.
    int Report(const CloneOutcome& outcome, const std::string& okText = {});
    // Only the warnings of an outcome.
    void WarnOf(const CloneOutcome& outcome);

private:
    bool AttachDemoRadio();
    void Warn(const std::string& text);

    Console& io_;
    std::set<std::string> warned_;
    AppState state_{};
    CloneJob job_;
    TextProgress progress_;
    RadioArchive archive_;
    std::shared_ptr<SimulatedHidBackend> demo_;
};

// The program's state of a transfer from the link options: the baud rate and the model type.
AppState AppStateOfLink(const LinkOptions& options);

// The options of the line itself, --baud and --fast, as a command with ports of its own takes them.
void AddLineOptions(CLI::App& app, LinkOptions& o);

// The link options of the whole tool and of each command that talks to a radio; `movesImages`
// adds --dump and --model-type.
void AddLinkOptions(CLI::App& app, LinkOptions& o, bool movesImages);

// A command that talks to a radio, with the link options it takes.
CLI::App* AddLinkCommand(CLI::App& app, LinkOptions& o, const char* name, const char* about, bool movesImages);

using LinkBody = std::function<int(LinkSession&)>;

// Wraps a clone command: port set-up, Ctrl-C, SIGTERM and SIGHUP as stop, exit code.
std::function<void()> LinkCallback(std::shared_ptr<LinkOptions> o, Console& io, int& exitCode, LinkBody body);

}  // namespace orven::cli
