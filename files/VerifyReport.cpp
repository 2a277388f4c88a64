#include "files/VerifyReport.h"

#include "files/AtomicFile.h"
#include "model/LineFormat.h"
#include "model/RadioIdentities.h"

#include <cmath>

namespace orven {

namespace {

bool FrequenciesDiffer(double a, double b) { return std::fabs(a - b) > kFreqMatchToleranceMHz; }

// The one flag checked for a channel that both sides hold.
int FlagCode(const ChannelRecord& radio, const ChannelRecord& pc) {
    if (radio.rxOnly) return pc.rxOnly != radio.rxOnly ? kChannelRxOnlyDiffers : kChannelEqual;
    if (radio.lowPower) return pc.lowPower != radio.lowPower ? kChannelLowPowerDiffers : kChannelEqual;
    return kChannelEqual;
}

bool PrivateChannelsDiffer(const RadioSettings& pc, const RadioSettings& radio) {
    for (std::size_t i = 0; i < kMaxPrivateChannels; ++i) {
        const ChannelRecord& r = PrivateChannel(radio, i);
        const ChannelRecord& p = PrivateChannel(pc, i);
        if (r.inUse == 0 && p.inUse == 0) return false;
        if (CompareChannelRecord(r, p) != kChannelEqual) return true;
    }
    return false;
}

void AppendPrivateList(std::string& out, const RadioSettings& s) {
    for (std::size_t i = 0; i < kMaxPrivateChannels; ++i) {
        const ChannelRecord& r = PrivateChannel(s, i);
        if (r.inUse == 0) break;
        const std::string_view label = FixedSlotText(r.label);
        out += FormatLine("%.*s,%d,%8.4f,%8.4f,%08x\n", static_cast<int>(label.size()), label.data(),
                          static_cast<int>(r.usage), r.txMHz, r.rxMHz, r.inUse);
    }
}

int AsSigned(std::uint32_t flag) { return static_cast<int>(static_cast<std::int32_t>(flag)); }

// The narrow-band names are longer and take one tab where the others take two.
struct BandRow {
    const char* name;
    const char* gap;
    std::uint32_t RadioSettings::*flag;
};
constexpr BandRow kBandRows[] = {
    {"USA", "\t\t", &RadioSettings::bandUSA},
    {"INT", "\t\t", &RadioSettings::bandINT},
    {"CAN", "\t\t", &RadioSettings::bandCAN},
    {"PRI", "\t\t", &RadioSettings::bandPrivate},
    {"USANAR", "\t", &RadioSettings::bandUSANarrow},
    {"INTNAR", "\t", &RadioSettings::bandINTNarrow},
    {"CANNAR", "\t", &RadioSettings::bandCANNarrow},
    {"WX", "\t\t", &RadioSettings::bandWX},
};

std::int32_t AppendBands(std::string& out, const RadioSettings& pc, const RadioSettings& radio) {
    std::int32_t flags = 0;
    out += "\n\nRadio,\t\tPC";
    for (const BandRow& row : kBandRows) {
        const std::uint32_t r = radio.*row.flag;
        const std::uint32_t p = pc.*row.flag;
        if (r != p) flags = kDiffBandOrStep;
        out += FormatLine("\n%s=%d,%s%d", row.name, AsSigned(r), row.gap, AsSigned(p));
    }
    return flags;
}

std::int32_t AppendSteps(std::string& out, const RadioSettings& pc, const RadioSettings& radio) {
    out += FormatLine("\nTxFreqStep=%d,\t%d", radio.txStepIndex, pc.txStepIndex);
    out += FormatLine("\nRxFreqStep=%d,\t%d", radio.rxStepIndex, pc.rxStepIndex);
    const bool differ = radio.txStepIndex != pc.txStepIndex || radio.rxStepIndex != pc.rxStepIndex;
    return differ ? kDiffBandOrStep : 0;
}

// The report's name of each identity, in the style of the band and step lines.
struct IdentityRow {
    const char* name;
    IdentityKind kind;
};
constexpr IdentityRow kIdentityRows[] = {
    {"MMSI", IdentityKind::Mmsi},
    {"ATIS", IdentityKind::Atis},
    {"NMEA2000", IdentityKind::Nmea},
    {"Serial", IdentityKind::Serial},
};

std::int32_t AppendIdentities(std::string& out, const RadioSettings& pc, const RadioSettings& radio) {
    const RadioIdentities programmed = EncodedIdentities(pc);
    const RadioIdentities held = EncodedIdentities(radio);
    const auto shown = [](const std::string& value) {
        return value.empty() ? std::string("none") : PrintableText(value);
    };
    std::int32_t flags = 0;
    for (const IdentityRow& row : kIdentityRows) {
        if (LeavesOpen(pc, row.kind) || SameIdentity(row.kind, held[row.kind], programmed[row.kind])) continue;
        flags = kDiffIdentity;
        out += FormatLine("\n%s=%s,\t%s", row.name, shown(held[row.kind]).c_str(), shown(programmed[row.kind]).c_str());
    }
    return flags;
}

}  // namespace

int CompareChannelRecord(const ChannelRecord& radio, const ChannelRecord& pc) {
    if (radio.inUse == 0) return pc.inUse != 0 ? kChannelOnlyOnPc : kChannelEqual;
    if (pc.inUse == 0) return kChannelOnlyOnRadio;
    int code = kChannelEqual;
    if (FrequenciesDiffer(radio.txMHz, pc.txMHz)) code = kChannelTxDiffers;
    if (FrequenciesDiffer(radio.rxMHz, pc.rxMHz)) code = kChannelRxDiffers;
    const int flagCode = FlagCode(radio, pc);
    return flagCode != kChannelEqual ? flagCode : code;
}

std::int32_t CompareSettings(const RadioSettings& pc, const RadioSettings& radio, const ReportTime& time,
                             std::string& reportText) {
    std::int32_t flags = 0;
    reportText = ReportDateLine(time);
    if (PrivateChannelsDiffer(pc, radio)) {
        flags |= kDiffPrivate;
        reportText += "\nPrivate Band is different\nRadio Private channel:\n";
        AppendPrivateList(reportText, radio);
        reportText += "\nPC Private channel:\n";
        AppendPrivateList(reportText, pc);
    }
    flags |= AppendBands(reportText, pc, radio);
    flags |= AppendSteps(reportText, pc, radio);
    flags |= AppendIdentities(reportText, pc, radio);
    return flags;
}

std::int32_t CompareRadioSettings(const RadioSettings& pc, const RadioSettings& radio, const std::string& reportPath,
                                  const ReportTime& time) {
    std::string text;
    const std::int32_t flags = CompareSettings(pc, radio, time, text);
    return WriteFileAtomically(reportPath, std::string_view(text)) ? flags : kVerifyFileError;
}

}  // namespace orven
