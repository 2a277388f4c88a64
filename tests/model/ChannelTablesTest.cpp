#include "model/ChannelTables.h"

#include <gtest/gtest.h>

#include <vector>

namespace orven {
namespace {

// Raw values worked out by hand from the channel plan: tx = MHz / 0.00625,
// rx = MHz / 0.0125 - 1572, tx 0 for a receive-only channel.
TEST(ChannelTablesTest, EntriesHoldTheirRawValues) {
    struct Spot { std::span<const PresetRecord> table; std::size_t index; int number, tx, rx, usage; };
    const Spot spots[] = {
        {TableOfBand(ChannelBand::INT), 0, 1, 24968, 11280, 30},    // 156.0500 / 160.6500
        {TableOfBand(ChannelBand::USA), 12, 15, 0, 10968, 32},      // rx 156.7500
        // 156.6250: not 156.5125 as its neighbours suggest.
        {TableOfBand(ChannelBand::USA_Narrow), 7, 410, 25060, 10958, 0},
        {PresetTable(6), 1, 37, 25256, 11056, 34},   // 157.8500
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
    EXPECT_TRUE(TableOfBand(static_cast<ChannelBand>(8)).empty());
    EXPECT_TRUE(PresetTable(kCountryNone).empty());
}

// Each narrow table is its wide table twice: first as 4xx channels 12.5 kHz higher (no usage),
// then unchanged as 2xx channels. This cross-checks every entry of the six tables.
void ExpectNarrowFollowsWide(ChannelBand narrowBand, ChannelBand wideBand,
                             std::size_t oddEntry = static_cast<std::size_t>(-1)) {
    const auto narrow = TableOfBand(narrowBand);
    const auto wide = TableOfBand(wideBand);
    ASSERT_GT(narrow.size(), wide.size());
    const std::size_t shifted = narrow.size() - wide.size();
    for (std::size_t i = 0; i < narrow.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "entry " << i);
        const PresetRecord& n = narrow[i];
        const PresetRecord& w = wide[i < shifted ? i : i - shifted];
        EXPECT_EQ(n.number, w.number + (i < shifted ? 400 : 200));
        EXPECT_EQ(n.usage, i < shifted ? 0 : w.usage);
        if (i == oddEntry) continue;
        const int txUp = i < shifted && w.txValue != 0 ? 2 : 0;  // 2 x 6.25 kHz
        EXPECT_EQ(n.txValue, w.txValue + txUp);
        EXPECT_EQ(n.rxValue, w.rxValue + (i < shifted ? 1 : 0));  // 1 x 12.5 kHz
    }
}

TEST(ChannelTablesTest, NarrowTablesRepeatTheWideTables) {
    ExpectNarrowFollowsWide(ChannelBand::INT_Narrow, ChannelBand::INT);
    ExpectNarrowFollowsWide(ChannelBand::USA_Narrow, ChannelBand::USA, 7);
    ExpectNarrowFollowsWide(ChannelBand::CAN_Narrow, ChannelBand::CAN);
}

TEST(ChannelTablesTest, WalkStopsWhereThePositionsBreakOrAtTheLimit) {
    std::vector<PresetRecord> table(130);
    for (std::size_t i = 0; i < table.size(); ++i) table[i].position = static_cast<std::uint8_t>(i);
    EXPECT_EQ(WalkTable(table, kMaxBandEntries).size(), 128u);
    table[3].position = 5;
    EXPECT_EQ(WalkTable(table, kMaxBandEntries).size(), 3u);
}

}  // namespace
}  // namespace orven
