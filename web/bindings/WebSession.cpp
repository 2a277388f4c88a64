#include "web/bindings/WebSession.h"

#include "web/bindings/WebHidBackend.h"
#include "web/bindings/WebProgress.h"

#include "clone/CloneEvent.h"
#include "clone/CloneResult.h"
#include "files/FileRead.h"
#include "files/ReportTime.h"
#include "files/SettingsFile.h"
#include "files/SettingsJson.h"
#include "model/ChannelList.h"
#include "model/IdentityRules.h"
#include "model/MarineIdentity.h"
#include "model/LineFormat.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedHidBackend.h"

#include <emscripten.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace orven::web {

namespace {

using json = nlohmann::ordered_json;  // keeps the order the document lists its keys in

// The JSON text of an answer. A radio's or a file's bytes that are not UTF-8 (an erased serial
// number, a label of odd bytes) are replaced, never thrown over: a throw would leave the page
// waiting for an answer that never comes.
std::string Dumped(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

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

const char* const kOperationNames[] = {"", "write", "read", "verify", "handshake"};
const char* const kPortNames[] = {"serial", "usb", "demo"};
// What the archive and the log call each port.
const char* const kPortRecordNames[] = {"Web Serial", "USB", "Demo radio"};

// The device the serial engine is told to open: the port is the one the page chose, so the name
// only sends the engine to the serial line.
constexpr const char* kSerialDevice = "web-serial";

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

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    const FileRead read = ReadFileStart(path, bytes);
    if (read.status != FileReadStatus::Ok || read.bytes != size || read.more) return std::nullopt;
    return bytes;
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
};

std::optional<RunRequest> ParseRunRequest(const std::string& text) {
    const json j = json::parse(text, nullptr, false);
    if (!j.is_object()) return std::nullopt;
    RunRequest r;
    const std::string operation = j.value("operation", "");
    const std::string port = j.value("port", "");
    bool known = false;
    for (int i = 1; i < 5; ++i)
        if (operation == kOperationNames[i]) r.operation = static_cast<CloneOperation>(i), known = true;
    if (!known) return std::nullopt;
    known = false;
    for (int i = 0; i < 3; ++i)
        if (port == kPortNames[i]) r.port = static_cast<WebPort>(i), known = true;
    if (!known) return std::nullopt;
    r.baudIndex = j.value("baud", kDefaultBaudIndex);
    r.fast = j.value("fast", false);
    r.backUp = j.value("backUp", true);
    r.verifyAfter = j.value("verifyAfter", false);
    return r;
}

WebSession::WebSession(std::string workFolder)
    : workFolder_(std::move(workFolder)),
      document_(std::make_unique<RadioSettings>()),
      archive_(workFolder_ + "/archive"),
      demoRadio_(MakeDemoUsbRadio()),
      demoDevice_(kUsbVendorId, kUsbProductId),
      usbDevice_(kUsbVendorId, kUsbProductId) {
    LoadDefaults(*document_, kModelUsa);
    demoDevice_.SetBackend(demoRadio_);
    usbDevice_.SetBackend(std::make_shared<WebHidBackend>());
}

WebSession::~WebSession() = default;

std::string WebSession::DocumentJson() const {
    std::array<bool, kBandCount> ticked{};
    for (int b = 0; b < kBandCount; ++b) ticked[b] = BandFlag(*document_, static_cast<ChannelBand>(b)) != 0;
    const auto mmsi = DecodeMmsi(FixedSlotText(document_->mmsiId));
    const auto atis = DecodeAtis(FixedSlotText(document_->atisId));
    return Dumped(json{{"document", SettingsToJson(*document_)},
                       {"name", name_},
                       {"bands", BandComboEntries(ticked)},
                       {"decoded", {{"mmsi", mmsi ? DescribeMmsi(*mmsi) : ""}, {"atis", atis ? DescribeAtis(*atis) : ""}}},
                       {"warnings", IdentityWarnings(FixedSlotText(document_->mmsiId), FixedSlotText(document_->atisId),
                                                     document_->model != kModelUsa)}});
}

std::string LinkChoicesJson() {
    json rates = json::array();
    for (const std::uint32_t baud : kBaudTable) rates.push_back(baud);
    json working;
    for (int i = 1; i < 5; ++i) working[kOperationNames[i]] = WorkingText(static_cast<CloneOperation>(i));
    return Dumped(json{{"baudRates", rates},
                       {"baudIndex", kDefaultBaudIndex},
                       {"usb", {{"vendorId", kUsbVendorId}, {"productId", kUsbProductId}}},
                       {"ready", kReadyText},
                       {"working", working}});
}

std::string WebSession::ChannelListJson(const std::string& bandEntry) const {
    const ChannelBand band = BandOfName(bandEntry);
    return Dumped(json{{"band", std::string(NameOfBand(band))}, {"lines", ChannelListLines(*document_, band)}});
}

std::string WebSession::Open(const std::vector<std::uint8_t>& bytes, const std::string& name) {
    const std::string path = workFolder_ + "/opened.dat";
    auto opened = std::make_unique<RadioSettings>();
    const CloneResult result = WriteFileBytes(path, bytes) ? LoadSettingsFile(path, *opened) : kResultFileRead;
    std::remove(path.c_str());
    if (result != kResultOk)
        return Dumped(
            json{{"ok", false}, {"status", ResultText(result)}, {"problem", Problem("Error", ResultText(result))}});
    *document_ = *opened;
    name_ = name;
    return Dumped(json{{"ok", true}, {"status", kOpenFileOkText}, {"problem", nullptr}});
}

std::optional<std::vector<std::uint8_t>> WebSession::Save(std::string& error) const {
    const std::string path = workFolder_ + "/saved.dat";
    const CloneResult result = SaveSettingsFile(path, *document_);
    auto bytes = result == kResultOk ? ReadFileBytes(path, kSettingsFileSize) : std::nullopt;
    std::remove(path.c_str());
    if (!bytes) error = ResultText(result == kResultOk ? kResultFileRead : result);
    return bytes;
}

std::string WebSession::WriteCheckJson() const {
    const std::optional<std::string> refusal = WriteRefusal(*document_);
    const auto warnings = IdentityWarnings(FixedSlotText(document_->mmsiId), FixedSlotText(document_->atisId),
                                           document_->model != kModelUsa);
    return Dumped(json{{"refusal", refusal ? json(*refusal) : json(nullptr)},
                       {"warnings", warnings},
                       {"title", kIdentityWarningsTitle},
                       {"question", kIdentityWarningsQuestion}});
}

CloneJob WebSession::MakeJob(const RunRequest& request, AppState& state, ProgressSink& progress) {
    state = FreshAppState();
    state.modelType = ModelTypeOfDocument(*document_);
    state.baudIndex = request.baudIndex;
    CloneJob job;
    job.state = &state;
    job.progress = &progress;
    job.workDir = workFolder_;
    job.timing.fast = request.fast;
    job.archive = &archive_;
    job.portName = kPortRecordNames[static_cast<int>(request.port)];
    if (request.port == WebPort::Serial) {
        state.comPort = 1;
        job.serialDevice = kSerialDevice;
    }
    job.hidDevice = request.port == WebPort::Demo ? &demoDevice_ : &usbDevice_;
    return job;
}

std::string WebSession::Run(const RunRequest& request) {
    if (CloneBusyEvent.IsSet()) return Dumped(json{{"ok", false}, {"busy", true}});
    CloneStopEvent.Reset();
    CloneBusyEvent.Set();
    AppState state;
    WebProgress progress;
    const CloneJob job = MakeJob(request, state, progress);
    const Verdict v = RunOperation(request, job);
    CloneBusyEvent.Reset();
    return Dumped(json{{"ok", v.ok}, {"status", v.status}, {"problem", v.problem}, {"report", v.report},
                       {"documentChanged", v.documentChanged}, {"backup", v.backup}, {"image", v.image}});
}

WebSession::Verdict WebSession::RunOperation(const RunRequest& request, const CloneJob& job) {
    switch (request.operation) {
    case CloneOperation::Read: {
        auto read = std::make_unique<RadioSettings>();
        const ReadOutcome outcome = RunRead(job, *read);
        return ReadVerdict(outcome, *read);
    }
    case CloneOperation::Write: {
        WriteOptions options;
        options.backUpToArchive = request.backUp;
        options.verifyAfter = request.verifyAfter;
        options.confirmIdentityChange = [](const IdentityChanges& changes) {
            return AskedAndAnswered(QuestionOf(changes)) && !CloneStopEvent.IsSet();
        };
        return WriteVerdict(RunWrite(job, *document_, options));
    }
    case CloneOperation::Verify: return VerifyVerdict(RunVerify(job, *document_, LocalReportTime()));
    default: {
        const CloneOutcome outcome = RunHandShake(job);
        Verdict v;
        v.ok = outcome.Ok();
        v.status = v.ok ? kHandShakeOkText : kReadyText;
        if (!v.ok) v.problem = Problem("HandShake Error.", OutcomeText(outcome));
        return v;
    }
    }
}

WebSession::Verdict WebSession::ReadVerdict(const ReadOutcome& outcome, const RadioSettings& read) {
    Verdict v;
    v.ok = outcome.Ok() && !outcome.unloadable;
    if (v.ok) {
        *document_ = read;
        name_.clear();
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

WebSession::Verdict WebSession::WriteVerdict(const WriteOutcome& outcome) const {
    Verdict v;
    v.backup = outcome.archived;
    if (!outcome.Ok()) {
        v.status = kReadyText;
        v.problem = outcome.stage == WriteStage::Check && !outcome.refusal.empty()
                        ? Problem("Error", outcome.refusal)
                        : Problem("Write Error", WriteFailureText(outcome.stage, outcome, "Download Backup saves it as a settings file."));
        return v;
    }
    v.ok = true;
    v.status = kWriteOkText;
    if (outcome.readBack) {
        const ReadBackWords words = ReadBackWordsOf(*outcome.readBack, kWriteOkText);
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

std::optional<std::vector<std::uint8_t>> WebSession::ArchivedImage(const std::string& id) const {
    const std::optional<ArchiveEntry> entry = archive_.Find(id);
    auto image = std::make_unique<RadioImage>();
    std::string why;
    if (!entry || !archive_.LoadImage(*entry, *image, why)) return std::nullopt;
    return std::vector<std::uint8_t>(image->begin(), image->end());
}

std::optional<std::vector<std::uint8_t>> WebSession::ArchivedSettings(const std::string& id) const {
    const std::optional<ArchiveEntry> entry = archive_.Find(id);
    if (!entry) return std::nullopt;
    const std::string path = SettingsFileOf(*entry);
    return path.empty() ? std::nullopt : ReadFileBytes(path, kSettingsFileSize);
}

}  // namespace orven::web
