#include "model/MarineIdentity.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace orven {

namespace {

struct MidEntry {
    int mid;
    std::string_view country;
};

constexpr MidEntry kMidTable[] = {
#include "model/MidTable.inc"
};

consteval bool AscendingAndShipRange() {
    for (std::size_t i = 0; i < std::size(kMidTable); ++i) {
        if (kMidTable[i].mid < 201 || kMidTable[i].mid > 775 || kMidTable[i].country.empty()) return false;
        if (i > 0 && kMidTable[i - 1].mid >= kMidTable[i].mid) return false;
    }
    return true;
}
static_assert(std::size(kMidTable) > 200, "the MID table was not read");
static_assert(AscendingAndShipRange(), "MIDs must be ship station MIDs (201-775), ascending, each once");

constexpr std::size_t kDigits = 9;
// European ship station MIDs are the 2xx ones.
constexpr int kEuropeanMidFirstDigit = 2;

struct KindPattern {
    std::string_view prefix;
    MmsiKind kind;
    bool hasMid;
};
// Longest prefixes first: 111 before a ship's first digit, 00 before 0, 97x before 9x.
constexpr KindPattern kPatterns[] = {
    {"970", MmsiKind::AisSart, false},      {"972", MmsiKind::ManOverboard, false},
    {"974", MmsiKind::EpirbAis, false},     {"111", MmsiKind::SarAircraft, true},
    {"00", MmsiKind::Coast, true},          {"98", MmsiKind::ParentCraft, true},
    {"99", MmsiKind::AidToNavigation, true}, {"0", MmsiKind::Group, true},
    {"8", MmsiKind::Handheld, true},
};

bool NineDigits(std::string_view text) {
    return text.size() == kDigits && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int MidAt(std::string_view text, std::size_t at) {
    return (text[at] - '0') * 100 + (text[at + 1] - '0') * 10 + (text[at + 2] - '0');
}

std::string WithArticle(std::string_view noun) {
    const bool vowel = !noun.empty() && std::string_view("AEIOUaeiou").find(noun.front()) != std::string_view::npos;
    return (vowel ? "an " : "a ") + std::string(noun);
}

MmsiInfo WithMid(MmsiKind kind, int mid) { return {kind, mid, CountryOfMid(mid)}; }

std::string MidText(const MmsiInfo& info) {
    if (info.mid == 0) return {};
    const std::string mid = ", MID " + std::to_string(info.mid);
    return info.country.empty() ? mid + " (not allocated)" : mid + ", " + std::string(info.country);
}

}  // namespace

std::string_view CountryOfMid(int mid) {
    const auto it = std::lower_bound(std::begin(kMidTable), std::end(kMidTable), mid,
                                     [](const MidEntry& e, int m) { return e.mid < m; });
    return it != std::end(kMidTable) && it->mid == mid ? it->country : std::string_view();
}

std::optional<MmsiInfo> DecodeMmsi(std::string_view mmsi) {
    if (!NineDigits(mmsi)) return std::nullopt;
    for (const KindPattern& p : kPatterns) {
        if (mmsi.substr(0, p.prefix.size()) != p.prefix) continue;
        return p.hasMid ? WithMid(p.kind, MidAt(mmsi, p.prefix.size())) : MmsiInfo{p.kind, 0, {}};
    }
    if (mmsi[0] >= '2' && mmsi[0] <= '7') return WithMid(MmsiKind::Ship, MidAt(mmsi, 0));
    return MmsiInfo{};
}

std::string_view KindName(MmsiKind kind) {
    switch (kind) {
    case MmsiKind::Ship: return "ship station";
    case MmsiKind::Group: return "group";
    case MmsiKind::Coast: return "coast station";
    case MmsiKind::Handheld: return "handheld (DSC and GNSS)";
    case MmsiKind::SarAircraft: return "SAR aircraft";
    case MmsiKind::ParentCraft: return "craft of a parent ship";
    case MmsiKind::AidToNavigation: return "aid to navigation";
    case MmsiKind::AisSart: return "AIS-SART";
    case MmsiKind::ManOverboard: return "man-overboard device";
    case MmsiKind::EpirbAis: return "EPIRB-AIS";
    case MmsiKind::Unknown: break;
    }
    return "no known kind";
}

std::string DescribeMmsi(const MmsiInfo& info) { return std::string(KindName(info.kind)) + MidText(info); }

std::optional<MmsiInfo> DecodeAtis(std::string_view lastNine) {
    if (!NineDigits(lastNine)) return std::nullopt;
    return WithMid(MmsiKind::Unknown, MidAt(lastNine, 0));
}

std::string DescribeAtis(const MmsiInfo& info) { return "ATIS" + MidText(info); }

std::string DescribedMmsi(std::string_view mmsi) {
    const auto info = DecodeMmsi(mmsi);
    return std::string(mmsi) + (info ? " (" + DescribeMmsi(*info) + ")" : std::string());
}

std::string DescribedAtis(std::string_view lastNine) {
    const auto info = DecodeAtis(lastNine);
    return "9" + std::string(lastNine) + (info ? " (" + DescribeAtis(*info) + ")" : std::string());
}

std::vector<std::string> IdentityWarnings(std::string_view mmsi, std::string_view atis, bool europeanModel) {
    std::vector<std::string> warnings;
    const auto own = DecodeMmsi(mmsi);
    if (own && own->kind != MmsiKind::Ship && own->kind != MmsiKind::Handheld)
        warnings.push_back("The MMSI " + std::string(mmsi) + " is " + WithArticle(KindName(own->kind)) +
                           " number, not a ship station's or a handheld's: a radio's own MMSI almost never is.");
    if (own && own->mid != 0 && own->country.empty())
        warnings.push_back("The MMSI " + std::string(mmsi) + " has the MID " + std::to_string(own->mid) +
                           ", which is allocated to no country.");
    const auto ship = DecodeAtis(atis);
    if (!ship || !europeanModel) return warnings;
    const std::string full = "9" + std::string(atis);
    if (ship->mid / 100 != kEuropeanMidFirstDigit)
        warnings.push_back("The ATIS " + full + " has the MID " + std::to_string(ship->mid) +
                           ", which is not European: ATIS is used on European inland waterways.");
    else if (ship->country.empty())
        warnings.push_back("The ATIS " + full + " has the MID " + std::to_string(ship->mid) +
                           ", which is allocated to no country.");
    const bool fromMmsi = own && atis == mmsi;
    const bool sameCountry = own && !own->country.empty() && ship->country == own->country;
    if (own && !fromMmsi && !sameCountry)
        warnings.push_back("The ATIS " + full + " is neither 9 followed by the MMSI (9" + std::string(mmsi) +
                           ") nor 9, a MID of " + (own->country.empty() ? std::string("the MMSI's country")
                                                                         : std::string(own->country)) +
                           " and the call sign's digits.");
    return warnings;
}

}  // namespace orven
