#include "model/ChannelList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
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

TEST(ChannelListTest, DisplayArithmeticWorksInWholeHundredsOfHertz) {
    PresetRecord e{};
    e.txValue = 25088;  // 156.8000 MHz: 25088 * 125 / 2 = 1568000
    e.rxValue = 10972;  // (10972 + 1572) * 125 = 1568000
    EXPECT_EQ(DisplayTx(e), 1568000);
    EXPECT_EQ(DisplayRx(e), 1568000);

    e.txValue = 24971;  // 24971 * 125 / 2 = 1560687.5, rounded down
    EXPECT_EQ(DisplayTx(e), 1560687);
    e.rxValue = 0;      // 1572 * 125 = 196500: 19.65 MHz
    EXPECT_EQ(DisplayRx(e), 196500);
}

TEST(ChannelListTest, BuiltInLinesPrintNumberFrequenciesAndUsage) {
    const auto intLines = BuiltInListLines(ChannelBand::INT);
    ASSERT_EQ(intLines.size(), 57u);
    EXPECT_EQ(intLines[15], "16, TX:156.8000  RX:156.8000,      DISTRESS  ");

    const auto wxLines = BuiltInListLines(ChannelBand::WX);
    ASSERT_EQ(wxLines.size(), 10u);
    EXPECT_EQ(wxLines[9], "10, TX:0.0000  RX:163.2750,  163.275000Mhz ");

    const auto narrowLines = BuiltInListLines(ChannelBand::INT_Narrow);
    ASSERT_EQ(narrowLines.size(), 113u);
    EXPECT_EQ(narrowLines[0], "401, TX:156.0625  RX:160.6625," + kBlankUsage);

    // Channel 20 twice, duplex then simplex, in table order.
    const auto usaLines = BuiltInListLines(ChannelBand::USA);
    ASSERT_EQ(usaLines.size(), 53u);
    EXPECT_EQ(usaLines[17], "20, TX:157.0000  RX:161.6000, PORT OPERATION ");
    EXPECT_EQ(usaLines[18], "20, TX:157.0000  RX:157.0000, PORT OPERATION ");

    EXPECT_EQ(BuiltInListLines(ChannelBand::CAN).size(), 63u);
    EXPECT_TRUE(BuiltInListLines(ChannelBand::Private).empty());
}

// The list runs from the first private slot up to the first slot not in use or whose label has
// a third character (a label without a NUL has one), and at most over the whole block.
TEST(ChannelListTest, PrivateLinesAndWhereTheListEnds) {
    auto s = std::make_unique<RadioSettings>();
    for (std::size_t i = 0; i < kMaxPrivateChannels; ++i)
        SetPrivate(*s, i, std::to_string(i).c_str(), 156.0, 156.0, 11);
    SetPrivate(*s, 0, "M1", 157.85, 157.85, 33);
    SetPrivate(*s, 1, "7", 0.0, 162.55, 0);
    SetPrivate(*s, 2, "", 1e20, 157.0, 200);  // no label, absurd TX, usage beyond the table
    std::memcpy(PrivateChannel(*s, 3).label, "A\0XY", 4);  // text after the NUL is not shown
    s->bandPrivate = 0;  // the band's switch is the caller's business

    auto lines = ChannelListLines(*s, ChannelBand::Private);
    ASSERT_EQ(lines.size(), 100u);
    EXPECT_EQ(lines[0], " M1,TX:157.8500  RX:157.8500        MARINA   ");
    EXPECT_EQ(lines[1], "  7,TX:  0.0000  RX:162.5500 " + kBlankUsage);
    EXPECT_EQ(lines[2], "   ,TX:100000000000000000000.0000  RX:157.0000 " + kBlankUsage);
    EXPECT_EQ(lines[3], "  A,TX:156.0000  RX:156.0000  PORT OPERATION ");
    EXPECT_EQ(lines[99], " 99,TX:156.0000  RX:156.0000  PORT OPERATION ");

    std::memcpy(PrivateChannel(*s, 40).label, "ABCD", 4);
    EXPECT_EQ(PrivateListLines(*s).size(), 40u);
    CopyText(PrivateChannel(*s, 20).label, "F12");
    EXPECT_EQ(PrivateListLines(*s).size(), 20u);
    PrivateChannel(*s, 5).inUse = 0;
    EXPECT_EQ(PrivateListLines(*s).size(), 5u);
    PrivateChannel(*s, 0).inUse = 0;
    EXPECT_TRUE(PrivateListLines(*s).empty());
}

TEST(ChannelListTest, BandComboListsTickedBandsWithPrivateLastAndMapsBack) {
    std::array<bool, kBandCount> ticked{};
    EXPECT_TRUE(BandComboEntries(ticked).empty());
    ticked.fill(true);
    EXPECT_EQ(BandComboEntries(ticked),
              (std::vector<std::string>{"INT", "USA", "CAN", "INT_Narrow", "USA_Narrow",
                                        "CAN_Narrow", "WX", "Private"}));
    for (int b = 0; b < kBandCount; ++b) {
        ticked = {};
        ticked[b] = true;
        const auto entries = BandComboEntries(ticked);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(BandOfName(entries[0]), static_cast<ChannelBand>(b)) << entries[0];
    }
    EXPECT_EQ(BandOfName("xyz"), ChannelBand::INT);
    EXPECT_EQ(BandOfName("CAN_Narrow band"), ChannelBand::CAN_Narrow);
}

}  // namespace
}  // namespace orven
