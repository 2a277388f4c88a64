// The web edition's document and clone commands, as the page reaches them: the settings on
// screen, opening and saving them as settings files, and one clone command at a time over the
// port the user chose, with the command runner's policies and the words the window uses. Every
// answer is a JSON text the page shows as it is.
#pragma once

#include "clone/CloneRunner.h"
#include "clone/CloneWords.h"
#include "files/RadioArchive.h"
#include "files/SettingsFile.h"
#include "link/CHidDevice.h"
#include "model/RadioSettings.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orven {
class SimulatedHidBackend;
}

namespace orven::web {

// The ports of the page: the adaptor on Web Serial, the radio on WebHID, the simulated radio.
enum class WebPort { Serial, Usb, Demo };

struct RunRequest {
    CloneOperation operation = CloneOperation::HandShake;
    WebPort port = WebPort::Demo;
    int baudIndex = kDefaultBaudIndex;
    bool fast = false;
    bool backUp = true;       // into the page's radio archive before a write
    bool verifyAfter = false; // read the radio back after a write
};

// What the page offers for a link and says of it: {"baudRates": [...], "baudIndex": the default,
// "usb": {"vendorId", "productId"}, "ready": the idle status, "working": {operation: its status
// while it runs}}.
std::string LinkChoicesJson();

// The request's JSON ({"operation":"read","port":"demo","baud":1,"fast":true,...}); nothing when
// it names no operation or port.
std::optional<RunRequest> ParseRunRequest(const std::string& json);

class WebSession {
public:
    // Starts with the defaults of the USA model and a demo radio holding its demo memory.
    explicit WebSession(std::string workFolder);
    ~WebSession();

    // {"document": <the settings as show --json has them>, "name": file name, "bands": [band
    // combo entries], "decoded": {"mmsi", "atis"} as the window shows them under the fields,
    // "warnings": [the identities' warnings]}
    std::string DocumentJson() const;
    // {"band": name, "lines": [the channel list as the window shows it]}
    std::string ChannelListJson(const std::string& bandEntry) const;

    // The most bytes of a file Open needs: a settings file's, and one more to tell a longer file.
    // The page hands over no more, so a file of any size is judged without being loaded whole.
    static constexpr std::size_t kOpenBytesNeeded = kSettingsFileSize + 1;
    // Makes the bytes the document when they are a settings file: {"ok", "status", "problem"}.
    std::string Open(const std::vector<std::uint8_t>& bytes, const std::string& name);
    // The document as a settings file; nothing with `error` set when it could not be made.
    std::optional<std::vector<std::uint8_t>> Save(std::string& error) const;

    // Before a write: {"refusal": text or null, "warnings": [...], "title", "question"}.
    std::string WriteCheckJson() const;
    // One clone command: {"ok", "status", "problem": {"title","text"} or null, "report",
    // "documentChanged", "backup": a write's backup entry, "image": the entry of a read no
    // settings file can hold}.
    std::string Run(const RunRequest& request);
    // The radio's 8192 bytes an archive entry keeps; nothing when they cannot be read.
    std::optional<std::vector<std::uint8_t>> ArchivedImage(const std::string& id) const;
    // The settings file an archive entry keeps (a write's backup); nothing when it keeps none.
    std::optional<std::vector<std::uint8_t>> ArchivedSettings(const std::string& id) const;

private:
    struct Verdict;
    CloneJob MakeJob(const RunRequest& request, AppState& state, ProgressSink& progress);
    Verdict RunOperation(const RunRequest& request, const CloneJob& job);
    Verdict ReadVerdict(const ReadOutcome& outcome, const RadioSettings& read);
    Verdict WriteVerdict(const WriteOutcome& outcome) const;
    Verdict VerifyVerdict(const VerifyOutcome& outcome) const;

    std::string workFolder_;
    std::unique_ptr<RadioSettings> document_;
    std::string name_;
    RadioArchive archive_;
    std::shared_ptr<SimulatedHidBackend> demoRadio_;
    CHidDevice demoDevice_;
    CHidDevice usbDevice_;
};

}  // namespace orven::web
