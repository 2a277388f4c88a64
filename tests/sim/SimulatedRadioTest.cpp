// The engine and soak tests run the simulated radio through whole transfers with every fault
// switch; what is left here is what a correct PC never sends.
#include "sim/SimulatedRadio.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orven {
namespace {

// Every address holds a different-looking byte.
void FillMemory(SimulatedRadio& radio) {
    for (std::size_t a = 0; a < radio.Memory().size(); ++a)
        radio.Memory()[a] = static_cast<std::uint8_t>(a * 7 + 3);
}

TEST(SimulatedRadioTest, AnswersOnlyWellFormedFramesInsideItsMemory) {
    const std::uint8_t data[kFrameDataSize] = {0};
    CloneFrame badChecksum = MakeWriteFrame(0x0100, data, 20);
    badChecksum.checksum ^= 0x01;
    CloneFrame unknown = MakeReadFrame(0x0100, 20);
    unknown.letter = 'X';
    SealFrame(unknown);
    struct Case { const char* name; CloneFrame frame; bool answered; };
    const Case cases[] = {
        {"read ending at 0x2000", MakeReadFrame(0x1FEC, 20), true},
        {"read past 0x2000", MakeReadFrame(0x1FED, 20), false},
        {"read of 21 bytes", MakeReadFrame(0x0100, 21), false},
        {"write past 0x2000", MakeWriteFrame(0x1FF0, data, 20), false},
        {"bad checksum", badChecksum, false},
        {"unknown letter", unknown, false},
    };
    SimulatedRadio radio;
    FillMemory(radio);
    const RadioImage before = radio.Memory();
    for (const Case& c : cases) EXPECT_EQ(radio.Answer(FrameBytes(c.frame)).has_value(), c.answered) << c.name;
    EXPECT_EQ(radio.Memory(), before);
    EXPECT_EQ(radio.Counters().writes, 0u);

    // A short read comes back padded with zeros.
    const auto last = radio.Answer(FrameBytes(MakeReadFrame(0x1FFF, 1)));
    ASSERT_TRUE(last);
    const std::uint8_t expected[kFrameDataSize] = {before[0x1FFF]};
    EXPECT_EQ(std::memcmp(last->data, expected, kFrameDataSize), 0);
}

}  // namespace
}  // namespace orven
