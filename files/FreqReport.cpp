#include "files/FreqReport.h"

#include "files/AtomicFile.h"
#include "model/LineFormat.h"

#include <cstdint>
#include <string_view>

namespace orven {

namespace {

constexpr const char* kColumnHeading = "Channel   Name\t TxFreq\t\t RxFreq  \n";
constexpr int kLabelColumnWidth = 3;
constexpr int kNameColumnWidth = 15;

std::string FlagWords(const ChannelRecord& r) {
    if (r.rxOnly) return "RxOnly  ";
    std::string words;
    if (r.lowPower) {
        words += "1W";
        if (r.pttHigh) words += "PTTHI";
    } else if (r.atis1W) {
        words += "1WATIS";
    }
    if (r.atisRx) words += "RxATIS";
    return words;
}

void AppendChannels(std::string& out, const RadioSettings& s, ReportSlotRange range) {
    for (std::size_t i = range.first; i < range.first + range.count; ++i) {
        if (s.channels[i].inUse == 0) break;
        out += FrequencyReportLine(s.channels[i]);
    }
}

void AppendSection(std::string& out, const RadioSettings& s, std::uint32_t bandOn,
                   const char* heading, ReportSlotRange range) {
    if (!bandOn) return;
    out += FormatLine("\n%s\n", heading);
    AppendChannels(out, s, range);
}

}  // namespace

std::string FrequencyReportLine(const ChannelRecord& r) {
    const std::string_view label = FixedSlotText(r.label);
    std::string name = ", ";
    name += FixedSlotText(r.usageText);
    std::string line =
        FormatLine("%-*.*s%-*s,%9.4f,%9.4f,   ", kLabelColumnWidth, static_cast<int>(label.size()),
                   label.data(), kNameColumnWidth, name.c_str(), r.txMHz, r.rxMHz);
    line += FlagWords(r);
    line += '\n';
    return line;
}

std::string FrequencyReportText(const RadioSettings& s, const ReportTime& time) {
    std::string out = ReportDateLine(time);
    out += '\n';
    out += kColumnHeading;
    out += "INT\n";
    AppendChannels(out, s, kReportIntSlots);
    AppendChannels(out, s, kReportPrivateSlots);
    AppendSection(out, s, s.bandUSA, "USA", kReportUsaSlots);
    AppendSection(out, s, s.bandCAN, "CAN", kReportCanSlots);
    AppendSection(out, s, s.bandWX, "WX", kReportWxSlots);
    return out;
}

bool WriteFrequencyReport(const std::string& path, const RadioSettings& settings,
                          const ReportTime& time) {
    return WriteFileAtomically(path, std::string_view(FrequencyReportText(settings, time)));
}

}  // namespace orven
