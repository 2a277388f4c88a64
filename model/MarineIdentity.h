// What an MMSI or ATIS number says: its kind (ship, handheld, coast station, ...), its maritime
// identification digits (MID) and the country they are allocated to, and the warnings a number
// that is probably a mistake deserves. This explains and warns; the radio's own rules for a
// write (model/IdentityRules.h) decide what is refused.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orven {

enum class MmsiKind {
    Ship,             // MID + 6 digits
    Group,            // 0 + MID + 5
    Coast,            // 00 + MID + 4
    Handheld,         // 8 + MID + 5: handheld with DSC and GNSS
    SarAircraft,      // 111 + MID + 3
    ParentCraft,      // 98 + MID + 4: craft associated with a parent ship
    AidToNavigation,  // 99 + MID + 4
    AisSart,          // 970 + 6
    ManOverboard,     // 972 + 6
    EpirbAis,         // 974 + 6
    Unknown,          // nine digits of no kind above
};

struct MmsiInfo {
    MmsiKind kind = MmsiKind::Unknown;
    int mid = 0;               // 0 for the kinds that carry none
    std::string_view country;  // empty when the MID is not allocated (or there is none)
};

// The country a MID is allocated to; empty when it is not.
std::string_view CountryOfMid(int mid);

// A nine-digit MMSI decoded; nothing for anything that is not nine digits.
std::optional<MmsiInfo> DecodeMmsi(std::string_view mmsi);
// "ship station", "handheld (DSC and GNSS)", ...
std::string_view KindName(MmsiKind kind);
// "ship station, MID 211, Germany" / "group, MID 211 (not allocated)"
std::string DescribeMmsi(const MmsiInfo& info);

// The ATIS identifier: "9" and nine more digits, of which settings hold the last nine. Its MID is
// the three digits after the 9. Nothing for anything that is not nine digits.
std::optional<MmsiInfo> DecodeAtis(std::string_view lastNine);
std::string DescribeAtis(const MmsiInfo& info);

// The number and what it decodes to, as a confirmation shows it: "211234560 (ship station, MID
// 211, Germany)"; the number alone when it does not decode. An ATIS is given by its last nine
// digits and shown with its 9.
std::string DescribedMmsi(std::string_view mmsi);
std::string DescribedAtis(std::string_view lastNine);

// The warnings a radio's own identities deserve (never a refusal): an MMSI that is no ship
// station or handheld number, a MID that is not allocated, and for a European model an ATIS
// whose MID is not European or that matches neither 9 + the MMSI nor 9 + a MID of the MMSI's
// country. Empty texts are not looked at.
std::vector<std::string> IdentityWarnings(std::string_view mmsi, std::string_view atis, bool europeanModel);

}  // namespace orven
