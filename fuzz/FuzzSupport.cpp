#include "fuzz/FuzzSupport.h"

#include "files/SettingsJson.h"
#include "cli/ShowText.h"
#include "files/FreqReport.h"
#include "files/VerifyReport.h"
#include "model/ChannelList.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace orven::fuzz {

std::string ScratchFile(const char* name, const std::uint8_t* data, std::size_t size) {
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    const std::string path = std::string(dir) + "/orven-fuzz-" + std::to_string(getpid()) + "-" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void RenderEverything(const RadioSettings& s) {
    const ReportTime time{2026, 12, 6, 10, 41};
    if (cli::SettingsShowText(s).empty()) Fail("show text is empty");
    const std::string json = SettingsToJson(s).dump();
    if (json.empty()) Fail("JSON is empty");
    for (int b = 0; b < kBandCount; ++b) ChannelListLines(s, static_cast<ChannelBand>(b));
    if (FrequencyReportText(s, time).rfind("Date:2026.12.6", 0) != 0) Fail("report does not start with its date");
    RadioSettings other;
    LoadDefaults(other, kModelEurInt);
    std::string verify;
    const std::int32_t flags = CompareSettings(s, other, time, verify);
    if (flags & ~(kDiffPrivate | kDiffBandOrStep | kDiffIdentity)) Fail("verify flags outside their bits");
    std::string same;
    if (CompareSettings(s, s, time, same) & kDiffBandOrStep) Fail("a document differs from itself in bands");
}

}  // namespace orven::fuzz
