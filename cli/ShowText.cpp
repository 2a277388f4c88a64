#include "cli/ShowText.h"

#include "cli/CliSupport.h"
#include "model/ChannelBand.h"
#include "model/LineFormat.h"
#include "model/MarineIdentity.h"
#include "model/UsageNameTable.h"

#include <cstdio>
#include <string_view>

namespace orven::cli {

namespace {

const char* OnOff(std::uint32_t flag) { return flag ? "on" : "off"; }

// A text slot of the document as printed: whatever bytes a file holds, nothing reaches the
// terminal that could steer it.
template <std::size_t N>
std::string Printable(const char (&slot)[N]) { return PrintableText(FixedSlotText(slot)); }

void Line(std::string& out, const char* name, const std::string& value) {
    char head[24];
    std::snprintf(head, sizeof head, "%-18s", name);
    out += head;
    out += value;
    out += '\n';
}

std::string ModelText(std::int32_t model) {
    switch (model) {
    case kModelUsa: return "USA (0)";
    case kModelEurInt: return "EUR (INT) (1)";
    case kModelEurIntUsa: return "EUR (INT,USA) (2)";
    default: return "Europe (" + std::to_string(model) + ")";
    }
}

std::string BandsText(const RadioSettings& s) {
    std::string text;
    for (int b = 0; b < kBandCount; ++b) {
        const auto band = static_cast<ChannelBand>(b);
        if (!BandFlag(s, band)) continue;
        if (!text.empty()) text += ' ';
        text += NameOfBand(band);
    }
    return text.empty() ? "(none)" : text;
}

std::string FlagsText(const ChannelRecord& r) {
    std::string flags;
    auto add = [&](std::uint32_t f, const char* name) {
        if (!f) return;
        if (!flags.empty()) flags += ',';
        flags += name;
    };
    add(r.lowPower, "1W");
    add(r.rxOnly, "RxOnly");
    add(r.atis1W, "1WATIS");
    add(r.atisRx, "RxATIS");
    add(r.pttHigh, "PTTHI");
    return flags;
}

std::string ChannelTable(const RadioSettings& s) {
    const std::size_t count = PrivateChannelCount(s);
    std::string out = "Private channels  " + std::to_string(count) + "\n";
    if (count == 0) return out;
    char head[96];
    std::snprintf(head, sizeof head, "  %3s  %-5s  %-16s  %9s  %9s  %s\n", "No", "Label", "Usage", "TX MHz", "RX MHz",
                  "Flags");
    out += head;
    for (std::size_t i = 0; i < count; ++i) {
        const ChannelRecord& r = PrivateChannel(s, i);
        char line[160];
        std::snprintf(line, sizeof line, "  %3zu  %-5s  %s  %9.4f  %9.4f  %s\n", i + 1, Printable(r.label).c_str(),
                      std::string(UsageName(r.usage)).c_str(), r.txMHz, r.rxMHz, FlagsText(r).c_str());
        out += line;
    }
    return out;
}

}  // namespace

std::string SettingsShowText(const RadioSettings& s) {
    std::string out;
    Line(out, "Model", ModelText(s.model));
    Line(out, "Bands", BandsText(s));
    Line(out, "TX PLL step", StepName(s.txStepIndex));
    Line(out, "RX PLL step", StepName(s.rxStepIndex));
    Line(out, "RX mid freq", kRxMidNames[s.rxMidIndex ? 1 : 0]);
    Line(out, "MMSI", Printable(s.mmsiId) + "  (entry by user: " + OnOff(s.mmsiByUser) + ")");
    if (const auto mmsi = DecodeMmsi(FixedSlotText(s.mmsiId))) Line(out, "", DescribeMmsi(*mmsi));
    Line(out, "ATIS", Printable(s.atisId) + "  (entry by user: " + OnOff(s.atisByUser) + ")");
    if (const auto atis = DecodeAtis(FixedSlotText(s.atisId))) Line(out, "", DescribeAtis(*atis));
    Line(out, "NMEA2000", Printable(s.nmeaNo));
    Line(out, "Serial number", Printable(s.serialNo));
    Line(out, "Brand name", Printable(s.brandName));
    Line(out, "Model name", Printable(s.modelName));
    out += ChannelTable(s);
    return out;
}

}  // namespace orven::cli
