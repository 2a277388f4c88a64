// The radio's identities (MMSI, ATIS, NMEA2000 number, serial number) as its memory image holds
// them: what each reads as, where its bytes lie, and which ones a document programs and which it
// leaves open for the radio to keep. The region (USA or Europe) stands beside them, since an image
// of another model is as foreign to a radio as another radio's serial.
#pragma once

#include "model/RadioImage.h"
#include "model/RadioSettings.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orven {

enum class IdentityKind { Mmsi, Atis, Nmea, Serial, Model };
inline constexpr std::size_t kIdentityKindCount = 5;
// What a settings document can program, and what a write keeps or changes.
inline constexpr std::array<IdentityKind, 4> kRadioIdentities = {IdentityKind::Mmsi, IdentityKind::Atis,
                                                                 IdentityKind::Nmea, IdentityKind::Serial};
// What a restore's exact bytes may change: the identities and the model.
inline constexpr std::array<IdentityKind, 5> kRestoredIdentities = {
    IdentityKind::Mmsi, IdentityKind::Atis, IdentityKind::Nmea, IdentityKind::Serial, IdentityKind::Model};

// The model's readings.
inline constexpr const char* kModelNameUsa = "USA";
inline constexpr const char* kModelNameEurope = "Europe";

// "MMSI", "ATIS", "NMEA2000 number", "serial number", "model".
const char* IdentityName(IdentityKind kind);

// What each identity of an image reads as; an empty text is none programmed. The MMSI and ATIS
// are their nine digits (the ATIS without its leading 9), the NMEA2000 number is at least six
// digits, the serial number its bytes up to the first NUL, the model kModelNameUsa or
// kModelNameEurope.
struct RadioIdentities {
    std::array<std::string, kIdentityKindCount> text;
    std::string& operator[](IdentityKind kind) { return text[static_cast<std::size_t>(kind)]; }
    const std::string& operator[](IdentityKind kind) const { return text[static_cast<std::size_t>(kind)]; }
};
RadioIdentities IdentitiesInImage(const RadioImage& image);
// The identities a write of the document puts into the radio, as the radio reads them; the ones
// it leaves open read as none.
RadioIdentities EncodedIdentities(const RadioSettings& document);

// Whether two readings of an identity name the same value: NMEA2000 numbers as numbers (leading
// zeros aside), model names in any case, the rest character for character.
bool SameIdentity(IdentityKind kind, std::string_view a, std::string_view b);

// The bytes that hold one identity, its present flag with it.
struct ImageSpan {
    std::size_t first;
    std::size_t size;
};
ImageSpan IdentitySpan(IdentityKind kind);
// The first and last address of all of them (the model's byte not among them).
inline constexpr std::size_t kIdentityBytesFirst = 0x011A;
inline constexpr std::size_t kIdentityBytesLast = 0x013F;

void CopyIdentityBytes(IdentityKind kind, const RadioImage& from, RadioImage& to);
void ClearIdentityBytes(IdentityKind kind, RadioImage& image);
bool IdentityBytesEqual(IdentityKind kind, const RadioImage& a, const RadioImage& b);

// Whether a document leaves an identity for the radio to keep: an MMSI or ATIS with "entry by
// user" ticked or without a number, a blank NMEA2000 number (zeros are none, programmed) or serial.
// The model is never open.
bool LeavesOpen(const RadioSettings& settings, IdentityKind kind);

}  // namespace orven
