// The engine and soak tests run the simulated radio through whole transfers with every fault
// switch; what is left here is what a correct PC never sends, and the fault scopes.
#include "sim/SimulatedRadio.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

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
    CloneFrame badPrefix = MakeWriteFrame(0x0100, data, 20);
    badPrefix.prefix[6] = ';';
    CloneFrame unknown = MakeReadFrame(0x0100, 20);
    unknown.letter = 'X';
    SealFrame(unknown);
    struct Case { const char* name; CloneFrame frame; bool answered; };
    const Case cases[] = {
        {"read ending at 0x2000", MakeReadFrame(0x1FEC, 20), true},
        {"read of the last byte", MakeReadFrame(0x1FFF, 1), true},
        {"read past 0x2000", MakeReadFrame(0x1FED, 20), false},
        {"read at 0xFFFF", MakeReadFrame(0xFFFF, 1), false},
        {"read of 0 bytes", MakeReadFrame(0x0100, 0), false},
        {"read of 21 bytes", MakeReadFrame(0x0100, 21), false},
        {"write past 0x2000", MakeWriteFrame(0x1FF0, data, 20), false},
        {"bad checksum", badChecksum, false},
        {"bad prefix", badPrefix, false},
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

TEST(SimulatedRadioTest, WriteStoresLengthBytesAndAcknowledgesAllTwentyDataBytes) {
    SimulatedRadio radio;
    FillMemory(radio);
    // Padding that is not zero must still come back exactly, and must not be stored.
    std::uint8_t bytes[kFrameDataSize];
    std::iota(std::begin(bytes), std::end(bytes), std::uint8_t{0xE0});
    CloneFrame w = MakeWriteFrame(0x0200, bytes, 16);
    std::memcpy(w.data, bytes, sizeof bytes);
    SealFrame(w);
    const std::uint8_t after = radio.Memory()[0x0210];

    const auto ack = radio.Answer(FrameBytes(w));
    ASSERT_TRUE(ack);
    EXPECT_TRUE(CheckReply(FrameBytes(*ack), ReplyCheck::Checksum));
    EXPECT_TRUE(CheckReply(FrameBytes(*ack), ReplyCheck::WriteAck, FrameBytes(w)));
    EXPECT_TRUE(CheckReply(FrameBytes(*ack), ReplyCheck::Answers, FrameBytes(w)));
    EXPECT_EQ(std::memcmp(radio.Memory().data() + 0x0200, bytes, 16), 0);
    EXPECT_EQ(radio.Memory()[0x0210], after);

    // A wrong acknowledgement spoils the acknowledgement alone: the write is stored and a read
    // carries the memory as it is.
    radio.Faults().wrongAck = true;
    const CloneFrame write = MakeWriteFrame(0x0100, bytes, 3);
    const auto wrong = radio.Exchange(FrameBytes(write)).reply;
    ASSERT_TRUE(wrong);
    EXPECT_FALSE(CheckReply(FrameBytes(*wrong), ReplyCheck::WriteAck, FrameBytes(write)));
    const auto read = radio.Exchange(FrameBytes(MakeReadFrame(0x0100, 3))).reply;
    ASSERT_TRUE(read);
    EXPECT_EQ(std::memcmp(read->data, bytes, 3), 0);
}

// Frames are numbered from 1; with both limits at 0 every frame is hit.
TEST(SimulatedRadioTest, ScopeLimitsFaultsToChosenFrames) {
    struct Case { FaultScope scope; std::vector<bool> hits; };
    const Case cases[] = {
        {{}, {true, true, true}},
        {{.onlyFrame = 2}, {false, true, false}},
        {{.firstFrames = 2}, {true, true, false}},
        {{.onlyFrame = 3, .firstFrames = 2}, {false, false, false}},
    };
    for (const Case& c : cases) {
        std::vector<bool> hits;
        for (std::uint32_t frame = 1; frame <= 3; ++frame) hits.push_back(c.scope.Hits(frame));
        EXPECT_EQ(hits, c.hits) << c.scope.onlyFrame << " / " << c.scope.firstFrames;
    }
}

}  // namespace
}  // namespace orven
