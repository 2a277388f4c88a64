#include "model/ChannelList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace orven {
namespace {

const std::string kBlankUsage(16, ' ');

// Built-in lines: 125 Hz arithmetic rounded down, channel 20 twice in table order, and a
// receive-only WX channel. The INT list's first line is pinned end to end by the CLI test.
TEST(ChannelListTest, BuiltInLinesPrintNumberFrequenciesAndUsage) {
    const auto usaLines = BuiltInListLines(ChannelBand::USA);
    ASSERT_EQ(usaLines.size(), 53u);
    EXPECT_EQ(usaLines[17], "20, TX:157.0000  RX:161.6000, PORT OPERATION ");
    EXPECT_EQ(usaLines[18], "20, TX:157.0000  RX:157.0000, PORT OPERATION ");
    EXPECT_EQ(BuiltInListLines(ChannelBand::WX)[9], "10, TX:0.0000  RX:163.2750,  163.275000Mhz ");
    EXPECT_EQ(BuiltInListLines(ChannelBand::INT_Narrow)[0], "401, TX:156.0625  RX:160.6625," + kBlankUsage);
}

// The list runs from the first private slot up to the first slot not in use or whose label has
// a third character (a label without a NUL has one).
TEST(ChannelListTest, PrivateLinesAndWhereTheListEnds) {
    auto s = std::make_unique<RadioSettings>();
    for (std::size_t i = 0; i < kMaxPrivateChannels; ++i) {
        ChannelRecord& r = PrivateChannel(*s, i);
        CopyText(r.label, std::to_string(i).c_str());
        r.txMHz = r.rxMHz = 156.0;
        r.usage = 11;
        r.inUse = 1;
    }
    PrivateChannel(*s, 1).txMHz = 0.0;
    PrivateChannel(*s, 2).usage = 200;                      // beyond the usage table
    std::memcpy(PrivateChannel(*s, 3).label, "A\0XY", 4);  // text after the NUL is not shown

    auto lines = ChannelListLines(*s, ChannelBand::Private);
    ASSERT_EQ(lines.size(), 100u);
    EXPECT_EQ(lines[1], "  1,TX:  0.0000  RX:156.0000  PORT OPERATION ");
    EXPECT_EQ(lines[2], "  2,TX:156.0000  RX:156.0000 " + kBlankUsage);
    EXPECT_EQ(lines[3], "  A,TX:156.0000  RX:156.0000  PORT OPERATION ");

    std::memcpy(PrivateChannel(*s, 40).label, "ABCD", 4);
    EXPECT_EQ(PrivateListLines(*s).size(), 40u);
    PrivateChannel(*s, 5).inUse = 0;
    EXPECT_EQ(PrivateListLines(*s).size(), 5u);
}

}  // namespace
}  // namespace orven
