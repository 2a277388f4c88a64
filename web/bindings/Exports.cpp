// The functions the page calls (Module.ccall). Texts go out as JSON, valid until the next call;
// bytes go out through a buffer the page copies at once. One session per page.
//
// While orven_run waits (its stack unwound, to be rewound when the browser has answered), only
// orven_stop may be called, and straight (Module._orven_stop), not through ccall: the command's
// stack and its completion wait in the module, and another call could disturb either.
#include "web/bindings/WebSession.h"

#include "clone/CloneEvent.h"

#include <emscripten.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

namespace {

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
std::vector<std::uint8_t> bytesOut;

const char* Answer(std::string text) {
    answer = std::move(text);
    return answer.c_str();
}

// {"ok": true, "size": n} with the bytes in the buffer, or {"ok": false, "problem": text}.
const char* BytesAnswer(std::optional<std::vector<std::uint8_t>> bytes, const std::string& problem) {
    if (!bytes) return Answer(nlohmann::json{{"ok", false}, {"problem", problem}}.dump());
    bytesOut = std::move(*bytes);
    return Answer(nlohmann::json{{"ok", true}, {"size", bytesOut.size()}}.dump());
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* orven_document() { return Answer(Session().DocumentJson()); }

EMSCRIPTEN_KEEPALIVE const char* orven_link_choices() { return Answer(orven::web::LinkChoicesJson()); }

EMSCRIPTEN_KEEPALIVE const char* orven_channel_list(const char* bandEntry) {
    return Answer(Session().ChannelListJson(bandEntry));
}

EMSCRIPTEN_KEEPALIVE int orven_open_bytes_needed() { return static_cast<int>(WebSession::kOpenBytesNeeded); }

EMSCRIPTEN_KEEPALIVE const char* orven_open(const std::uint8_t* bytes, int length, const char* name) {
    return Answer(Session().Open(std::vector<std::uint8_t>(bytes, bytes + length), name));
}

EMSCRIPTEN_KEEPALIVE const char* orven_save() {
    std::string error;
    auto bytes = Session().Save(error);
    return BytesAnswer(std::move(bytes), error);
}

EMSCRIPTEN_KEEPALIVE const char* orven_archived_settings(const char* id) {
    return BytesAnswer(Session().ArchivedSettings(id), "The backup keeps no settings file.");
}

EMSCRIPTEN_KEEPALIVE const char* orven_archived_image(const char* id) {
    return BytesAnswer(Session().ArchivedImage(id), "The radio's bytes could not be read.");
}

EMSCRIPTEN_KEEPALIVE const std::uint8_t* orven_bytes() { return bytesOut.data(); }

EMSCRIPTEN_KEEPALIVE const char* orven_write_check() { return Answer(Session().WriteCheckJson()); }

// Runs a clone command; the page calls it as an async ccall and awaits the answer.
EMSCRIPTEN_KEEPALIVE const char* orven_run(const char* request) {
    const auto parsed = orven::web::ParseRunRequest(request);
    if (!parsed) return Answer(R"({"ok":false,"problem":{"title":"Error","text":"unknown clone command"}})");
    std::string verdict = Session().Run(*parsed);
    return Answer(std::move(verdict));
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
