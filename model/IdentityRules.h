// The identity rules the program applies before a write, and the messages that refuse a value.
// The window, the command line and the command runner all check through here.
#pragma once

#include "model/RadioSettings.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orven {

// The identity texts as the settings and the editors hold them, in characters.
inline constexpr std::size_t kIdentityTextLength = 9;  // MMSI; ATIS without its leading "9"
inline constexpr std::size_t kNmeaTextLength = 6;
inline constexpr std::size_t kSerialTextLimit = 8;     // what the radio holds

// MMSI and ATIS: exactly 9 decimal digits, the first not "0".
bool IsValidIdentity9(std::string_view text);
// NMEA2000 number: empty, or exactly 6 decimal digits (a leading "0" is allowed).
bool IsValidNmeaNumber(std::string_view text);
// Serial number: at most 8 characters, what the radio holds; nothing longer is cut silently.
bool IsValidSerialNumber(std::string_view text);

// The identity fields as the user entered them.
struct IdentityEntry {
    std::string mmsi;
    bool mmsiByUser = false;
    std::string atis;
    bool atisByUser = false;
    std::string nmea;
    std::string serial;
};

// Runs the checks in the order the write command does; the message of the first refusal, or
// nothing when every field passes. Empty fields pass; NMEA loses leading spaces first, the serial
// does not (the radio takes its first bytes as they are).
std::optional<std::string> CheckIdentitiesForWrite(const IdentityEntry& entry);

// The identity fields of a document.
IdentityEntry IdentitiesOf(const RadioSettings& settings);
// The check's message when the document must not be written; nothing when it may.
std::optional<std::string> WriteRefusal(const RadioSettings& settings);

// The refusal texts, "%s" replaced by the field's text.
std::string InvalidMmsiMessage(std::string_view text);
std::string InvalidAtisMessage(std::string_view text);
std::string InvalidNmeaMessage(std::string_view text);
std::string InvalidSerialMessage(std::string_view text);

}  // namespace orven
