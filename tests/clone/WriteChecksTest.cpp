#include "clone/WriteChecks.h"

#include <gtest/gtest.h>

namespace orven {
namespace {

TEST(WriteChecks, MmsiRulesFollowTheEntryByUserBox) {
    IdentityEntry e;
    e.mmsi = "012345678";  // leading zero
    EXPECT_EQ(CheckIdentitiesForWrite(e), InvalidMmsiMessage("012345678"));
    EXPECT_EQ(*CheckIdentitiesForWrite(e), "Invalid MMIS ID:012345678\nMake sure 9 digitals.");
    e.mmsi = "12345678";  // eight digits
    EXPECT_TRUE(CheckIdentitiesForWrite(e).has_value());
    e.mmsi = "12345678a";
    EXPECT_TRUE(CheckIdentitiesForWrite(e).has_value());
    e.mmsi = "123456789";
    EXPECT_FALSE(CheckIdentitiesForWrite(e).has_value());
    e.mmsi = "";
    EXPECT_FALSE(CheckIdentitiesForWrite(e).has_value());
    e.mmsi = "bad";
    e.mmsiByUser = true;  // not programmed: any text passes
    EXPECT_FALSE(CheckIdentitiesForWrite(e).has_value());
}

TEST(WriteChecks, AtisIsCheckedAfterMmsi) {
    IdentityEntry e;
    e.mmsi = "1";
    e.atis = "2";
    EXPECT_EQ(*CheckIdentitiesForWrite(e), "Invalid MMIS ID:1\nMake sure 9 digitals.");
    e.mmsi = "";
    EXPECT_EQ(*CheckIdentitiesForWrite(e), "Invalid ATIS ID:2\nMake sure 9 digitals.");
    e.atisByUser = true;
    EXPECT_FALSE(CheckIdentitiesForWrite(e).has_value());
}

TEST(WriteChecks, NmeaLosesLeadingSpacesAndAllowsALeadingZero) {
    IdentityEntry e;
    e.nmea = " 012345";
    EXPECT_FALSE(CheckIdentitiesForWrite(e).has_value());
    e.nmea = "01234a";
    EXPECT_EQ(*CheckIdentitiesForWrite(e), "Invalid NMEA ID:01234a\nMake sure 6 digitals.");
    e.nmea = "1234567";
    EXPECT_TRUE(CheckIdentitiesForWrite(e).has_value());
    e.nmea = "   ";  // only spaces: trimmed to empty, which is a valid number
    EXPECT_FALSE(CheckIdentitiesForWrite(e).has_value());
}

TEST(WriteChecks, SerialNumberMustFitTheRadio) {
    IdentityEntry e;
    e.serial = "  AB123456";  // any eight characters the radio can hold
    EXPECT_FALSE(CheckIdentitiesForWrite(e).has_value());
    e.serial = "123456789";
    EXPECT_EQ(*CheckIdentitiesForWrite(e), "Invalid SERIAL ID:123456789\nMake sure 8 digitals.");
}

}  // namespace
}  // namespace orven
