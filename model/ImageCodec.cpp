#include "model/ImageCodec.h"

#include "model/RadioIdentities.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace orven {

namespace {

// A frequency on the step grid can land a hair below its count in binary floating point; this
// nudge keeps it on its own count when the fraction is cut off.
constexpr double kStepRounding = 0.00001;

// The flags from the second reserved word up to rxMidIndex: a read starts them all from zero.
constexpr std::size_t kReadClearFirst = offsetof(RadioSettings, reserved0) + sizeof(std::uint32_t);
constexpr std::size_t kReadClearEnd = offsetof(RadioSettings, rxMidIndex);

constexpr std::array<std::pair<std::uint32_t RadioSettings::*, std::uint8_t>, 8> kBandBits = {{
    {&RadioSettings::bandUSA, kBandBitUSA},
    {&RadioSettings::bandUSANarrow, kBandBitUSANarrow},
    {&RadioSettings::bandINT, kBandBitINT},
    {&RadioSettings::bandINTNarrow, kBandBitINTNarrow},
    {&RadioSettings::bandCAN, kBandBitCAN},
    {&RadioSettings::bandCANNarrow, kBandBitCANNarrow},
    {&RadioSettings::bandPrivate, kBandBitPrivate},
    {&RadioSettings::bandWX, kBandBitWX},
}};

constexpr std::array<std::pair<char, int>, 5> kLabelLetters = {{
    {'F', 100}, {'L', 110}, {'M', 120}, {'A', 130}, {'C', 140}}};
constexpr int kFirstLetterCode = 100;
constexpr int kEmptyLabelCode = 150;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::uint8_t PairValue(char first, char second) {
    if (!IsDigit(first)) return 0;
    int v = first - '0';
    if (IsDigit(second)) v = v * 10 + (second - '0');
    return static_cast<std::uint8_t>(v);
}

// Low 16 bits of the integer part of x, defined for every double.
std::uint16_t Low16OfIntegerPart(double x) {
    if (std::isnan(x)) return 0;
    constexpr double kInt64Limit = 9223372036854775808.0;  // 2^63
    std::int64_t n;
    if (x >= kInt64Limit)
        n = INT64_MAX;
    else if (x < -kInt64Limit)
        n = INT64_MIN;
    else
        n = static_cast<std::int64_t>(std::trunc(x));
    return static_cast<std::uint16_t>(static_cast<std::uint64_t>(n) & 0xFFFFu);
}

std::uint16_t Get16(const RadioImage& img, std::size_t addr) {
    return static_cast<std::uint16_t>(img[addr] | (img[addr + 1] << 8));
}

void Put16(RadioImage& img, std::size_t addr, std::uint16_t v) {
    img[addr] = static_cast<std::uint8_t>(v & 0xFF);
    img[addr + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Length of the text in a fixed slot; a slot without a NUL is taken whole, never read past.
std::size_t SlotLength(const char* slot, std::size_t size) {
    const void* nul = std::memchr(slot, '\0', size);
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - slot) : size;
}

template <std::size_t N>
std::string SlotText(const char (&slot)[N]) {
    return std::string(slot, SlotLength(slot, N));
}

}  // namespace

std::string DecodeDecimalPairs(const std::uint8_t in[kIdentityBytes]) {
    std::string text(kIdentityDigits, '\0');
    for (std::size_t k = 0; k < kIdentityBytes; ++k) {
        text[2 * k] = static_cast<char>('0' + in[k] / 10);
        text[2 * k + 1] = static_cast<char>('0' + in[k] % 10);
    }
    return text;
}

void EncodeDecimalPairs(const char* digits, std::uint8_t out[kIdentityBytes]) {
    char pairs[kIdentityDigits] = {};
    for (std::size_t i = 0; i < kIdentityDigits && digits[i] != '\0'; ++i) pairs[i] = digits[i];
    for (std::size_t k = 0; k < kIdentityBytes; ++k)
        out[k] = PairValue(pairs[2 * k], pairs[2 * k + 1]);
}

std::int32_t SlotNumber(const char* slot, std::size_t size) {
    const std::string text(slot, SlotLength(slot, size));
    const long long n = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<std::int32_t>(std::clamp<long long>(n, INT32_MIN, INT32_MAX));
}

std::uint8_t LabelCode(const char* label) {
    const char first = label[0];
    const char second = first != '\0' ? label[1] : '\0';
    int code = 0;
    if (IsDigit(first)) code = 10 * (first - '0');
    for (const auto& [letter, value] : kLabelLetters)
        if (first == letter) code = value;
    if (IsDigit(second)) code += second - '0';
    return static_cast<std::uint8_t>(code);
}

void LabelOfCode(std::uint8_t code, char label[4]) {
    char first = '\0';
    if (code < kFirstLetterCode)
        first = static_cast<char>('0' + code / 10);
    else if (code < kEmptyLabelCode)
        first = kLabelLetters[(code - kFirstLetterCode) / 10].first;
    label[0] = first;
    label[1] = static_cast<char>('0' + code % 10);
    label[2] = '\0';
    label[3] = '\0';
}

int StepsPerMHz(int stepIndex) {
    if (stepIndex == kStep12_5kHz) return 80;
    if (stepIndex == kStep25kHz) return 40;
    return 160;
}

double StepOf(int stepIndex) {
    if (stepIndex == kStep12_5kHz) return 0.0125;
    if (stepIndex == kStep25kHz) return 0.025;
    return 0.00625;
}

double RxMidOf(int rxMidIndex) { return rxMidIndex != 0 ? kRxMidHighMHz : kRxMidLowMHz; }

std::uint16_t TxSteps(double mhz, int stepIndex) {
    return Low16OfIntegerPart(mhz * StepsPerMHz(stepIndex) + kStepRounding);
}

std::uint16_t RxSteps(double mhz, int rxMidIndex, int stepIndex) {
    return Low16OfIntegerPart((mhz - RxMidOf(rxMidIndex)) * StepsPerMHz(stepIndex) + kStepRounding);
}

double TxFrequency(std::uint16_t value, int stepIndex) { return value * StepOf(stepIndex); }

double RxFrequency(std::uint16_t value, int rxMidIndex, int stepIndex) {
    return value * StepOf(stepIndex) + RxMidOf(rxMidIndex);
}

ImageCodec::ImageCodec(const AppState& state, RadioSettings& settings, RadioImage& writeImage,
                       RadioImage& readImage)
    : state_(state), settings_(settings), write_(writeImage), read_(readImage) {}

int ImageCodec::Encode() {
    write_.fill(0);
    EncodeHeader();
    EncodePrivateChannels();
    EncodeIdentity(kAddrAtisPresent, kAddrAtisId, settings_.atisByUser, kAtisLeadDigit,
                   settings_.atisId, kAtisFill);
    EncodeIdentity(kAddrMmsiPresent, kAddrMmsiId, settings_.mmsiByUser, "", settings_.mmsiId,
                   kMmsiFill);
    EncodeNmea();
    std::memcpy(&write_[kAddrSerialNo], settings_.serialNo, kSerialBytes);
    return 0;
}

void ImageCodec::EncodeHeader() {
    write_[kAddrImageMarker] = 1;
    std::uint8_t bits = 0;
    for (const auto& [flag, bit] : kBandBits)
        if (settings_.*flag) bits |= bit;
    write_[kAddrBandBits] = bits;
    write_[kAddrRegion] = settings_.model != 0 ? 1 : 0;
    write_[kAddrTxStep] = static_cast<std::uint8_t>(settings_.txStepIndex & 0xFF);
    write_[kAddrRxStep] = static_cast<std::uint8_t>(settings_.rxStepIndex & 0xFF);
}

// A USA image carries no channel records, whatever the Private block holds.
void ImageCodec::EncodePrivateChannels() {
    if (settings_.model == 0) return;
    const std::size_t count = PrivateChannelCount(settings_);
    for (std::size_t i = 0; i < count; ++i) {
        const ChannelRecord& ch = PrivateChannel(settings_, i);
        const std::size_t at = kAddrPrivateRecords + i * kPrivateRecordSize;
        write_[at + kRecordPosition] = static_cast<std::uint8_t>(i);
        write_[at + kRecordLabelCode] = LabelCode(ch.label);
        Put16(write_, at + kRecordTx, TxSteps(ch.txMHz, settings_.txStepIndex));
        Put16(write_, at + kRecordRx,
              RxSteps(ch.rxMHz, settings_.rxMidIndex, settings_.rxStepIndex));
        write_[at + kRecordUsage] = ch.usage;
    }
    write_[kAddrPrivateCount] = static_cast<std::uint8_t>(count);
}

// An identity the user enters on the radio itself must not be overwritten by the PC.
void ImageCodec::EncodeIdentity(std::size_t presentAddr, std::size_t pairsAddr,
                                std::uint32_t byUser, const char* lead,
                                const char (&id)[kIdentitySlot], const char* fill) {
    if (byUser != 0) return;
    if (SlotNumber(id) < 1) return;
    const std::string digits = lead + SlotText(id) + fill;
    EncodeDecimalPairs(digits.c_str(), &write_[pairsAddr]);
    write_[presentAddr] = 1;
}

void ImageCodec::EncodeNmea() {
    const std::int32_t n = SlotNumber(settings_.nmeaNo);
    if (n <= 0) return;
    for (std::size_t i = 0; i < kNmeaBytes; ++i)
        write_[kAddrNmeaNo + i] = static_cast<std::uint8_t>((n >> (8 * i)) & 0xFF);
}

int ImageCodec::Decode() {
    LoadDefaults(settings_, state_.modelType);
    ClearFlagsAndSteps();
    DecodeHeader();
    DecodePrivateChannels();
    DecodeIdentities();
    DecodeNmeaAndSerial();
    return 0;
}

// Only what the image says may be set: none of the default flags survives a read.
void ImageCodec::ClearFlagsAndSteps() {
    std::memset(Bytes(settings_).data() + kReadClearFirst, 0, kReadClearEnd - kReadClearFirst);
}

void ImageCodec::DecodeHeader() {
    const std::uint8_t bits = read_[kAddrBandBits];
    for (const auto& [flag, bit] : kBandBits)
        if (bits & bit) settings_.*flag = 1;
    settings_.model = static_cast<std::int8_t>(read_[kAddrRegion]);
    settings_.txStepIndex = static_cast<std::int8_t>(read_[kAddrTxStep]);
    settings_.rxStepIndex = static_cast<std::int8_t>(read_[kAddrRxStep]);
}

// The store has 100 private slots; records the radio claims beyond them are dropped.
void ImageCodec::DecodePrivateChannels() {
    const std::size_t count = std::min<std::size_t>(read_[kAddrPrivateCount], kMaxPrivateChannels);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kAddrPrivateRecords + i * kPrivateRecordSize;
        ChannelRecord ch{};
        ch.inUse = 1;
        LabelOfCode(read_[at + kRecordLabelCode], ch.label);
        ch.txMHz = TxFrequency(Get16(read_, at + kRecordTx), settings_.txStepIndex);
        ch.rxMHz = RxFrequency(Get16(read_, at + kRecordRx), settings_.rxMidIndex,
                               settings_.rxStepIndex);
        ch.usage = read_[at + kRecordUsage];
        const std::uint16_t flags = Get16(read_, at + kRecordFlags);
        if (flags & kChannelFlagAtis1W)
            ch.atis1W = 1;
        else
            ch.atisRx = (flags & kChannelFlagNoAtisRx) ? 0 : 1;
        PrivateChannel(settings_, i) = ch;
    }
}

// A number the radio holds that no document may program (not nine digits, or a leading 0) keeps
// its text with "entry by user" on, so the document writes again and the write keeps the radio's own.
void ImageCodec::DecodeIdentities() {
    const RadioIdentities held = IdentitiesInImage(read_);
    const auto decode = [](const std::string& text, std::uint32_t& byUser, char (&slot)[kIdentitySlot]) {
        byUser = IsValidIdentity9(text) ? 0 : 1;
        if (!text.empty()) CopyText(slot, text.c_str());
    };
    decode(held[IdentityKind::Atis], settings_.atisByUser, settings_.atisId);
    decode(held[IdentityKind::Mmsi], settings_.mmsiByUser, settings_.mmsiId);
}

// No NMEA2000 number reads as blank; one of more than six digits too, so that the document writes
// again and the write keeps the radio's own.
void ImageCodec::DecodeNmeaAndSerial() {
    const std::string nmea = IdentitiesInImage(read_)[IdentityKind::Nmea];
    if (IsValidNmeaNumber(nmea)) CopyText(settings_.nmeaNo, nmea.c_str());
    std::memcpy(settings_.serialNo, &read_[kAddrSerialNo], kSerialBytes);
}

}  // namespace orven
