#include "model/SettingsRules.h"

#include "model/PlatformLogi.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace orven {

namespace {

// A frequency counts as on the grid when its step count is this close to a whole number.
constexpr double kGridTolerance = 0.00001;
constexpr double kGridUpperFraction = 0.9999;
// 6.25 kHz steps in one MHz, kept exact rather than divided out of kTxGridMHz.
constexpr double kTxStepsPerMHz = 160.0;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string RangeWords() {
    char text[48];
    std::snprintf(text, sizeof text, "%.4f to %.4f", kMinFreqMHz, kMaxFreqMHz);
    return text;
}

std::string RangeText() {
    char text[48];
    std::snprintf(text, sizeof text, "%3.4f - %3.4f", kMinFreqMHz, kMaxFreqMHz);
    return text;
}

// One UTF-8 sequence at the start of `text`: its code point and length, or length 0 when the
// bytes are not UTF-8.
struct Utf8Char {
    char32_t codePoint = 0;
    std::size_t length = 0;
};

Utf8Char DecodeUtf8(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) return {lead, 1};
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || length > 4 || text.size() < length) return {};
    char32_t cp = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80) return {};
        cp = (cp << 6) | (c & 0x3F);
    }
    return {cp, length};
}

bool IsPrintableAscii(char32_t c) { return c >= 0x20 && c < 0x7F; }

std::string NameOf(std::string_view text, const Utf8Char& c) {
    char name[48];
    if (c.length == 0)
        std::snprintf(name, sizeof name, "the byte 0x%02X", static_cast<unsigned char>(text[0]));
    else if (c.codePoint < 0x20 || c.codePoint == 0x7F || (c.codePoint >= 0x80 && c.codePoint < 0xA0))
        std::snprintf(name, sizeof name, "the control character U+%04X", static_cast<unsigned>(c.codePoint));
    else
        return "\"" + std::string(text.substr(0, c.length)) + "\"";
    return name;
}

}  // namespace

// A frequency decoded from the radio's steps can land a hair outside the range it was written in
// (174 MHz reads back as 174.00000000000003); that hair is inside.
constexpr double kRangeRoundingMHz = 1e-9;

bool InRadioRange(double mhz) {
    return mhz >= kMinFreqMHz - kRangeRoundingMHz && mhz <= kMaxFreqMHz + kRangeRoundingMHz;
}

bool IsOnTxGrid(double mhz) {
    const double steps = mhz * kTxStepsPerMHz;
    const double fraction = steps - std::floor(steps);
    return fraction < kGridTolerance || fraction > kGridUpperFraction;
}

bool IsValidTxFrequency(double mhz) { return InRadioRange(mhz) && IsOnTxGrid(mhz); }

bool IsReceiveOnlyTx(double mhz) { return mhz <= kReceiveOnlyTxMHz; }

bool IsStorableLabel(std::string_view label) {
    return label.size() == kStorableLabelLength && kLabelFirstCharacters.find(label[0]) != std::string_view::npos &&
           IsDigit(label[1]);
}

std::vector<ChannelProblem> EditedChannelProblems(const ChannelRecord& channel) {
    std::vector<ChannelProblem> problems;
    const std::string_view label(channel.label, strnlen(channel.label, sizeof channel.label));
    if (!IsStorableLabel(label))
        problems.push_back({ChannelField::Label, "must be two characters: one of " +
                                                     std::string(kLabelFirstCharacters) + ", then a digit"});
    if (channel.txMHz != 0.0 && !IsValidTxFrequency(channel.txMHz))
        problems.push_back({ChannelField::Tx, "must be 0 (receive only) or from " + RangeWords() +
                                                  " MHz in steps of 0.00625 MHz"});
    if (!InRadioRange(channel.rxMHz)) problems.push_back({ChannelField::Rx, "must be from " + RangeWords() + " MHz"});
    return problems;
}

std::optional<ChannelProblem> CheckEditedChannel(const ChannelRecord& channel) {
    std::vector<ChannelProblem> problems = EditedChannelProblems(channel);
    if (problems.empty()) return std::nullopt;
    return problems.front();
}

bool PassesFileCheck(const ChannelRecord& channel) {
    const std::size_t labelLength = strnlen(channel.label, sizeof channel.label);
    if (labelLength < kMinLabelLength || labelLength > kMaxLabelLength) return false;
    if (std::isnan(channel.txMHz)) return false;
    if (!IsReceiveOnlyTx(channel.txMHz) && !InRadioRange(channel.txMHz)) return false;
    return InRadioRange(channel.rxMHz);
}

bool SettingsPassCheck(const RadioSettings& settings) {
    for (const ChannelRecord& r : settings.channels)
        if (r.inUse != 0 && !PassesFileCheck(r)) return false;
    return true;
}

std::optional<std::string> FileCheckFailure(const RadioSettings& settings) {
    for (std::size_t slot = 0; slot < kChannelSlots; ++slot) {
        const ChannelRecord& r = settings.channels[slot];
        if (r.inUse == 0 || PassesFileCheck(r)) continue;
        const std::size_t block = slot / kSlotsPerBlock;
        static constexpr const char* kBlockNames[] = {"INT", "USA", "CAN", "private"};
        const std::size_t labelLength = strnlen(r.label, sizeof r.label);
        char what[160];
        std::snprintf(what, sizeof what, "%s channel %zu (label \"%.*s\", TX %.5f MHz, RX %.5f MHz): ",
                      kBlockNames[block], slot % kSlotsPerBlock + 1, static_cast<int>(labelLength), r.label,
                      r.txMHz, r.rxMHz);
        std::string why = what;
        if (labelLength < kMinLabelLength || labelLength > kMaxLabelLength)
            why += "the label must have 2 or 3 characters";
        else if (!InRadioRange(r.rxMHz))
            why += "RX is outside " + RangeWords() + " MHz";
        else
            why += "TX is outside " + RangeWords() + " MHz";
        return why;
    }
    return std::nullopt;
}

std::optional<std::string> UnprintableTextRefusal(std::string_view text) {
    for (std::size_t at = 0, position = 1; at < text.size(); ++position) {
        const Utf8Char c = DecodeUtf8(text.substr(at));
        if (c.length == 0 || !IsPrintableAscii(c.codePoint))
            return "holds " + NameOf(text.substr(at), c) + " at position " + std::to_string(position) +
                   ": only printable ASCII characters can be stored";
        at += c.length;
    }
    return std::nullopt;
}

std::string InvalidTxMessage() {
    char text[96];
    std::snprintf(text, sizeof text, "Invalid Tx Frequency.\nFrequency=0.00625*N.\nRange=%3.4f - %3.4f", kMinFreqMHz,
                  kMaxFreqMHz);
    return text;
}

std::string InvalidRxMessage() {
    return "Invalid Rx Frequency.\nThe RX frequency this mode gives must lie in the range " + RangeText() + " MHz.";
}

}  // namespace orven
