// Any text as a spreadsheet of private channels: refused with every problem named and the
// document untouched, or taken as channels that pass the settings file check and come back out
// and in again as the same bytes.
#include "files/ChannelCsv.h"
#include "fuzz/FuzzSupport.h"
#include "model/ModelPresets.h"
#include "model/SettingsRules.h"

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orven;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto before = std::make_unique<RadioSettings>();
    BuildModelDocument(*before, kModelEurInt, size > 0 ? data[0] % 8 : 0);
    auto settings = std::make_unique<RadioSettings>(*before);
    const CsvImportMode mode = size > 1 && data[1] % 2 ? CsvImportMode::Append : CsvImportMode::Replace;
    const CsvImportResult result = ImportChannelsCsv(text, mode, *settings);
    if (!result.problems.empty()) {
        if (std::memcmp(before.get(), settings.get(), sizeof(RadioSettings)) != 0) fuzz::Fail("a refused file changed the document");
        for (const CsvProblem& p : result.problems)
            if (p.why.empty()) fuzz::Fail("a problem without a reason");
        return 0;
    }
    if (!SettingsPassCheck(*settings)) fuzz::Fail("accepted channels the file check refuses");
    if (PrivateChannelCount(*settings) > kMaxPrivateChannels) fuzz::Fail("more than 100 channels");
    for (const char separator : {',', ';'}) {
        auto again = std::make_unique<RadioSettings>(*settings);
        if (!ImportChannelsCsv(ChannelsToCsv(*settings, separator), CsvImportMode::Replace, *again, true).problems.empty())
            fuzz::Fail("own export refused");
        if (std::memcmp(settings.get(), again.get(), sizeof(RadioSettings)) != 0) fuzz::Fail("export and import changed bytes");
    }
    fuzz::RenderEverything(*settings);
    return 0;
}
