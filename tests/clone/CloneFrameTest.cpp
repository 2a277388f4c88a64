#include "clone/CloneFrame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace orven {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Wire(const CloneFrame& f) { return Bytes(FrameBytes(f), FrameBytes(f) + kFrameSize); }

Bytes Header(std::uint8_t letter, std::uint8_t length, std::uint8_t lo, std::uint8_t hi) {
    return {0x24, 0x52, 0x45, 0x5A, 0x45, 0x5A, 0x2C, letter, length, lo, hi};
}

TEST(CloneFrameTest, IdentifyReadAndLastWriteFramesMatchTheWireBytes) {
    // 0x41 ^ 0x14 = 0x55; 0xFF ^ 0xFF and twenty 0xAA cancel out.
    Bytes identify = Header(0x41, 0x14, 0xFF, 0xFF);
    identify.insert(identify.end(), 20, 0xAA);
    identify.push_back(0x55);
    EXPECT_EQ(Wire(MakeIdentifyFrame()), identify);

    // 0x52 ^ 0x14 ^ 0x00 ^ 0x01 = 0x47.
    Bytes read = Header(0x52, 0x14, 0x00, 0x01);
    read.insert(read.end(), 20, 0x00);
    read.push_back(0x47);
    EXPECT_EQ(Wire(MakeReadFrame(0x0100, 20)), read);

    // Data 1..16 XOR to 0x10; 0x57 ^ 0x10 (length) ^ 0xF0 ^ 0x06 ^ 0x10 = 0xA1.
    const std::uint8_t source[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    Bytes write = Header(0x57, 0x10, 0xF0, 0x06);
    write.insert(write.end(), source, source + 16);
    write.insert(write.end(), 4, 0x00);
    write.push_back(0xA1);
    EXPECT_EQ(Wire(MakeWriteFrame(0x06F0, source, 16)), write);
}

TEST(CloneFrameTest, PrefixAndChecksumChecks) {
    const CloneFrame good = MakeReadFrame(0x0100, 20);
    EXPECT_TRUE(CheckReply(FrameBytes(good), ReplyCheck::Prefix));
    EXPECT_TRUE(CheckReply(FrameBytes(good), ReplyCheck::Checksum));
    for (std::size_t i = 0; i < kFrameSize; ++i) {
        CloneFrame f = good;
        FrameBytes(f)[i] ^= 0x01;
        EXPECT_EQ(CheckReply(FrameBytes(f), ReplyCheck::Prefix), i >= kFramePrefixSize) << "byte " << i;
        EXPECT_EQ(CheckReply(FrameBytes(f), ReplyCheck::Checksum), i < kChecksumFirst) << "byte " << i;
    }
}

TEST(CloneFrameTest, WriteAcknowledgementMustRepeatAllTwentyDataBytes) {
    const std::uint8_t data[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    const CloneFrame sent = MakeWriteFrame(0x06F0, data, 16);
    CloneFrame ack = sent;
    ack.letter = kLetterAck;
    ack.length = 0;  // length and address are not part of the check
    SetFrameAddress(ack, 0x0000);
    EXPECT_TRUE(CheckReply(FrameBytes(ack), ReplyCheck::WriteAck, FrameBytes(sent)));
    EXPECT_FALSE(CheckReply(FrameBytes(ack), ReplyCheck::WriteAck)) << "nothing to compare with";

    for (std::size_t i : {std::size_t{0}, std::size_t{7}, kFrameDataOffset + 15, kFrameDataOffset + 19}) {
        CloneFrame wrong = ack;
        FrameBytes(wrong)[i] ^= 0x01;  // prefix, letter, data, padding that must come back as 0
        EXPECT_FALSE(CheckReply(FrameBytes(wrong), ReplyCheck::WriteAck, FrameBytes(sent))) << "byte " << i;
    }
}

}  // namespace
}  // namespace orven
