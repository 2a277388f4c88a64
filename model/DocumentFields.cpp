#include "model/DocumentFields.h"

#include "model/LineFormat.h"
#include "model/MarineIdentity.h"
#include "model/SettingsRules.h"

#include <algorithm>
#include <cstring>

namespace orven {

namespace {

// Bytes of an identity slot cleared before a valid identity is stored.
constexpr std::size_t kIdentityClearBytes = 10;
// The most characters the NMEA2000 and serial number slots take from a field.
constexpr std::size_t kNumberFieldChars = 9;
// A text of more digits than this is no value to step.
constexpr std::size_t kMostSteppedDigits = 10;

// The list entry that shows a stored PLL step: a known step its own entry, any other the first.
int StepEntry(int stored) { return stored >= 0 && stored < kStepCount ? stored : kStep6_25kHz; }
// The entry that shows a stored RX mid index: zero is the low one, anything else the high one.
int RxMidEntry(int stored) { return stored != 0 ? 1 : 0; }

void TakeEntry(int entry, std::int32_t& stored, int (*entryOf)(int)) {
    if (entry >= 0 && entry != entryOf(stored)) stored = entry;
}

std::string_view FieldText(const std::string& text) {
    return std::string_view(text).substr(0, kIdentityFieldReadLimit);
}

void TakeIdentity(bool byUser, const std::string& text, std::uint32_t& byUserFlag, char (&slot)[60]) {
    byUserFlag = byUser ? 1 : 0;
    // An emptied field says "kept by radio", so the document leaves the identity open too: the
    // number it held before must not be written, or saved, unseen.
    if (!byUser && text.empty()) {
        std::memset(slot, 0, kIdentityClearBytes);
        return;
    }
    TakeIdentityText(FieldText(text), slot);
}

// The text an identity field shows: none for a number the radio keeps.
std::string ShownIdentity(std::uint32_t byUser, const char (&slot)[60]) {
    return byUser != 0 ? std::string() : std::string(FixedSlotText(slot));
}

// At most kNumberFieldChars characters and a terminating zero; the bytes behind it keep what they held.
void TakeNumber(const std::string& text, char (&slot)[60]) {
    const std::size_t n = std::min(text.size(), kNumberFieldChars);
    std::memcpy(slot, text.data(), n);
    slot[n] = '\0';
}

// The number a write would program from an identity field: none while the user enters it.
std::string Programmed(bool byUser, const std::string& text) {
    return byUser ? std::string() : std::string(FieldText(text));
}

}  // namespace

DocumentFields FieldsOf(const RadioSettings& s) {
    DocumentFields f;
    f.identities.mmsi = ShownIdentity(s.mmsiByUser, s.mmsiId);
    f.identities.mmsiByUser = s.mmsiByUser != 0;
    f.identities.atis = ShownIdentity(s.atisByUser, s.atisId);
    f.identities.atisByUser = s.atisByUser != 0;
    f.identities.nmea = std::string(FixedSlotText(s.nmeaNo));
    f.identities.serial = std::string(FixedSlotText(s.serialNo));
    for (const ChannelBand band : kFreeBands) f.bands[static_cast<int>(band)] = BandFlag(s, band) != 0;
    SwitchModel(f, s.model == kModelUsa);
    f.txStep = StepEntry(s.txStepIndex);
    f.rxStep = StepEntry(s.rxStepIndex);
    f.rxMid = RxMidEntry(s.rxMidIndex);
    return f;
}

void TakeFields(RadioSettings& s, const DocumentFields& f) {
    for (const ChannelBand band : kFreeBands) BandFlag(s, band) = f.bands[static_cast<int>(band)] ? 1 : 0;
    s.model = f.usa ? kModelUsa : kModelEurInt;
    s.bandWX = f.usa ? 1 : 0;
    s.bandPrivate = f.usa ? 0 : 1;
    TakeEntry(f.txStep, s.txStepIndex, StepEntry);
    TakeEntry(f.rxStep, s.rxStepIndex, StepEntry);
    TakeIdentity(f.identities.atisByUser, f.identities.atis, s.atisByUser, s.atisId);
    TakeIdentity(f.identities.mmsiByUser, f.identities.mmsi, s.mmsiByUser, s.mmsiId);
    TakeNumber(f.identities.nmea, s.nmeaNo);
    TakeNumber(f.identities.serial, s.serialNo);
    TakeEntry(f.rxMid, s.rxMidIndex, RxMidEntry);
}

void TakeIdentityText(std::string_view typed, char (&slot)[60]) {
    typed = typed.substr(0, kIdentityFieldReadLimit);
    if (!IsValidIdentity9(typed)) return;
    std::memset(slot, 0, kIdentityClearBytes);
    std::memcpy(slot, typed.data(), kIdentityTextLength);
}

void SwitchModel(DocumentFields& f, bool usa) {
    f.usa = usa;
    f.bands[static_cast<int>(ChannelBand::WX)] = usa;
    f.bands[static_cast<int>(ChannelBand::Private)] = !usa;
}

IdentityNotes NotesOf(const IdentityEntry& entry, bool europeanModel) {
    const std::string mmsi = Programmed(entry.mmsiByUser, entry.mmsi);
    const std::string atis = Programmed(entry.atisByUser, entry.atis);
    const auto mmsiInfo = DecodeMmsi(mmsi);
    const auto atisInfo = DecodeAtis(atis);
    return {mmsiInfo ? DescribeMmsi(*mmsiInfo) : "", atisInfo ? DescribeAtis(*atisInfo) : "",
            IdentityWarnings(mmsi, atis, europeanModel)};
}

std::optional<std::string> SteppedDigits(std::string_view text, bool up, std::size_t digits) {
    if (text.empty() || text.size() > kMostSteppedDigits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::uint64_t largest = 1;
    for (std::size_t i = 0; i < digits && largest <= kStepMaximum; ++i) largest *= 10;
    const std::uint64_t maximum = std::min<std::uint64_t>(largest - 1, kStepMaximum);
    const std::uint64_t value = std::stoull(std::string(text));
    if ((!up && value == 0) || (up && value >= maximum)) return std::nullopt;
    return FormatLine("%0*llu", static_cast<int>(text.size()), static_cast<unsigned long long>(up ? value + 1 : value - 1));
}

std::optional<std::string> FieldTextRefusal(std::string_view what, std::string_view text) {
    const std::optional<std::string> why = UnprintableTextRefusal(text);
    if (!why) return std::nullopt;
    return std::string(what) + " " + *why + ".";
}

}  // namespace orven
