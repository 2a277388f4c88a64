#include "model/ChannelList.h"

#include "model/ChannelTables.h"
#include "model/LineFormat.h"
#include "model/UsageNameTable.h"

#include <string_view>

namespace orven {

namespace {

constexpr double kMHzPer100Hz = 0.0001;
constexpr int k100HzPerMHz = 10000;

// The band combo lists Private last, unlike the band numbering.
constexpr std::array<ChannelBand, kBandCount> kComboOrder = {
    ChannelBand::INT,        ChannelBand::USA,        ChannelBand::CAN,
    ChannelBand::INT_Narrow, ChannelBand::USA_Narrow, ChannelBand::CAN_Narrow,
    ChannelBand::WX,         ChannelBand::Private};

// Label letters for number / 10 from 10 up; anything beyond the last is 'C'.
constexpr std::string_view kLabelLetters = "FLMA";
constexpr char kLastLabelLetter = 'C';
constexpr int kFirstLetterNumber = 100;

std::string BuiltInLine(const PresetRecord& entry) {
    const int tx = DisplayTx(entry);
    const int rx = DisplayRx(entry);
    const std::string_view usage = UsageName(entry.usage);
    return FormatLine("%02d, TX:%d.%04d  RX:%d.%04d,%.*s", entry.number, tx / k100HzPerMHz,
                      tx % k100HzPerMHz, rx / k100HzPerMHz, rx % k100HzPerMHz,
                      static_cast<int>(usage.size()), usage.data());
}

std::string PrivateLine(const ChannelRecord& r) {
    const std::string_view label = FixedSlotText(r.label);
    const std::string_view usage = UsageName(r.usage);
    return FormatLine("%3.*s,TX:%8.4f  RX:%8.4f %.*s", static_cast<int>(label.size()),
                      label.data(), r.txMHz, r.rxMHz, static_cast<int>(usage.size()),
                      usage.data());
}

}  // namespace

int DisplayTx(const PresetRecord& entry) { return entry.txValue * 125 / 2; }

int DisplayRx(const PresetRecord& entry) { return (entry.rxValue + kPresetRxBase) * 125; }

double PresetTxMHz(const PresetRecord& entry) { return DisplayTx(entry) * kMHzPer100Hz; }

double PresetRxMHz(const PresetRecord& entry) { return DisplayRx(entry) * kMHzPer100Hz; }

std::string PresetLabel(std::uint16_t number) {
    if (number < kFirstLetterNumber) return FormatLine("%02d", number);
    const std::size_t letter = number / 10 - kFirstLetterNumber / 10;
    std::string label(1, letter < kLabelLetters.size() ? kLabelLetters[letter] : kLastLabelLetter);
    label += static_cast<char>('0' + number % 10);
    return label;
}

std::vector<std::string> BandComboEntries(const std::array<bool, kBandCount>& ticked) {
    std::vector<std::string> entries;
    for (ChannelBand band : kComboOrder)
        if (ticked[static_cast<std::size_t>(band)]) entries.emplace_back(NameOfBand(band));
    return entries;
}

std::vector<std::string> BuiltInListLines(ChannelBand band) {
    std::vector<std::string> lines;
    for (const PresetRecord& entry : TableOfBand(band)) lines.push_back(BuiltInLine(entry));
    return lines;
}

std::vector<std::string> PrivateListLines(const RadioSettings& settings) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < kMaxListedPrivateChannels; ++i) {
        const ChannelRecord& r = PrivateChannel(settings, i);
        if (r.inUse == 0 || HasLongLabel(r)) break;
        lines.push_back(PrivateLine(r));
    }
    return lines;
}

std::vector<std::string> ChannelListLines(const RadioSettings& settings, ChannelBand band) {
    return band == ChannelBand::Private ? PrivateListLines(settings) : BuiltInListLines(band);
}

}  // namespace orven
