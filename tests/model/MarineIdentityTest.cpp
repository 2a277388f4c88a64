#include "model/MarineIdentity.h"

#include <gtest/gtest.h>

namespace orven {
namespace {

TEST(MarineIdentityTest, EveryKindDecodesWithItsMidAndCountry) {
    const struct { const char* mmsi; MmsiKind kind; int mid; const char* country; } cases[] = {
        {"211234560", MmsiKind::Ship, 211, "Germany"},
        {"775123456", MmsiKind::Ship, 775, "Venezuela"},
        {"221234567", MmsiKind::Ship, 221, ""},  // not allocated
        {"023212345", MmsiKind::Group, 232, "United Kingdom"},
        {"003661234", MmsiKind::Coast, 366, "United States"},
        {"821112345", MmsiKind::Handheld, 211, "Germany"},
        {"111232123", MmsiKind::SarAircraft, 232, "United Kingdom"},
        {"982111234", MmsiKind::ParentCraft, 211, "Germany"},
        {"995031234", MmsiKind::AidToNavigation, 503, "Australia"},
        {"970123456", MmsiKind::AisSart, 0, ""},
        {"972123456", MmsiKind::ManOverboard, 0, ""},
        {"974123456", MmsiKind::EpirbAis, 0, ""},
        {"912345678", MmsiKind::Unknown, 0, ""},
        {"123456789", MmsiKind::Unknown, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mmsi);
        const auto info = DecodeMmsi(c.mmsi);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->kind, c.kind);
        EXPECT_EQ(info->mid, c.mid);
        EXPECT_EQ(info->country, c.country);
    }
    for (const char* bad : {"", "21123456", "2112345601", "21123456a"}) EXPECT_FALSE(DecodeMmsi(bad)) << bad;
    EXPECT_EQ(DescribeMmsi(*DecodeMmsi("821112345")), "handheld (DSC and GNSS), MID 211, Germany");
    EXPECT_EQ(DescribeMmsi(*DecodeMmsi("221234567")), "ship station, MID 221 (not allocated)");
    // The MID table's ends (201 and 775) and a gap in it.
    const std::pair<int, const char*> borders[] = {{200, ""}, {201, "Albania"}, {202, "Andorra"}, {217, ""},
                                                   {774, ""}, {775, "Venezuela"}, {776, ""}, {0, ""}};
    for (const auto& [mid, country] : borders) EXPECT_EQ(CountryOfMid(mid), country) << mid;
}

TEST(MarineIdentityTest, WarningsForNumbersThatAreProbablyMistakes) {
    // starts: how each warning begins.
    const struct { const char *mmsi, *atis; bool european; std::vector<std::string> starts; } cases[] = {
        {"211234560", "211234560", true, {}},   // ATIS = 9 + MMSI
        {"211234560", "218765432", true, {}},   // another German MID
        {"821112345", "", true, {}},            // handheld
        {"023212345", "", false, {"The MMSI 023212345 is a group number"}},
        {"970123456", "", false, {"The MMSI 970123456 is an AIS-SART number"}},
        {"221234567", "", false, {"The MMSI 221234567 has the MID 221, which is allocated to no country."}},
        {"211234560", "366123456", false, {}},  // no ATIS rules for the USA model
        {"211234560", "366123456", true,
         {"The ATIS 9366123456 has the MID 366, which is not European",
          "The ATIS 9366123456 is neither 9 followed by the MMSI (9211234560) nor 9, a MID of Germany"}},
        {"211234560", "232123456", true, {"The ATIS 9232123456 is neither"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mmsi) + " / " + c.atis);
        const auto warnings = IdentityWarnings(c.mmsi, c.atis, c.european);
        ASSERT_EQ(warnings.size(), c.starts.size());
        for (std::size_t i = 0; i < warnings.size(); ++i) EXPECT_EQ(warnings[i].rfind(c.starts[i], 0), 0u) << warnings[i];
    }
}

}  // namespace
}  // namespace orven
