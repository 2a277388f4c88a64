#include "model/PrivateChannelEdits.h"

#include "model/LineFormat.h"
#include "model/PlatformLogi.h"
#include "model/SettingsRules.h"
#include "model/UsageNameTable.h"

#include <cmath>
#include <cstdint>
#include <locale>
#include <sstream>

namespace orven {

namespace {

// Private channels from this many on cannot be added: the Private block is full.
constexpr int kAddLimit = static_cast<int>(kMaxPrivateChannels);
// The label's second character is a digit: the first ten characters of the alphabet.
constexpr int kSecondNameChoices = 10;
// RX and TX this close together make a simplex channel.
constexpr double kSimplexToleranceMHz = 0.00001;
// The most characters of a field that are read as a frequency.
constexpr std::size_t kFrequencyTextLimit = 32;

constexpr std::string_view kNameAlphabet = kLabelFirstCharacters;

std::optional<std::string> NotPrivate(ChannelBand band) {
    if (band == ChannelBand::Private) return std::nullopt;
    return kOnlyPrivateText;
}

// The alphabet entry of a name character: the entry of its position, 0 when it is not in the
// alphabet, and none (-1) when the position is beyond the list's choices.
int NameEntry(char c, int choices) {
    const std::size_t position = kNameAlphabet.find(c);
    if (position == std::string_view::npos) return 0;
    return static_cast<int>(position) < choices ? static_cast<int>(position) : -1;
}

// The usage list starts at the first real usage name; other codes show entry 0.
int UsageEntry(std::uint8_t usage) {
    const int code = static_cast<std::int8_t>(usage);
    const int last = static_cast<int>(kUsageNameCount) - 1;
    return code >= kFirstUsageName && code <= last ? code - kFirstUsageName : 0;
}

}  // namespace

ListAction EditAction(ChannelBand band, int selected) {
    if (auto refusal = NotPrivate(band)) return {refusal};
    if (selected < 0 || selected >= kAddLimit) return {kSelectFirstText};
    return {std::nullopt, selected};
}

ListAction DoubleClickAction(ChannelBand band, int selected, bool readOnly) {
    if (auto refusal = NotPrivate(band)) return {refusal};
    if (readOnly) return {kReadOnlyListText};
    return {std::nullopt, selected >= 0 && selected < kAddLimit ? selected : -1};
}

ListAction AddAction(ChannelBand band, int selected, int count) {
    if (auto refusal = NotPrivate(band)) return {refusal};
    if (count >= kAddLimit) return {kChannelLimitText};
    return {std::nullopt, selected < 0 || selected >= count ? count - 1 : selected};
}

ListAction RemoveAction(ChannelBand band, int selected, int count) {
    if (auto refusal = NotPrivate(band)) return {refusal};
    if (count == 0) return {kNoChannelText};
    if (selected < 0) return {kSelectChannelText};
    return {std::nullopt, selected};
}

void InsertPrivate(RadioSettings& s, int count, int row, const ChannelRecord& added) {
    if (count == 0) {
        PrivateChannel(s, 0) = added;
        return;
    }
    for (int i = count - 1; i > row; --i) PrivateChannel(s, i + 1) = PrivateChannel(s, i);
    PrivateChannel(s, row + 1) = added;
}

void RemovePrivate(RadioSettings& s, int count, int row) {
    for (int i = row + 1; i < count; ++i) PrivateChannel(s, i - 1) = PrivateChannel(s, i);
    PrivateChannel(s, count - 1).inUse = 0;
}

std::vector<std::string> NameChoices(bool first) {
    const std::size_t choices = first ? kNameAlphabet.size() : kSecondNameChoices;
    std::vector<std::string> names;
    for (std::size_t k = 0; k < choices; ++k) names.emplace_back(1, kNameAlphabet[k]);
    return names;
}

std::vector<std::string> UsageChoices() {
    std::vector<std::string> names;
    for (int code = kFirstUsageName; code < static_cast<int>(kUsageNameCount); ++code) {
        std::string_view name = UsageName(code);
        if (name.empty()) break;
        // The names are padded for the channel list's columns; here they stand alone.
        while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
        while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
        names.emplace_back(name);
    }
    return names;
}

ChannelRecord NewChannelRecord() {
    ChannelRecord record{};
    record.txMHz = kNewChannelMHz;
    record.rxMHz = kNewChannelMHz;
    record.inUse = 1;
    return record;
}

ChannelForm FormOf(const ChannelRecord& record) {
    ChannelForm form;
    form.tx = FrequencyText(record.txMHz);
    // Only the side RX lies on counts, not how far off it is.
    if (std::fabs(record.rxMHz - record.txMHz) <= kSimplexToleranceMHz) form.mode = ChannelMode::Simplex;
    else form.mode = record.rxMHz < record.txMHz ? ChannelMode::DuplexMinus : ChannelMode::DuplexPlus;
    form.nameFirst = NameEntry(record.label[0], static_cast<int>(kNameAlphabet.size()));
    form.nameSecond = NameEntry(record.label[1], kSecondNameChoices);
    form.usage = UsageEntry(record.usage);
    return form;
}

ChannelForm NewChannelForm() {
    ChannelForm form;
    form.tx = FrequencyText(kNewChannelMHz);
    return form;
}

double ReadFrequency(std::string_view text) {
    text = text.substr(0, kFrequencyTextLimit);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    // Read in the C locale: the texts are the program's fixed formats, whatever the desktop's locale.
    std::istringstream in{std::string(text)};
    in.imbue(std::locale::classic());
    double value = 0.0;
    if (!(in >> std::noskipws >> value)) return 0.0;
    return value;
}

std::string FrequencyText(double mhz) { return FormatLine("%8.5f", mhz); }

double RxFor(ChannelMode mode, double txMHz) {
    switch (mode) {
    case ChannelMode::DuplexPlus: return txMHz + kDuplexOffsetMHz;
    case ChannelMode::Simplex: break;
    case ChannelMode::DuplexMinus: return txMHz - kDuplexOffsetMHz;
    }
    return txMHz;
}

std::string RxText(const ChannelForm& form) { return FrequencyText(RxFor(form.mode, ReadFrequency(form.tx))); }

std::optional<std::string> TxRefusal(const ChannelForm& form) {
    if (IsValidTxFrequency(ReadFrequency(form.tx))) return std::nullopt;
    return InvalidTxMessage();
}

// The RX that TX and the mode give must lie where the settings file check wants it, or the
// document saved with this channel would not open again.
std::optional<std::string> FormRefusal(const ChannelForm& form) {
    if (auto refusal = TxRefusal(form)) return refusal;
    if (InRadioRange(RxFor(form.mode, ReadFrequency(form.tx)))) return std::nullopt;
    return InvalidRxMessage();
}

void StoreForm(const ChannelForm& form, ChannelRecord& record) {
    record.txMHz = ReadFrequency(form.tx);
    record.rxMHz = RxFor(form.mode, record.txMHz);
    // A list without a choice keeps the character or code the record had.
    const int choices = static_cast<int>(kNameAlphabet.size());
    if (form.nameFirst >= 0 && form.nameFirst < choices) record.label[0] = kNameAlphabet[form.nameFirst];
    if (form.nameSecond >= 0 && form.nameSecond < kSecondNameChoices) record.label[1] = kNameAlphabet[form.nameSecond];
    const int usages = static_cast<int>(UsageChoices().size());
    if (form.usage >= 0 && form.usage < usages) record.usage = static_cast<std::uint8_t>(form.usage + kFirstUsageName);
}

}  // namespace orven
