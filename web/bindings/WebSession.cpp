#include "web/bindings/WebSession.h"

#include "web/bindings/WebHidBackend.h"
#include "web/bindings/WebProgress.h"

#include "clone/CloneEvent.h"
#include "clone/CloneResult.h"
#include "clone/ConnectionCheck.h"
#include "files/ReportTime.h"
#include "model/IdentityRules.h"
#include "model/LineFormat.h"
#include "model/MarineIdentity.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedHidBackend.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>

namespace orven::web {

namespace {

// The page shows the identity question; 1 when the user answered it with OK, 0 when cancelled.
EM_ASYNC_JS(int, web_ask_identity, (const char* question), {
    Module.identityTyped = await Module.askIdentity(JSON.parse(UTF8ToString(question)));
    return Module.identityTyped ? 1 : 0;
});
// What the user typed into the question's rows, as a JSON list; taken once the command runs again,
// since nothing may call into the module while it waits.
EM_JS(char*, web_identity_typed, (), {
    return allocateUTF8(JSON.stringify(Module.identityTyped || []));
});
// The radio archive changed: during a command the page makes it lasting before the command goes
// on (a write's backup and its started line must outlive a closed tab); otherwise soon after.
EM_ASYNC_JS(void, web_persist_archive_now, (), {
    if (Module.persistArchive) await Module.persistArchive();
});
EM_JS(void, web_persist_archive_soon, (), {
    if (Module.persistArchive) Module.persistArchive();
});

struct CommandName {
    WebCommand command;
    const char* name;
    CloneOperation operation;
};
constexpr CommandName kCommands[] = {
    {WebCommand::Write, "write", CloneOperation::Write},         {WebCommand::Read, "read", CloneOperation::Read},
    {WebCommand::Verify, "verify", CloneOperation::Verify},      {WebCommand::HandShake, "handshake", CloneOperation::HandShake},
    {WebCommand::Restore, "restore", CloneOperation::Restore},   {WebCommand::Check, "check", CloneOperation::None},
};
const char* const kPortNames[] = {"serial", "usb", "demo"};
// What the archive and the log call each port.
const char* const kPortRecordNames[] = {"Web Serial", "USB", "Demo radio"};

// The device the serial engine is told to open: the port is the one the page chose, so the name
// only sends the engine to the serial line.
constexpr const char* kSerialDevice = "web-serial";
// What a failed write or restore tells of bringing the radio back, in the page.
constexpr const char* kRestoreHint = "Radio Archive... can write it back; Download Backup saves it as a settings file.";

json Problem(const std::string& title, const std::string& text) { return {{"title", title}, {"text", text}}; }

json QuestionJson(const IdentityQuestion& q) {
    json rows = json::array();
    for (const IdentityQuestionRow& r : q.rows)
        rows.push_back({{"key", r.key}, {"name", r.name}, {"held", r.held}, {"written", r.written},
                        {"againPrompt", r.againPrompt}, {"acceptPrompt", r.acceptPrompt}, {"expected", r.expected}});
    return {{"title", q.title}, {"intro", q.intro}, {"heldHeading", q.heldHeading},
            {"writtenHeading", q.writtenHeading}, {"rows", rows}};
}

// Whether the user answered the question: OK, with every new value typed again and every removal
// ticked.
bool AskedAndAnswered(const IdentityQuestion& question) {
    if (!web_ask_identity(Dumped(QuestionJson(question)).c_str())) return false;
    char* text = web_identity_typed();
    const json typed = json::parse(text, nullptr, false);
    std::free(text);
    std::vector<std::string> texts;
    for (const json& t : typed.is_array() ? typed : json::array()) texts.push_back(t.is_string() ? t.get<std::string>() : "");
    return QuestionAnswered(question, texts);
}

json CheckJson(const ConnectionReport& report) {
    json lines = json::array();
    for (const CheckLine& line : report.lines)
        lines.push_back({{"status", StatusWord(line.status)}, {"text", line.text}, {"fix", line.fix}});
    return {{"lines", lines}, {"radioAnswers", report.radioAnswers}, {"verdict", CheckVerdict(report)},
            {"text", ChecklistText(report) + CheckVerdict(report) + "\n"}};
}

}  // namespace

struct WebSession::Verdict {
    bool ok = false;
    std::string status;
    json problem;  // null, or {title, text}
    std::string report;
    bool documentChanged = false;
    std::string backup;
    std::string image;  // the archive entry with the bytes of a read no settings file can hold
    json check;         // the connection check's report
};

std::string PortRecordName(WebPort port) { return kPortRecordNames[static_cast<int>(port)]; }

std::optional<RunRequest> ParseRunRequest(const std::string& text) {
    const json j = json::parse(text, nullptr, false);
    if (!j.is_object()) return std::nullopt;
    RunRequest r;
    const std::string operation = j.value("operation", "");
    const std::string port = j.value("port", "");
    bool known = false;
    for (const CommandName& c : kCommands)
        if (operation == c.name) r.command = c.command, known = true;
    if (!known) return std::nullopt;
    known = false;
    for (int i = 0; i < 3; ++i)
        if (port == kPortNames[i]) r.port = static_cast<WebPort>(i), known = true;
    if (!known) return std::nullopt;
    r.baudIndex = j.value("baud", kDefaultBaudIndex);
    r.fast = j.value("fast", false);
    r.backUp = j.value("backUp", true);
    r.verifyAfter = j.value("verifyAfter", false);
    r.entry = j.value("entry", "");
    return r;
}

json LinkChoicesJson() {
    json rates = json::array();
    for (const std::uint32_t baud : kBaudTable) rates.push_back(baud);
    json working, ports;
    for (const CommandName& c : kCommands)
        working[c.name] = c.command == WebCommand::Check ? "Checking..." : WorkingText(c.operation);
    for (int i = 0; i < 3; ++i) ports[kPortNames[i]] = kPortRecordNames[i];
    return {{"baudRates", rates},
            {"baudIndex", kDefaultBaudIndex},
            {"usb", {{"vendorId", kUsbVendorId}, {"productId", kUsbProductId}}},
            {"ready", kReadyText},
            {"working", working},
            {"portNames", ports}};
}

WebSession::WebSession(std::string workFolder)
    : workFolder_(std::move(workFolder)),
      document_(workFolder_),
      archives_(workFolder_),
      demoRadio_(MakeDemoUsbRadio()),
      demoDevice_(kUsbVendorId, kUsbProductId),
      usbDevice_(kUsbVendorId, kUsbProductId) {
    demoDevice_.SetBackend(demoRadio_);
    usbDevice_.SetBackend(std::make_shared<WebHidBackend>());
    archives_.SetPersist([] {
        if (CloneBusyEvent.IsSet()) web_persist_archive_now();
        else web_persist_archive_soon();
    });
}

WebSession::~WebSession() = default;

json WebSession::WriteCheck() const {
    const RadioSettings& document = document_.Settings();
    const std::optional<std::string> refusal = WriteRefusal(document);
    const auto warnings = IdentityWarnings(FixedSlotText(document.mmsiId), FixedSlotText(document.atisId),
                                           document.model != kModelUsa);
    return {{"refusal", refusal ? json(*refusal) : json(nullptr)},
            {"warnings", warnings},
            {"title", kIdentityWarningsTitle},
            {"question", kIdentityWarningsQuestion}};
}

CloneJob WebSession::MakeJob(const RunRequest& request, AppState& state, ProgressSink& progress) {
    state = FreshAppState();
    state.modelType = ModelTypeOfDocument(document_.Settings());
    state.baudIndex = request.baudIndex;
    CloneJob job;
    job.state = &state;
    job.progress = &progress;
    job.workDir = workFolder_;
    job.timing.fast = request.fast;
    job.archive = &archives_.Of(request.port == WebPort::Demo);
    job.portName = PortRecordName(request.port);
    if (request.port == WebPort::Serial) {
        state.comPort = 1;
        job.serialDevice = kSerialDevice;
    }
    job.hidDevice = request.port == WebPort::Demo ? &demoDevice_ : &usbDevice_;
    return job;
}

json WebSession::Run(const RunRequest& request) {
    if (CloneBusyEvent.IsSet()) return {{"ok", false}, {"busy", true}};
    CloneStopEvent.Reset();
    CloneBusyEvent.Set();
    AppState state;
    WebProgress progress;
    const CloneJob job = MakeJob(request, state, progress);
    const Verdict v = RunCommand(request, job);
    CloneBusyEvent.Reset();
    return {{"ok", v.ok}, {"status", v.status}, {"problem", v.problem}, {"report", v.report},
            {"documentChanged", v.documentChanged}, {"backup", v.backup}, {"image", v.image}, {"check", v.check}};
}

WebSession::Verdict WebSession::RunCommand(const RunRequest& request, const CloneJob& job) {
    WriteOptions options;
    options.backUpToArchive = request.backUp;
    options.verifyAfter = request.verifyAfter;
    options.confirmIdentityChange = [](const IdentityChanges& changes) {
        return AskedAndAnswered(QuestionOf(changes)) && !CloneStopEvent.IsSet();
    };
    switch (request.command) {
    case WebCommand::Read: {
        auto read = std::make_unique<RadioSettings>();
        const ReadOutcome outcome = RunRead(job, *read);
        return ReadVerdict(outcome, *read);
    }
    case WebCommand::Write: return WriteVerdict(RunWrite(job, document_.Settings(), options), false);
    case WebCommand::Restore: return Restore(request, job, options);
    case WebCommand::Verify: return VerifyVerdict(RunVerify(job, document_.Settings(), LocalReportTime()));
    case WebCommand::Check: return CheckReport(job, request.port == WebPort::Demo);
    case WebCommand::HandShake: break;
    }
    const CloneOutcome outcome = RunHandShake(job);
    Verdict v;
    v.ok = outcome.Ok();
    v.status = v.ok ? kHandShakeOkText : kReadyText;
    if (!v.ok) v.problem = Problem("HandShake Error.", OutcomeText(outcome));
    return v;
}

// The entry's bytes are read again and checked against its record right before they are sent.
WebSession::Verdict WebSession::Restore(const RunRequest& request, const CloneJob& job, const WriteOptions& options) {
    std::string why;
    const auto image = archives_.Image(request.port == WebPort::Demo, request.entry, why);
    if (!image) {
        Verdict v;
        v.status = kReadyText;
        v.problem = Problem(kRestoreErrorTitle, DamagedRestoreText(request.entry, why));
        return v;
    }
    auto copy = std::make_unique<RadioImage>(*image);
    return WriteVerdict(RunRestore(job, *copy, options), true);
}

WebSession::Verdict WebSession::ReadVerdict(const ReadOutcome& outcome, const RadioSettings& read) {
    Verdict v;
    v.ok = outcome.Ok() && !outcome.unloadable;
    if (v.ok) {
        document_.Replace(read, "", true, true);
        v.status = kReadOkText;
        v.documentChanged = true;
        return v;
    }
    v.status = kReadErrorText;
    if (!outcome.unloadable) {
        v.problem = Problem("Read Error", OutcomeText(outcome));
        return v;
    }
    v.image = outcome.archived;
    v.problem = Problem("Read Error", UnloadableReadText(*outcome.unloadable) +
                                          (v.image.empty() ? "The radio's exact bytes could not be kept."
                                                           : "Download Radio Image saves the radio's exact bytes."));
    return v;
}

WebSession::Verdict WebSession::WriteVerdict(const WriteOutcome& outcome, bool restore) const {
    Verdict v;
    v.backup = outcome.archived;
    if (!outcome.Ok()) {
        v.status = kReadyText;
        v.problem = outcome.stage == WriteStage::Check && !outcome.refusal.empty()
                        ? Problem("Error", outcome.refusal)
                        : Problem(restore ? kRestoreErrorTitle : "Write Error",
                                  WriteFailureText(outcome.stage, outcome, kRestoreHint));
        return v;
    }
    v.ok = true;
    v.status = restore ? kRestoreOkText : kWriteOkText;
    if (outcome.readBack) {
        const ReadBackWords words = ReadBackWordsOf(*outcome.readBack, v.status.c_str());
        v.status = words.status;
        if (!words.problemTitle.empty()) {
            v.ok = false;
            v.problem = Problem(words.problemTitle, words.problemText);
        }
    }
    if (!outcome.archived.empty()) v.status += "\nBackup: " + outcome.archived;
    return v;
}

WebSession::Verdict WebSession::VerifyVerdict(const VerifyOutcome& outcome) const {
    Verdict v;
    if (!outcome.Ok()) {
        v.status = outcome.result == kResultUserCancel ? ResultText(kResultUserCancel) : kVerifyErrorText;
        if (outcome.result != kResultUserCancel) v.problem = Problem("Verify Error", OutcomeText(outcome));
        return v;
    }
    v.ok = outcome.flags == 0;
    v.status = v.ok ? kVerifyOkText : kVerifyErrorText;
    v.report = outcome.report;
    return v;
}

WebSession::Verdict WebSession::CheckReport(const CloneJob& job, bool demo) const {
    const ConnectionReport report = CheckConnection(job, {}, !demo);
    Verdict v;
    v.ok = report.radioAnswers;
    v.status = ::orven::CheckVerdict(report);
    v.check = CheckJson(report);
    return v;
}

}  // namespace orven::web
