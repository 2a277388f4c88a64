#include "model/IdentityRules.h"

#include "model/LineFormat.h"

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

std::string Format(std::string_view head, std::string_view text, std::string_view tail) {
    std::string message(head);
    message += text;
    message += tail;
    return message;
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
    return Format("Invalid MMIS ID:", text, "\nMake sure 9 digitals.");
}
std::string InvalidAtisMessage(std::string_view text) {
    return Format("Invalid ATIS ID:", text, "\nMake sure 9 digitals.");
}
std::string InvalidNmeaMessage(std::string_view text) {
    return Format("Invalid NMEA ID:", text, "\nMake sure 6 digitals.");
}
std::string InvalidSerialMessage(std::string_view text) {
    return Format("Invalid SERIAL ID:", text, "\nMake sure 8 digitals.");
}

std::optional<std::string> CheckIdentitiesForWrite(const IdentityEntry& e) {
    if (!e.mmsiByUser && !e.mmsi.empty() && !IsValidIdentity9(e.mmsi))
        return InvalidMmsiMessage(e.mmsi);
    if (!e.atisByUser && !e.atis.empty() && !IsValidIdentity9(e.atis))
        return InvalidAtisMessage(e.atis);
    if (!e.nmea.empty() && !IsValidNmeaNumber(TrimLeadingSpaces(e.nmea)))
        return InvalidNmeaMessage(e.nmea);
    if (!e.serial.empty() && !IsValidSerialNumber(TrimLeadingSpaces(e.serial)))
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
