#include "model/ChannelTables.h"

#include <gtest/gtest.h>

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
        {TableOfBand(ChannelBand::INT_Narrow), 0, 401, 24970, 11281, 0},      // 156.0625 / 160.6625
        {TableOfBand(ChannelBand::INT_Narrow), 112, 288, 25188, 11022, 30},   // 157.4250 simplex
        {TableOfBand(ChannelBand::CAN_Narrow), 62, 201, 24968, 11280, 30},    // 156.0500 / 160.6500
        {TableOfBand(ChannelBand::CAN_Narrow), 21, 421, 0, 11361, 0},         // rx-only 161.6625
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

}  // namespace
}  // namespace orven
