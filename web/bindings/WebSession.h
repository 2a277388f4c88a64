// The web edition's clone commands, as the page reaches them: one at a time over the port the user
// chose, with the command runner's policies and the words the window uses, on the page's document
// and into the radio archive of the radio on that port. Also the connection check. Every answer is
// a JSON text the page shows as it is.
#pragma once

#include "clone/CloneRunner.h"
#include "clone/CloneWords.h"
#include "link/CHidDevice.h"
#include "web/bindings/WebArchive.h"
#include "web/bindings/WebDocument.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace orven {
class SimulatedHidBackend;
}

namespace orven::web {

// The ports of the page: the adaptor on Web Serial, the radio on WebHID, the simulated radio.
enum class WebPort { Serial, Usb, Demo };

// What a request runs: a clone command, or the connection check.
enum class WebCommand { Read, Write, Verify, HandShake, Restore, Check };

struct RunRequest {
    WebCommand command = WebCommand::HandShake;
    WebPort port = WebPort::Demo;
    int baudIndex = kDefaultBaudIndex;
    bool fast = false;
    bool backUp = true;       // into the radio archive before a write or restore
    bool verifyAfter = false; // read the radio back after a write
    std::string entry;        // a restore's archive entry
};

// What the page offers for a link and says of it: {"baudRates": [...], "baudIndex": the default,
// "usb": {"vendorId", "productId"}, "ready": the idle status, "working": {operation: its status
// while it runs}, "portNames": {port: as the archive and the log name it}}.
json LinkChoicesJson();

// The request's JSON ({"operation":"read","port":"demo","baud":1,"fast":true,...}); nothing when
// it names no operation or port.
std::optional<RunRequest> ParseRunRequest(const std::string& json);

// The name of a port of the page, as the archive, the log and the restore question name it.
std::string PortRecordName(WebPort port);

class WebSession {
public:
    // Starts with the defaults of the USA model and a demo radio holding its demo memory.
    explicit WebSession(std::string workFolder);
    ~WebSession();

    WebDocument& Document() { return document_; }
    WebArchive& Archives() { return archives_; }

    // Before a write: {"refusal": text or null, "warnings": [...], "title", "question"}.
    json WriteCheck() const;
    // One command: {"ok", "status", "problem": {"title","text"} or null, "report", "documentChanged",
    // "backup": a write's backup entry, "image": the entry of a read no settings file can hold,
    // "check": the connection check's report}.
    json Run(const RunRequest& request);

private:
    struct Verdict;
    CloneJob MakeJob(const RunRequest& request, AppState& state, ProgressSink& progress);
    Verdict RunCommand(const RunRequest& request, const CloneJob& job);
    Verdict Restore(const RunRequest& request, const CloneJob& job, const WriteOptions& options);
    Verdict ReadVerdict(const ReadOutcome& outcome, const RadioSettings& read);
    Verdict WriteVerdict(const WriteOutcome& outcome, bool restore) const;
    Verdict VerifyVerdict(const VerifyOutcome& outcome) const;
    Verdict CheckReport(const CloneJob& job, bool demo) const;

    std::string workFolder_;
    WebDocument document_;
    WebArchive archives_;
    std::shared_ptr<SimulatedHidBackend> demoRadio_;
    CHidDevice demoDevice_;
    CHidDevice usbDevice_;
};

}  // namespace orven::web
