#include "model/IdentityRules.h"

#include <gtest/gtest.h>

namespace orven {
namespace {

// The first refusal in the write command's order, or none; a ticked "by user" box means the
// identity is not programmed, so any text passes.
TEST(IdentityRules, FirstRefusalInTheWriteOrder) {
    // byUser: both "by user" boxes; refusal nullptr: the write goes ahead.
    struct Case { const char *mmsi, *atis, *nmea, *serial; bool byUser; const char* refusal; };
    const Case cases[] = {
        {"012345678", "", "", "", false, "Invalid MMIS ID:012345678\nMake sure 9 digitals."},
        {"12345678a", "", "", "", false, "Invalid MMIS ID:12345678a\nMake sure 9 digitals."},
        {"", "", "", "", false, nullptr},
        {"bad", "2", "", "", true, nullptr},
        {"1", "2", "", "", false, "Invalid MMIS ID:1\nMake sure 9 digitals."},
        {"", "2", "", "", false, "Invalid ATIS ID:2\nMake sure 9 digitals."},
        {"", "", " 012345", "", false, nullptr},  // leading spaces go, a leading zero stays
        {"", "", "1234567", "", false, "Invalid NMEA ID:1234567\nMake sure 6 digitals."},
        {"", "", "", "  AB123456", false, nullptr},  // any eight characters the radio can hold
        {"", "", "", "123456789", false, "Invalid SERIAL ID:123456789\nMake sure 8 digitals."},
    };
    for (const Case& c : cases) {
        const auto got = CheckIdentitiesForWrite({c.mmsi, c.byUser, c.atis, c.byUser, c.nmea, c.serial});
        SCOPED_TRACE(std::string(c.mmsi) + "|" + c.atis + "|" + c.nmea + "|" + c.serial);
        EXPECT_EQ(got, c.refusal ? std::optional<std::string>(c.refusal) : std::nullopt) << got.value_or("");
    }
}

}  // namespace
}  // namespace orven
