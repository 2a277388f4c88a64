#include "model/IdentityRules.h"

#include "model/LineFormat.h"
#include "model/MarineIdentity.h"

#include <algorithm>

namespace orven {

namespace {

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view TrimLeadingSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

// The refusal's own text, the value made printable, and below it the real cause when the text's
// own reason ("Make sure 9 digitals.") does not fit the case.
std::string Format(std::string_view head, std::string_view text, std::string_view tail, const std::string& cause) {
    std::string message(head);
    message += PrintableText(text);
    message += tail;
    if (!cause.empty()) message += "\n" + cause;
    return message;
}

// The first character that is no digit, by position; empty when all are digits.
std::string NotADigit(std::string_view text) {
    const auto bad = std::find_if(text.begin(), text.end(), [](char c) { return c < '0' || c > '9'; });
    if (bad == text.end()) return {};
    return "\"" + PrintableText(std::string_view(&*bad, 1)) + "\" at position " +
           std::to_string(bad - text.begin() + 1) + " is not a digit";
}

// Why nine digits that begin with 0 are no own MMSI: what such a number is.
std::string LeadingZeroCause(std::string_view text) {
    const auto info = DecodeMmsi(text);
    const bool coast = info && info->kind == MmsiKind::Coast;
    return std::string("an own MMSI cannot begin with 0: ") + (coast ? "00" : "0") + "... is a " +
           std::string(KindName(info ? info->kind : MmsiKind::Group));
}

std::string IdentityCause(std::string_view text, bool atis) {
    if (std::string bad = NotADigit(text); !bad.empty()) return bad;
    if (text.size() != kIdentityTextLength || text[0] != '0') return {};
    return atis ? "the digits after the ATIS's 9 begin with a MID (2 to 7), never with 0" : LeadingZeroCause(text);
}

}  // namespace

bool IsValidIdentity9(std::string_view text) {
    return text.size() == kIdentityTextLength && text[0] != '0' && AllDigits(text);
}

bool IsValidNmeaNumber(std::string_view text) {
    return text.empty() || (text.size() == kNmeaTextLength && AllDigits(text));
}

bool IsValidSerialNumber(std::string_view text) { return text.size() <= kSerialTextLimit; }

std::string InvalidMmsiMessage(std::string_view text) {
    return Format("Invalid MMIS ID:", text, "\nMake sure 9 digitals.", IdentityCause(text, false));
}
std::string InvalidAtisMessage(std::string_view text) {
    return Format("Invalid ATIS ID:", text, "\nMake sure 9 digitals.", IdentityCause(text, true));
}
std::string InvalidNmeaMessage(std::string_view text) {
    return Format("Invalid NMEA ID:", text, "\nMake sure 6 digitals.", NotADigit(TrimLeadingSpaces(text)));
}
std::string InvalidSerialMessage(std::string_view text) {
    const std::string cause = "a serial number holds at most " + std::to_string(kSerialTextLimit) +
                              " characters, letters and spaces too; this one has " + std::to_string(text.size());
    return Format("Invalid SERIAL ID:", text, "\nMake sure 8 digitals.", cause);
}

std::optional<std::string> CheckIdentitiesForWrite(const IdentityEntry& e) {
    if (!e.mmsiByUser && !e.mmsi.empty() && !IsValidIdentity9(e.mmsi))
        return InvalidMmsiMessage(e.mmsi);
    if (!e.atisByUser && !e.atis.empty() && !IsValidIdentity9(e.atis))
        return InvalidAtisMessage(e.atis);
    if (!e.nmea.empty() && !IsValidNmeaNumber(TrimLeadingSpaces(e.nmea)))
        return InvalidNmeaMessage(e.nmea);
    // Leading spaces count: the radio takes the serial's first bytes as they are, spaces too.
    if (!e.serial.empty() && !IsValidSerialNumber(e.serial))
        return InvalidSerialMessage(e.serial);
    return std::nullopt;
}

IdentityEntry IdentitiesOf(const RadioSettings& s) {
    IdentityEntry e;
    e.mmsi = std::string(FixedSlotText(s.mmsiId));
    e.mmsiByUser = s.mmsiByUser != 0;
    e.atis = std::string(FixedSlotText(s.atisId));
    e.atisByUser = s.atisByUser != 0;
    e.nmea = std::string(FixedSlotText(s.nmeaNo));
    e.serial = std::string(FixedSlotText(s.serialNo));
    return e;
}

std::optional<std::string> WriteRefusal(const RadioSettings& settings) {
    return CheckIdentitiesForWrite(IdentitiesOf(settings));
}

}  // namespace orven
