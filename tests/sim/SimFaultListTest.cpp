// The simulated radio's fault switches as a list, the way `simulate --faults` and the web
// edition's test port take them.
#include "sim/SimFaultList.h"

#include <gtest/gtest.h>

namespace orven {
namespace {

TEST(SimFaultList, NumbersAreDecimalOrHexadecimalAndAStuckAddressLiesInTheCloneRange) {
    // stuck 0: refused with the error.
    const struct { const char* faults; std::uint16_t stuck; const char* error; } cases[] = {
        {"stuck=0x0123,noise=5", 0x0123, ""},
        {"stuck=1791", 0x06FF, ""},
        {"stuck=70000", 0, "fault stuck needs an address from 0x0100 to 0x06FF, not '70000'"},
        {"stuck=0xFF", 0, "fault stuck needs an address from 0x0100 to 0x06FF, not '0xFF'"},
        {"noise=0x", 0, "fault noise needs a number (noise=N)"},
    };
    for (const auto& c : cases) {
        SimFaults faults;
        std::string error;
        EXPECT_EQ(ParseFaults(c.faults, faults, error), c.stuck != 0) << c.faults;
        EXPECT_EQ(faults.stuckAddress.value_or(0), c.stuck) << c.faults;
        EXPECT_EQ(error, c.error) << c.faults;
    }
}

// A repeated byte of the reply: the last one repeated is a byte trailing a good frame.
TEST(SimFaultList, ARepeatedByteLiesWithinTheReplyAndAnythingRefusedChangesNothing) {
    SimFaults faults;
    std::string error;
    ASSERT_TRUE(ParseFaults("repeat=31,first=2", faults, error)) << error;
    EXPECT_EQ(faults.lineFault.kind, LineFault::Kind::Duplicate);
    EXPECT_EQ(faults.lineFault.at, 31u);
    EXPECT_EQ(faults.scope.firstFrames, 2u);
    const std::uint8_t reply[3] = {'$', 'R', 0x42};
    faults.lineFault.at = 2;
    EXPECT_EQ(faults.lineFault.Apply(reply, 3), (std::vector<std::uint8_t>{'$', 'R', 0x42, 0x42}));

    for (const char* refused : {"no-echo,repeat=32", "no-echo,repeat", "no-echo,repeat=x"}) {
        SimFaults untouched;
        EXPECT_FALSE(ParseFaults(refused, untouched, error)) << refused;
        EXPECT_EQ(error, "fault repeat needs a byte of the reply from 0 to 31") << refused;
        EXPECT_FALSE(untouched.noEcho) << refused;
    }
}

TEST(SimFaultList, AGarbledEchoNamesAByteOfTheEchoAndEveryLimitsTheFramesHit) {
    SimFaults faults;
    std::string error;
    ASSERT_TRUE(ParseFaults("garbled-echo=0x1F,every=4", faults, error)) << error;
    EXPECT_EQ(faults.garbledEchoByte, 31u);
    EXPECT_FALSE(faults.scope.Hits(3));
    EXPECT_TRUE(faults.scope.Hits(8));
    EXPECT_FALSE(ParseFaults("garbled-echo=32", faults, error));
    EXPECT_EQ(error, "fault garbled-echo needs a byte of the echo from 0 to 31");
}

}  // namespace
}  // namespace orven
