// The functions the page calls (Module.ccall). One session per page.
//
// orven_call(name, args) answers one request of the table below at once: args and the answer are
// JSON texts, the answer valid until the next call. Bytes go in through orven_input before the call
// that takes them, and come out through a buffer (orven_bytes) that the page copies at once; such
// an answer is {"ok": true, "size": n, "name": a file name} or {"ok": false, "problem": text}.
//
// orven_run(request) runs a clone command or the connection check; the page calls it as an async
// ccall and awaits the answer. While it waits (its stack unwound, to be rewound when the browser
// has answered), only orven_stop may be called, and straight (Module._orven_stop), not through
// ccall: the command's stack and its completion wait in the module, and another call could
// disturb either.
#include "web/bindings/WebSession.h"

#include "clone/CloneEvent.h"
#include "files/ChannelCsv.h"

#include <emscripten.h>

#include <functional>
#include <map>
#include <sys/stat.h>

namespace {

using orven::web::Bytes;
using orven::web::json;
using orven::web::WebSession;

constexpr const char* kWorkFolder = "/orven";

WebSession& Session() {
    static WebSession* session = [] {
        ::mkdir(kWorkFolder, 0700);
        return new WebSession(kWorkFolder);
    }();
    return *session;
}

std::string answer;
Bytes bytesIn;
Bytes bytesOut;

const char* Answer(std::string text) {
    answer = std::move(text);
    return answer.c_str();
}

// A file made, with its name and the status line to show once it is handed over; or the problem.
json BytesAnswer(std::optional<Bytes> bytes, const std::string& name, const std::string& problem,
                 const std::string& status = "") {
    if (!bytes) return {{"ok", false}, {"problem", problem}};
    bytesOut = std::move(*bytes);
    return {{"ok", true}, {"size", bytesOut.size()}, {"name", name}, {"status", status}};
}

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

bool Demo(const json& args) { return args.value("demo", false); }
std::string Id(const json& args) { return args.value("id", ""); }

using Call = std::function<json(WebSession&, const json&)>;

const std::map<std::string, Call>& Calls() {
    static const std::map<std::string, Call> calls = {
        {"linkChoices", [](WebSession&, const json&) { return orven::web::LinkChoicesJson(); }},
        {"document", [](WebSession& s, const json&) { return s.Document().View(); }},
        {"edit", [](WebSession& s, const json& a) { return s.Document().Edit(a); }},
        {"heldIdentity", [](WebSession& s, const json& a) { return s.Document().HeldIdentity(a); }},
        {"fieldRefusal", [](WebSession& s, const json& a) { return s.Document().FieldRefusal(a); }},
        {"step", [](WebSession& s, const json& a) { return s.Document().Step(a); }},
        {"dropQuestion", [](WebSession& s, const json&) { return s.Document().DropQuestion(); }},
        {"openBytesNeeded", [](WebSession&, const json&) { return json{{"bytes", orven::web::WebDocument::kOpenBytesNeeded}}; }},
        {"csvBytesNeeded", [](WebSession&, const json&) { return json{{"bytes", orven::web::WebDocument::kCsvBytesNeeded}}; }},
        {"open", [](WebSession& s, const json& a) { return s.Document().Open(bytesIn, a.value("name", "")); }},
        {"save",
         [](WebSession& s, const json&) {
             std::string name, error;
             auto bytes = s.Document().Save(name, error);
             return BytesAnswer(std::move(bytes), name, error);
         }},
        {"writeCheck", [](WebSession& s, const json&) { return s.WriteCheck(); }},
        {"channelList", [](WebSession& s, const json& a) { return s.Document().ChannelList(a); }},
        {"channelAction", [](WebSession& s, const json& a) { return s.Document().ChannelAction(a); }},
        {"channelForm", [](WebSession& s, const json& a) { return s.Document().ChannelFormUpdate(a); }},
        {"channelApply", [](WebSession& s, const json& a) { return s.Document().ChannelApply(a); }},
        {"wizard", [](WebSession& s, const json& a) { return s.Document().Wizard(a); }},
        {"loadDefault", [](WebSession& s, const json& a) { return s.Document().LoadDefault(a); }},
        {"feature", [](WebSession& s, const json&) { return s.Document().Feature(); }},
        {"featureApply", [](WebSession& s, const json& a) { return s.Document().FeatureApply(a); }},
        {"checksum", [](WebSession& s, const json&) { return s.Document().Checksum(); }},
        {"freqReport",
         [](WebSession& s, const json&) { return BytesAnswer(TextBytes(s.Document().FrequencyReport()), "FreqTabl.txt", ""); }},
        {"exportCsv",
         [](WebSession& s, const json&) {
             std::string name;
             const std::string text = s.Document().ExportCsv(name);
             return BytesAnswer(TextBytes(text), name, "", orven::kCsvExportOkText);
         }},
        {"csvChosen", [](WebSession& s, const json& a) { return s.Document().CsvChosen(bytesIn, a); }},
        {"csvImport", [](WebSession& s, const json& a) { return s.Document().CsvImport(a); }},
        {"archiveList", [](WebSession& s, const json& a) { return s.Archives().List(Demo(a)); }},
        {"archiveOpen", [](WebSession& s, const json& a) { return s.Archives().Open(Demo(a), Id(a), s.Document()); }},
        {"restoreQuestion",
         [](WebSession& s, const json& a) { return s.Archives().RestoreQuestion(Demo(a), Id(a), a.value("port", "")); }},
        {"archivedSettings",
         [](WebSession& s, const json& a) {
             return BytesAnswer(s.Archives().SettingsFile(Demo(a), Id(a)), "", "The entry keeps no settings file.");
         }},
        {"archivedImage",
         [](WebSession& s, const json& a) {
             std::string why;
             auto image = s.Archives().Image(Demo(a), Id(a), why);
             return BytesAnswer(image ? std::optional<Bytes>(Bytes(image->begin(), image->end())) : std::nullopt, "", why);
         }},
        {"archiveLog", [](WebSession& s, const json& a) { return s.Archives().Log(Demo(a)); }},
        {"archiveLogFile",
         [](WebSession& s, const json& a) { return BytesAnswer(s.Archives().LogFile(Demo(a)), "programming.log", ""); }},
        {"archiveExport",
         [](WebSession& s, const json& a) {
             std::string name;
             Bytes zip = s.Archives().Export(Demo(a), name);
             return BytesAnswer(std::move(zip), name, "");
         }},
        {"archiveImport", [](WebSession& s, const json& a) { return s.Archives().Import(Demo(a), bytesIn); }},
    };
    return calls;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* orven_call(const char* name, const char* args) {
    const auto call = Calls().find(name);
    json parsed = json::parse(args ? args : "", nullptr, false);
    if (!parsed.is_object()) parsed = json::object();
    const json result = call == Calls().end() ? json{{"problem", std::string("no such call: ") + name}}
                                              : call->second(Session(), parsed);
    bytesIn.clear();
    return Answer(orven::web::Dumped(result));
}

// Bytes for the next call that takes them (open, csvChosen, archiveImport).
EMSCRIPTEN_KEEPALIVE void orven_input(const std::uint8_t* bytes, int length) {
    bytesIn.assign(bytes, bytes + length);
}

EMSCRIPTEN_KEEPALIVE const std::uint8_t* orven_bytes() { return bytesOut.data(); }

// Runs a clone command or the connection check; the page calls it as an async ccall and awaits it.
EMSCRIPTEN_KEEPALIVE const char* orven_run(const char* request) {
    const auto parsed = orven::web::ParseRunRequest(request);
    if (!parsed) return Answer(R"({"ok":false,"problem":{"title":"Error","text":"unknown clone command"}})");
    return Answer(orven::web::Dumped(Session().Run(*parsed)));
}

// Takes no argument and keeps nothing on the stack, so it may be called while a command waits.
EMSCRIPTEN_KEEPALIVE void orven_stop() { orven::CloneStopEvent.Set(); }

}  // extern "C"

int main() {
    // Both events start out set; the first command finds them cleared, as the programs' start-up leaves them.
    orven::CloneStopEvent.Reset();
    orven::CloneBusyEvent.Reset();
    return 0;
}
