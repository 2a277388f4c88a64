#include "model/ChannelTables.h"

#include "model/UsageNameTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace orven {
namespace {

// Raw values worked out by hand from the channel plan: tx = MHz / 0.00625,
// rx = MHz / 0.0125 - 1572, tx 0 for a receive-only channel. An entry of each kind, the one
// entry the cross-check below skips, and the country tables no other test reaches.
TEST(ChannelTablesTest, EntriesHoldTheirRawValues) {
    struct Spot { std::span<const PresetRecord> table; std::size_t index; int number, tx, rx, usage; };
    const Spot spots[] = {
        {TableOfBand(ChannelBand::INT), 0, 1, 24968, 11280, 30},    // 156.0500 / 160.6500
        {TableOfBand(ChannelBand::USA), 12, 15, 0, 10968, 32},      // rx 156.7500
        {TableOfBand(ChannelBand::USA), 18, 20, 25120, 10988, 11},  // 20 simplex after 20 duplex
        // 156.6250: not 156.5125 as its neighbours suggest.
        {TableOfBand(ChannelBand::USA_Narrow), 7, 410, 25060, 10958, 0},
        {PresetTable(3), 5, 113, 24904, 10880, 34},  // 155.6500
        {PresetTable(4), 5, 113, 24904, 10880, 34},
        {PresetTable(5), 5, 113, 24904, 10880, 34},
        {PresetTable(6), 1, 37, 25256, 11056, 34},   // 157.8500
        {PresetTable(7), 0, 31, 25208, 11400, 33},   // 157.5500 / 162.1500
    };
    for (const Spot& s : spots) {
        SCOPED_TRACE(testing::Message() << "channel " << s.number);
        ASSERT_LT(s.index, s.table.size());
        const PresetRecord& e = s.table[s.index];
        EXPECT_EQ(e.position, s.index);
        EXPECT_EQ(e.number, s.number);
        EXPECT_EQ(e.txValue, s.tx);
        EXPECT_EQ(e.rxValue, s.rx);
        EXPECT_EQ(e.usage, s.usage);
    }
    EXPECT_TRUE(TableOfBand(ChannelBand::Private).empty());
    EXPECT_TRUE(TableOfBand(static_cast<ChannelBand>(8)).empty());
    EXPECT_TRUE(TableOfBand(static_cast<ChannelBand>(-1)).empty());
    EXPECT_EQ(CountryName(kCountryNone), "None");
    EXPECT_TRUE(PresetTable(kCountryNone).empty());
    EXPECT_TRUE(CountryName(-1).empty());
    EXPECT_TRUE(CountryName(kCountryCount).empty());
}

// Each narrow table is its wide table twice: first as 4xx channels 12.5 kHz higher (up to 87, no
// usage), then unchanged as 2xx channels. This cross-checks every entry of the six tables.
void ExpectNarrowFollowsWide(ChannelBand narrowBand, ChannelBand wideBand,
                             std::size_t oddEntry = static_cast<std::size_t>(-1)) {
    const auto narrow = TableOfBand(narrowBand);
    const auto wide = TableOfBand(wideBand);
    ASSERT_GT(narrow.size(), wide.size());
    const std::size_t shifted = narrow.size() - wide.size();
    for (std::size_t i = 0; i < shifted; ++i) {
        SCOPED_TRACE(testing::Message() << "4xx entry " << i);
        const PresetRecord& n = narrow[i];
        const PresetRecord& w = wide[i];
        EXPECT_EQ(n.number, w.number + 400);
        EXPECT_EQ(n.usage, 0);
        if (i == oddEntry) continue;
        EXPECT_EQ(n.txValue, w.txValue == 0 ? 0 : w.txValue + 2);  // 2 x 6.25 kHz
        EXPECT_EQ(n.rxValue, w.rxValue + 1);                        // 1 x 12.5 kHz
    }
    EXPECT_EQ(narrow[shifted - 1].number, 487);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "2xx entry " << i);
        const PresetRecord& n = narrow[shifted + i];
        const PresetRecord& w = wide[i];
        EXPECT_EQ(n.number, w.number + 200);
        EXPECT_EQ(n.txValue, w.txValue);
        EXPECT_EQ(n.rxValue, w.rxValue);
        EXPECT_EQ(n.usage, w.usage);
    }
}

TEST(ChannelTablesTest, NarrowTablesRepeatTheWideTables) {
    ExpectNarrowFollowsWide(ChannelBand::INT_Narrow, ChannelBand::INT);
    ExpectNarrowFollowsWide(ChannelBand::USA_Narrow, ChannelBand::USA, 7);
    ExpectNarrowFollowsWide(ChannelBand::CAN_Narrow, ChannelBand::CAN);
}

TEST(ChannelTablesTest, EveryEntryIsAMarineFrequencyWithAKnownUsage) {
    std::vector<std::span<const PresetRecord>> tables;
    for (int b = 0; b < kBandCount; ++b) tables.push_back(TableOfBand(static_cast<ChannelBand>(b)));
    for (int c = 0; c < kCountryNone; ++c) tables.push_back(PresetTable(c));
    for (const auto& table : tables) {
        for (const PresetRecord& e : table) {
            SCOPED_TRACE(testing::Message() << "channel " << e.number);
            // TX 155.4500 MHz (preset C0) to 162.4250 MHz (preset 96); RX up to 163.2750 (WX 10).
            EXPECT_TRUE(e.txValue == 0 || (e.txValue >= 24872 && e.txValue <= 25988));
            EXPECT_GE(e.rxValue, 10864);
            EXPECT_LE(e.rxValue, 11490);
            EXPECT_LT(e.usage, kUsageNameCount);
        }
    }
}

TEST(ChannelTablesTest, WalkStopsWhereThePositionsBreakOrAtTheLimit) {
    std::vector<PresetRecord> table(130);
    for (std::size_t i = 0; i < table.size(); ++i) table[i].position = static_cast<std::uint8_t>(i);
    EXPECT_EQ(WalkTable(table, kMaxBandEntries).size(), 128u);
    EXPECT_EQ(WalkTable(table, kMaxPresetEntries).size(), 50u);

    table[3].position = 5;  // 0, 1, 2, 5, 4, ...: the count breaks at the fourth entry
    EXPECT_EQ(WalkTable(table, kMaxBandEntries).size(), 3u);
    table[0].position = 1;
    EXPECT_TRUE(WalkTable(table, kMaxBandEntries).empty());
    EXPECT_TRUE(WalkTable({}, kMaxBandEntries).empty());
}

}  // namespace
}  // namespace orven
