// Any text as a JSON document for `from-json`: refused with a message, or accepted as a
// document that passes the settings file check and survives its own JSON round trip.
#include "files/SettingsJson.h"
#include "files/SettingsFile.h"
#include "fuzz/FuzzSupport.h"

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orven;
    const nlohmann::json doc = nlohmann::json::parse(data, data + size, nullptr, false);
    if (doc.is_discarded()) return 0;
    auto settings = std::make_unique<RadioSettings>();
    std::string error;
    if (!SettingsFromJson(doc, *settings, error)) {
        if (error.empty()) fuzz::Fail("refused without a message");
        return 0;
    }
    if (!SettingsPassCheck(*settings)) fuzz::Fail("accepted a document the file check refuses");
    auto again = std::make_unique<RadioSettings>();
    if (!SettingsFromJson(SettingsToJson(*settings), *again, error)) fuzz::Fail("own JSON refused");
    if (std::memcmp(settings.get(), again.get(), sizeof(RadioSettings)) != 0) fuzz::Fail("JSON round trip changed bytes");
    fuzz::RenderEverything(*settings);
    return 0;
}
