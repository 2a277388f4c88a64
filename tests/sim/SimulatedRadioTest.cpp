#include "sim/SimulatedRadio.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

namespace orven {
namespace {

bool Valid(const CloneFrame& f) {
    return CheckReply(FrameBytes(f), ReplyCheck::Prefix) &&
           CheckReply(FrameBytes(f), ReplyCheck::Checksum);
}

class SimulatedRadioTest : public ::testing::Test {
protected:
    SimulatedRadioTest() {
        // Every address holds a different-looking byte.
        for (std::size_t a = 0; a < radio.Memory().size(); ++a)
            radio.Memory()[a] = static_cast<std::uint8_t>(a * 7 + 3);
    }

    std::optional<CloneFrame> Ask(const CloneFrame& f) { return radio.Answer(FrameBytes(f)); }
    SimExchange Send(const CloneFrame& f) { return radio.Exchange(FrameBytes(f)); }

    SimulatedRadio radio;
};

TEST_F(SimulatedRadioTest, AnswersIdentify) {
    const auto reply = Ask(MakeIdentifyFrame());
    ASSERT_TRUE(reply);
    EXPECT_TRUE(Valid(*reply));
    EXPECT_EQ(reply->letter, 'A');
    EXPECT_EQ(reply->length, 20);
    EXPECT_EQ(FrameAddress(*reply), 0xFFFF);
    EXPECT_EQ(std::memcmp(reply->data, "ORVEN SIMULATED", 15), 0);
}

TEST_F(SimulatedRadioTest, ReadRepliesWithMemoryAndZeroPadding) {
    const auto full = Ask(MakeReadFrame(0x0100, 20));
    ASSERT_TRUE(full);
    EXPECT_TRUE(Valid(*full));
    EXPECT_EQ(full->letter, 'R');
    EXPECT_EQ(full->length, 20);
    EXPECT_EQ(FrameAddress(*full), 0x0100);
    EXPECT_EQ(std::memcmp(full->data, radio.Memory().data() + 0x0100, 20), 0);

    const auto last = Ask(MakeReadFrame(0x06F0, 16));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->length, 16);
    EXPECT_EQ(std::memcmp(last->data, radio.Memory().data() + 0x06F0, 16), 0);
    for (int i = 16; i < 20; ++i) EXPECT_EQ(last->data[i], 0) << "data byte " << i;
    EXPECT_EQ(radio.Counters().reads, 2u);
}

TEST_F(SimulatedRadioTest, ReadsMustStayInsideMemory) {
    EXPECT_TRUE(Ask(MakeReadFrame(0x1FEC, 20))) << "ends exactly at 0x2000";
    EXPECT_TRUE(Ask(MakeReadFrame(0x1FFF, 1)));
    EXPECT_FALSE(Ask(MakeReadFrame(0x1FED, 20)));
    EXPECT_FALSE(Ask(MakeReadFrame(0xFFFF, 1)));
    EXPECT_FALSE(Ask(MakeReadFrame(0x0100, 0)));
    EXPECT_FALSE(Ask(MakeReadFrame(0x0100, 21)));
}

TEST_F(SimulatedRadioTest, WriteStoresLengthBytesAndAcknowledgesAllTwentyDataBytes) {
    // Padding that is not zero must still come back exactly, and must not be stored.
    std::uint8_t bytes[20];
    std::iota(std::begin(bytes), std::end(bytes), std::uint8_t{0xE0});
    CloneFrame w = MakeWriteFrame(0x0200, bytes, 16);
    std::memcpy(w.data, bytes, 20);
    SealFrame(w);
    const std::uint8_t after = radio.Memory()[0x0210];

    const auto ack = Ask(w);
    ASSERT_TRUE(ack);
    EXPECT_TRUE(Valid(*ack));
    EXPECT_TRUE(CheckReply(FrameBytes(*ack), ReplyCheck::WriteAck, FrameBytes(w)));
    EXPECT_EQ(ack->length, 16);
    EXPECT_EQ(FrameAddress(*ack), 0x0200);
    EXPECT_EQ(std::memcmp(radio.Memory().data() + 0x0200, w.data, 16), 0);
    EXPECT_EQ(radio.Memory()[0x0210], after);
    EXPECT_EQ(radio.Counters().writes, 1u);

    const auto back = Ask(MakeReadFrame(0x0200, 16));
    ASSERT_TRUE(back);
    EXPECT_EQ(std::memcmp(back->data, w.data, 16), 0);
}

TEST_F(SimulatedRadioTest, BadFramesGetNoReplyAndChangeNothing) {
    const RadioImage before = radio.Memory();
    const std::uint8_t data[20] = {0};

    CloneFrame badChecksum = MakeWriteFrame(0x0100, data, 20);
    badChecksum.checksum ^= 0x01;
    CloneFrame badPrefix = MakeWriteFrame(0x0100, data, 20);
    badPrefix.prefix[6] = ';';
    CloneFrame unknown = MakeReadFrame(0x0100, 20);
    unknown.letter = 'X';
    SealFrame(unknown);
    CloneFrame outside = MakeWriteFrame(0x1FF0, data, 20);

    for (const CloneFrame* f : {&badChecksum, &badPrefix, &unknown, &outside})
        EXPECT_FALSE(Ask(*f));
    EXPECT_EQ(radio.Memory(), before);
    EXPECT_EQ(radio.Counters().writes, 0u);
    EXPECT_EQ(radio.Counters().reads, 0u);
}

TEST_F(SimulatedRadioTest, ExchangeNumbersAndLogsEveryFrame) {
    CloneFrame bad = MakeIdentifyFrame();
    bad.checksum = 0;
    const CloneFrame frames[] = {MakeIdentifyFrame(), MakeReadFrame(0x0100, 20), bad};
    for (std::uint32_t i = 0; i < 3; ++i) EXPECT_EQ(Send(frames[i]).frameNumber, i + 1);

    EXPECT_EQ(radio.Counters().frames, 3u);
    EXPECT_EQ(radio.Counters().identifies, 1u);
    EXPECT_EQ(radio.Counters().reads, 1u);
    ASSERT_EQ(radio.Log().size(), 3u);
    EXPECT_EQ(std::memcmp(&radio.Log()[2], &bad, kFrameSize), 0);

    radio.ClearHistory();
    EXPECT_EQ(radio.Counters().frames, 0u);
    EXPECT_TRUE(radio.Log().empty());
}

TEST_F(SimulatedRadioTest, CorruptingFaultsSpoilOnlyWhatTheyName) {
    const std::uint8_t data[20] = {9, 8, 7};
    const CloneFrame write = MakeWriteFrame(0x0100, data, 3);

    radio.Faults().badChecksum = true;
    auto ex = Send(MakeReadFrame(0x0100, 20));
    ASSERT_TRUE(ex.reply);
    EXPECT_TRUE(CheckReply(FrameBytes(*ex.reply), ReplyCheck::Prefix));
    EXPECT_FALSE(CheckReply(FrameBytes(*ex.reply), ReplyCheck::Checksum));

    radio.Faults() = {};
    radio.Faults().badPrefix = true;
    ex = Send(MakeReadFrame(0x0100, 20));
    ASSERT_TRUE(ex.reply);
    EXPECT_EQ(std::memcmp(ex.reply->prefix, "$R", 2), 0) << "still found as a frame start";
    EXPECT_FALSE(CheckReply(FrameBytes(*ex.reply), ReplyCheck::Prefix));
    EXPECT_TRUE(CheckReply(FrameBytes(*ex.reply), ReplyCheck::Checksum));

    radio.Faults() = {};
    radio.Faults().wrongAck = true;
    ex = Send(write);
    ASSERT_TRUE(ex.reply);
    EXPECT_TRUE(Valid(*ex.reply));
    EXPECT_FALSE(CheckReply(FrameBytes(*ex.reply), ReplyCheck::WriteAck, FrameBytes(write)));
    EXPECT_EQ(radio.Memory()[0x0102], 7) << "the write itself was stored";
    ex = Send(MakeReadFrame(0x0100, 3));
    ASSERT_TRUE(ex.reply);
    EXPECT_EQ(std::memcmp(ex.reply->data, data, 3), 0) << "reads are not acknowledgements";
}

TEST_F(SimulatedRadioTest, SilenceFaults) {
    const std::uint8_t data[20] = {0x42};
    radio.Faults().noRadio = true;
    auto ex = Send(MakeWriteFrame(0x0100, data, 1));
    EXPECT_TRUE(ex.echo);
    EXPECT_FALSE(ex.reply);
    EXPECT_NE(radio.Memory()[0x0100], 0x42) << "a silent radio stores nothing";

    radio.Faults() = {};
    radio.Faults().noEcho = true;
    EXPECT_FALSE(radio.EchoesNextFrame());
    ex = Send(MakeIdentifyFrame());
    EXPECT_FALSE(ex.echo);
    EXPECT_FALSE(ex.reply);

    radio.Faults() = {};
    radio.ClearHistory();
    radio.Faults().silentAfterFrames = 2;
    EXPECT_TRUE(Send(MakeIdentifyFrame()).reply);
    EXPECT_TRUE(Send(MakeIdentifyFrame()).reply);
    ex = Send(MakeIdentifyFrame());
    EXPECT_TRUE(ex.echo) << "the adaptor still echoes";
    EXPECT_FALSE(ex.reply);
}

TEST_F(SimulatedRadioTest, ScopeLimitsFaultsToChosenFrames) {
    radio.Faults().badChecksum = true;
    radio.Faults().noiseBytes = 4;
    radio.Faults().scope.onlyFrame = 2;
    std::vector<bool> good;
    std::vector<std::size_t> noise;
    for (int i = 0; i < 3; ++i) {
        const auto ex = Send(MakeIdentifyFrame());
        good.push_back(ex.reply && Valid(*ex.reply));
        noise.push_back(ex.noiseBytes);
    }
    EXPECT_EQ(good, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(noise, (std::vector<std::size_t>{0, 4, 0}));

    radio.ClearHistory();
    radio.Faults() = {};
    radio.Faults().noRadio = true;
    radio.Faults().scope.firstFrames = 2;
    std::vector<bool> answered;
    for (int i = 0; i < 3; ++i) answered.push_back(Send(MakeIdentifyFrame()).reply.has_value());
    EXPECT_EQ(answered, (std::vector<bool>{false, false, true}));
}

}  // namespace
}  // namespace orven
