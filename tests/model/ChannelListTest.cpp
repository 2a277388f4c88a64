#include "model/ChannelList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace orven {
namespace {

const std::string kBlankUsage(16, ' ');

void SetPrivate(RadioSettings& s, std::size_t i, const char* label, double tx, double rx,
                int usage) {
    ChannelRecord& r = PrivateChannel(s, i);
    CopyText(r.label, label);
    r.txMHz = tx;
    r.rxMHz = rx;
    r.usage = static_cast<std::uint8_t>(usage);
    r.inUse = 1;
}

void FillPrivate(RadioSettings& s, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        SetPrivate(s, i, std::to_string(i % 100).c_str(), 156.0, 156.0, 11);
}

TEST(ChannelListTest, DisplayArithmeticWorksInWholeHundredsOfHertz) {
    PresetRecord e{};
    e.txValue = 25088;  // 156.8000 MHz: 25088 * 125 / 2 = 1568000
    e.rxValue = 10972;  // (10972 + 1572) * 125 = 1568000
    EXPECT_EQ(DisplayTx(e), 1568000);
    EXPECT_EQ(DisplayRx(e), 1568000);
    EXPECT_NEAR(PresetTxMHz(e), 156.8, 1e-9);
    EXPECT_NEAR(PresetRxMHz(e), 156.8, 1e-9);

    e.txValue = 24971;  // 24971 * 125 / 2 = 1560687.5, rounded down
    EXPECT_EQ(DisplayTx(e), 1560687);
    e.txValue = 0;
    e.rxValue = 0;      // 1572 * 125 = 196500: 19.65 MHz
    EXPECT_EQ(DisplayTx(e), 0);
    EXPECT_EQ(DisplayRx(e), 196500);
}

TEST(ChannelListTest, BuiltInLinesPrintNumberFrequenciesAndUsage) {
    const auto intLines = BuiltInListLines(ChannelBand::INT);
    ASSERT_EQ(intLines.size(), 57u);
    EXPECT_EQ(intLines[0], "01, TX:156.0500  RX:160.6500, CORRESPONDENCE ");
    EXPECT_EQ(intLines[15], "16, TX:156.8000  RX:156.8000,      DISTRESS  ");

    const auto wxLines = BuiltInListLines(ChannelBand::WX);
    ASSERT_EQ(wxLines.size(), 10u);
    EXPECT_EQ(wxLines[0], "01, TX:0.0000  RX:162.5500,  162.550000Mhz ");
    EXPECT_EQ(wxLines[9], "10, TX:0.0000  RX:163.2750,  163.275000Mhz ");

    const auto narrowLines = BuiltInListLines(ChannelBand::INT_Narrow);
    ASSERT_EQ(narrowLines.size(), 113u);
    EXPECT_EQ(narrowLines[0], "401, TX:156.0625  RX:160.6625," + kBlankUsage);

    // Channel 20 twice, duplex then simplex, in table order.
    const auto usaLines = BuiltInListLines(ChannelBand::USA);
    ASSERT_EQ(usaLines.size(), 53u);
    EXPECT_EQ(usaLines[17], "20, TX:157.0000  RX:161.6000, PORT OPERATION ");
    EXPECT_EQ(usaLines[18], "20, TX:157.0000  RX:157.0000, PORT OPERATION ");

    EXPECT_TRUE(BuiltInListLines(ChannelBand::Private).empty());
}

TEST(ChannelListTest, PrivateLineMatchesTheListFormat) {
    RadioSettings s{};
    SetPrivate(s, 0, "M1", 157.85, 157.85, 33);
    SetPrivate(s, 1, "7", 0.0, 162.55, 0);
    const auto lines = PrivateListLines(s);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], " M1,TX:157.8500  RX:157.8500        MARINA   ");
    EXPECT_EQ(lines[1], "  7,TX:  0.0000  RX:162.5500 " + kBlankUsage);
}

TEST(ChannelListTest, PrivateListEndsAtTheFirstUnusedSlotOrLongLabel) {
    RadioSettings gap{};
    FillPrivate(gap, 3);
    PrivateChannel(gap, 1).inUse = 0;
    EXPECT_EQ(PrivateListLines(gap).size(), 1u);

    RadioSettings longLabel{};
    FillPrivate(longLabel, 5);
    CopyText(PrivateChannel(longLabel, 2).label, "F12");
    EXPECT_EQ(PrivateListLines(longLabel).size(), 2u);

    RadioSettings empty{};
    EXPECT_TRUE(PrivateListLines(empty).empty());
}

