#include "model/SettingsRules.h"

#include "support/Documents.h"

#include <gtest/gtest.h>

#include <limits>

namespace orven {
namespace {

TEST(SettingsRulesTest, TxMustBeInRangeAndOnTheSixPointTwoFiveKilohertzGrid) {
    const struct { double mhz; bool valid; } cases[] = {
        {136.0, true}, {174.0, true}, {156.00625, true},  // on the 6.25 kHz grid, off the 12.5 kHz one
        {156.003125, false}, {157.853, false}, {135.99375, false}, {174.00625, false},
        {std::numeric_limits<double>::quiet_NaN(), false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidTxFrequency(c.mhz), c.valid) << c.mhz;
}

TEST(SettingsRulesTest, LabelsAreWhatTheRadiosLabelCodeHolds) {
    for (const char* good : {"A1", "07", "M9", "F0", "L5", "C3"}) EXPECT_TRUE(IsStorableLabel(good)) << good;
    for (const char* bad : {"Z9", "a1", "A", "A12", "AA", "", "1A"}) EXPECT_FALSE(IsStorableLabel(bad)) << bad;
}

TEST(SettingsRulesTest, TheFileCheckNamesTheFirstChannelItRefuses) {
    auto s = test::Defaults(kModelEurInt);
    EXPECT_FALSE(FileCheckFailure(*s));
    ChannelRecord& bad = PrivateChannel(*s, 4);
    CopyText(bad.label, "A1");
    bad.inUse = 1;
    bad.txMHz = 156.025;
    bad.rxMHz = 180.0;
    const auto failure = FileCheckFailure(*s);
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find("private channel 5 "), std::string::npos) << *failure;
    EXPECT_NE(failure->find("RX is outside"), std::string::npos) << *failure;
    EXPECT_FALSE(SettingsPassCheck(*s));
}

TEST(SettingsRulesTest, TextsTakePrintableAsciiAndARefusalNamesTheCharacter) {
    EXPECT_FALSE(UnprintableTextRefusal("Abc 123 ~!"));
    const struct { const char* text; const char* named; } cases[] = {
        {"\xC3\x9Cn", "\"\xC3\x9C\" at position 1"},
        {"ab\xC3\xAF" "c\tz", "\"\xC3\xAF\" at position 3"},
        {"a\tb", "U+0009 at position 2"},
        {"ok\xFF", "the byte 0xFF at position 3"},
    };
    for (const auto& c : cases) {
        const auto refusal = UnprintableTextRefusal(c.text);
        ASSERT_TRUE(refusal) << c.text;
        EXPECT_NE(refusal->find(c.named), std::string::npos) << *refusal;
    }
}

}  // namespace
}  // namespace orven
