// Any bytes as a settings file: the load check decides, and whatever passes renders safely.
#include "files/SettingsFile.h"
#include "fuzz/FuzzSupport.h"

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orven;
    const std::string path = fuzz::ScratchFile("settings.dat", data, size);
    auto settings = std::make_unique<RadioSettings>();
    LoadDefaults(*settings, kModelUsa);
    const auto before = std::make_unique<RadioSettings>(*settings);
    const CloneResult result = LoadSettingsFile(path, *settings);
    if (result != kResultOk) {
        if (std::memcmp(settings.get(), before.get(), sizeof(RadioSettings)) != 0)
            fuzz::Fail("a refused file changed the document");
        return 0;
    }
    if (size != sizeof(RadioSettings)) fuzz::Fail("a file of the wrong size was accepted");
    fuzz::RenderEverything(*settings);
    return 0;
}