TEST(ChannelListTest, PrivateListShowsTheWholeBlock) {
    RadioSettings s{};
    FillPrivate(s, 31);
    EXPECT_EQ(PrivateListLines(s).size(), 31u);

    FillPrivate(s, kMaxPrivateChannels);
    const auto lines = PrivateListLines(s);
    ASSERT_EQ(lines.size(), 100u);
    EXPECT_EQ(lines[99], " 99,TX:156.0000  RX:156.0000  PORT OPERATION ");
}

TEST(ChannelListTest, PrivateListSurvivesHostileRecords) {
    RadioSettings s{};
    SetPrivate(s, 0, "", 1e20, 157.0, 200);     // no label, absurd TX, usage beyond the table
    SetPrivate(s, 1, "", 157.0, 157.0, 11);
    std::memcpy(PrivateChannel(s, 1).label, "A\0XY", 4);  // text after the NUL is not shown
    SetPrivate(s, 2, "", 157.0, 157.0, 11);
    std::memcpy(PrivateChannel(s, 2).label, "ABCD", 4);   // no NUL at all: ends the list
    std::memset(PrivateChannel(s, 2).usageText, 'Z', sizeof PrivateChannel(s, 2).usageText);

    const auto lines = PrivateListLines(s);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "   ,TX:100000000000000000000.0000  RX:157.0000 " + kBlankUsage);
    EXPECT_EQ(lines[1], "  A,TX:157.0000  RX:157.0000  PORT OPERATION ");
}

TEST(ChannelListTest, ChannelListLinesPicksPrivateOrBuiltIn) {
    RadioSettings s{};
    SetPrivate(s, 0, "M1", 157.85, 157.85, 33);
    s.bandPrivate = 0;  // the switch is the caller's business
    EXPECT_EQ(ChannelListLines(s, ChannelBand::Private),
              std::vector<std::string>{" M1,TX:157.8500  RX:157.8500        MARINA   "});
    EXPECT_EQ(ChannelListLines(s, ChannelBand::CAN), BuiltInListLines(ChannelBand::CAN));
    EXPECT_EQ(ChannelListLines(s, ChannelBand::CAN).size(), 63u);
}

TEST(ChannelListTest, BandComboListsTickedBandsWithPrivateLast) {
    std::array<bool, kBandCount> ticked{};
    EXPECT_TRUE(BandComboEntries(ticked).empty());

    ticked[static_cast<int>(ChannelBand::INT)] = true;
    EXPECT_EQ(BandComboEntries(ticked), std::vector<std::string>{"INT"});

    ticked = {};
    ticked[static_cast<int>(ChannelBand::Private)] = true;
    ticked[static_cast<int>(ChannelBand::WX)] = true;
    ticked[static_cast<int>(ChannelBand::USA_Narrow)] = true;
    EXPECT_EQ(BandComboEntries(ticked),
              (std::vector<std::string>{"USA_Narrow", "WX", "Private"}));

    ticked.fill(true);
    EXPECT_EQ(BandComboEntries(ticked),
              (std::vector<std::string>{"INT", "USA", "CAN", "INT_Narrow", "USA_Narrow",
                                        "CAN_Narrow", "WX", "Private"}));
}

TEST(ChannelListTest, ComboTextMapsBackToItsBand) {
    std::array<bool, kBandCount> ticked{};
    for (int b = 0; b < kBandCount; ++b) {
        ticked = {};
        ticked[b] = true;
        const auto entries = BandComboEntries(ticked);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(BandOfName(entries[0]), static_cast<ChannelBand>(b)) << entries[0];
    }
    EXPECT_EQ(BandOfName("xyz"), ChannelBand::INT);
    EXPECT_EQ(BandOfName(""), ChannelBand::INT);
    EXPECT_EQ(BandOfName("CAN_Narrow band"), ChannelBand::CAN_Narrow);
}

}  // namespace
}  // namespace orven
