#include "model/ChannelTables.h"

#include "model/UsageNameTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace orven {
namespace {

// Raw values below are worked out by hand from the channel plan:
//   tx = MHz / 0.00625, rx = MHz / 0.0125 - 1572, tx 0 for a receive-only channel.
struct Expected {
    std::size_t index;
    int number;
    int tx;
    int rx;
    int usage;
};

void ExpectEntries(std::span<const PresetRecord> table, const std::vector<Expected>& wanted) {
    for (const Expected& w : wanted) {
        SCOPED_TRACE(testing::Message() << "entry " << w.index << " (" << w.number << ")");
        ASSERT_LT(w.index, table.size());
        const PresetRecord& e = table[w.index];
        EXPECT_EQ(e.position, w.index);
        EXPECT_EQ(e.number, w.number);
        EXPECT_EQ(e.txValue, w.tx);
        EXPECT_EQ(e.rxValue, w.rx);
        EXPECT_EQ(e.usage, w.usage);
    }
}

TEST(ChannelTablesTest, BandTablesHaveTheirEntryCounts) {
    EXPECT_EQ(TableOfBand(ChannelBand::INT).size(), 57u);
    EXPECT_EQ(TableOfBand(ChannelBand::USA).size(), 53u);
    EXPECT_EQ(TableOfBand(ChannelBand::CAN).size(), 63u);
    EXPECT_EQ(TableOfBand(ChannelBand::INT_Narrow).size(), 113u);
    EXPECT_EQ(TableOfBand(ChannelBand::USA_Narrow).size(), 104u);
    EXPECT_EQ(TableOfBand(ChannelBand::CAN_Narrow).size(), 125u);
    EXPECT_EQ(TableOfBand(ChannelBand::WX).size(), 10u);
    EXPECT_TRUE(TableOfBand(ChannelBand::Private).empty());
    EXPECT_TRUE(TableOfBand(static_cast<ChannelBand>(8)).empty());
    EXPECT_TRUE(TableOfBand(static_cast<ChannelBand>(-1)).empty());
}

TEST(ChannelTablesTest, CountryPresetsHaveTheirEntryCountsAndNames) {
    const std::vector<std::pair<const char*, std::size_t>> countries = {
        {"All", 28}, {"UK", 2},     {"Denmark", 5}, {"Finland", 6}, {"Norway", 6},
        {"Sweden", 6}, {"Holland", 2}, {"Belgium", 2}, {"None", 0}};
    ASSERT_EQ(countries.size(), static_cast<std::size_t>(kCountryCount));
    for (int c = 0; c < kCountryCount; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(CountryName(c), countries[c].first);
        EXPECT_EQ(PresetTable(c).size(), countries[c].second);
    }
    EXPECT_TRUE(PresetTable(kCountryNone).empty());
    EXPECT_TRUE(PresetTable(-1).empty());
    EXPECT_TRUE(PresetTable(9).empty());
    EXPECT_TRUE(CountryName(-1).empty());
    EXPECT_TRUE(CountryName(9).empty());
}

TEST(ChannelTablesTest, WideBandSpotEntries) {
    ExpectEntries(TableOfBand(ChannelBand::INT), {
        {0, 1, 24968, 11280, 30},    // 156.0500 / 160.6500
        {15, 16, 25088, 10972, 17},  // 156.8000
        {28, 60, 24964, 11278, 30},  // 156.0250 / 160.6250
        {56, 88, 25188, 11022, 30},  // 157.4250
    });
    ExpectEntries(TableOfBand(ChannelBand::USA), {
        {0, 1, 24968, 10912, 12},    // 156.0500
        {12, 15, 0, 10968, 32},      // rx 156.7500
        {17, 20, 25120, 11356, 11},  // 157.0000 / 161.6000, then the same channel simplex
        {18, 20, 25120, 10988, 11},  // 157.0000
        {51, 88, 25188, 11390, 30},  // 157.4250 / 162.0250, then simplex
        {52, 88, 25188, 11022, 21},  // 157.4250
    });
    ExpectEntries(TableOfBand(ChannelBand::CAN), {
        {20, 21, 25128, 10992, 26},  // 157.0500
        {21, 21, 0, 11360, 11},      // rx 161.6500
        {55, 83, 25148, 11370, 28},  // 157.1750 / 161.7750
        {56, 83, 25148, 11002, 26},  // 157.1750
        {57, 83, 0, 11370, 28},      // rx 161.7750
        {62, 88, 25188, 11390, 30},  // 157.4250 / 162.0250
    });
    ExpectEntries(TableOfBand(ChannelBand::WX), {
        {0, 1, 0, 11432, 1},    // rx 162.5500
        {9, 10, 0, 11490, 10},  // rx 163.2750
    });
}

TEST(ChannelTablesTest, NarrowBandSpotEntries) {
    ExpectEntries(TableOfBand(ChannelBand::INT_Narrow), {
        {0, 401, 24970, 11281, 0},    // 156.0625 / 160.6625
        {55, 487, 25182, 11019, 0},   // 157.3875
        {56, 201, 24968, 11280, 30},  // 156.0500 / 160.6500
        {112, 288, 25188, 11022, 30}, // 157.4250
    });
    ExpectEntries(TableOfBand(ChannelBand::USA_Narrow), {
        {7, 410, 25060, 10958, 0},   // 156.6250: not 156.5125 like its neighbours suggest
        {12, 415, 0, 10969, 0},      // rx 156.7625
        {103, 288, 25188, 11022, 21},
    });
    ExpectEntries(TableOfBand(ChannelBand::CAN_Narrow), {
        {21, 421, 0, 11361, 0},       // rx 161.6625
        {55, 483, 25150, 11371, 0},   // 157.1875 / 161.7875
        {56, 483, 25150, 11003, 0},   // 157.1875
        {57, 483, 0, 11371, 0},       // rx 161.7875
    });
}

TEST(ChannelTablesTest, CountryPresetSpotEntries) {
    ExpectEntries(PresetTable(0), {
        {0, 31, 25208, 11400, 33},   // 157.5500 / 162.1500
        {2, 96, 25988, 11422, 33},   // 162.4250
        {27, 149, 24956, 10906, 28}, // 155.9750
    });
    ExpectEntries(PresetTable(1), {
        {0, 121, 25256, 11056, 33},  // 157.8500
        {1, 122, 25828, 11342, 33},  // 161.4250
    });
    ExpectEntries(PresetTable(2), {
        {0, 101, 24900, 10878, 35},  // 155.6250
        {1, 102, 24924, 10890, 35},  // 155.7750
        {4, 112, 24884, 10870, 34},  // 155.5250
    });
    for (int nordic = 3; nordic <= 5; ++nordic) {
        SCOPED_TRACE(CountryName(nordic));
        ExpectEntries(PresetTable(nordic), {{5, 113, 24904, 10880, 34}});  // 155.6500
    }
    ExpectEntries(PresetTable(6), {{1, 37, 25256, 11056, 34}});
    ExpectEntries(PresetTable(7), {{0, 31, 25208, 11400, 33}, {1, 96, 25988, 11422, 33}});
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
    EXPECT_EQ(WalkTable(std::span(table).first(20), kMaxBandEntries).size(), 20u);

    table[3].position = 5;  // 0, 1, 2, 5, 4, ...: the count breaks at the fourth entry
    EXPECT_EQ(WalkTable(table, kMaxBandEntries).size(), 3u);
    table[0].position = 1;
    EXPECT_TRUE(WalkTable(table, kMaxBandEntries).empty());
    EXPECT_TRUE(WalkTable({}, kMaxBandEntries).empty());
}

}  // namespace
}  // namespace orven
