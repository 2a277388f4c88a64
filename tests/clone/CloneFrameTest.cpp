#include "clone/CloneFrame.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace orven {
namespace {

using Bytes32 = std::vector<std::uint8_t>;

Bytes32 Wire(const CloneFrame& f) { return Bytes32(FrameBytes(f), FrameBytes(f) + kFrameSize); }

Bytes32 Header(std::uint8_t letter, std::uint8_t length, std::uint8_t lo, std::uint8_t hi) {
    return {0x24, 0x52, 0x45, 0x5A, 0x45, 0x5A, 0x2C, letter, length, lo, hi};
}

TEST(CloneFrameTest, IdentifyFrameMatchesTheWireBytes) {
    // 0x41 ^ 0x14 = 0x55; 0xFF ^ 0xFF and twenty 0xAA cancel out.
    Bytes32 expected = Header(0x41, 0x14, 0xFF, 0xFF);
    expected.insert(expected.end(), 20, 0xAA);
    expected.push_back(0x55);
    EXPECT_EQ(Wire(MakeIdentifyFrame()), expected);
}

TEST(CloneFrameTest, FirstReadFrameMatchesTheWireBytes) {
    // 0x52 ^ 0x14 ^ 0x00 ^ 0x01 = 0x47.
    Bytes32 expected = Header(0x52, 0x14, 0x00, 0x01);
    expected.insert(expected.end(), 20, 0x00);
    expected.push_back(0x47);
    EXPECT_EQ(Wire(MakeReadFrame(0x0100, 20)), expected);
}

TEST(CloneFrameTest, LastWriteChunkCarriesSixteenBytesAndZeroPadding) {
    std::array<std::uint8_t, 20> source{};
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i + 1);
    // Data 1..16 XOR to 0x10; 0x57 ^ 0x10 (length) ^ 0xF0 ^ 0x06 ^ 0x10 = 0xA1.
    Bytes32 expected = Header(0x57, 0x10, 0xF0, 0x06);
    for (std::uint8_t b = 1; b <= 16; ++b) expected.push_back(b);
    expected.insert(expected.end(), 4, 0x00);
    expected.push_back(0xA1);
    EXPECT_EQ(Wire(MakeWriteFrame(0x06F0, source.data(), 16)), expected);
}

TEST(CloneFrameTest, PrefixAndChecksumChecks) {
    CloneFrame good = MakeReadFrame(0x0100, 20);
    EXPECT_TRUE(CheckReply(FrameBytes(good), ReplyCheck::Prefix));
    EXPECT_TRUE(CheckReply(FrameBytes(good), ReplyCheck::Checksum));

    for (std::size_t i = 0; i < kFramePrefixSize; ++i) {
        CloneFrame f = good;
        FrameBytes(f)[i] ^= 0x01;
        EXPECT_FALSE(CheckReply(FrameBytes(f), ReplyCheck::Prefix)) << "prefix byte " << i;
        EXPECT_TRUE(CheckReply(FrameBytes(f), ReplyCheck::Checksum)) << "prefix byte " << i;
    }
    for (std::size_t i = kChecksumFirst; i < kFrameSize; ++i) {
        CloneFrame f = good;
        FrameBytes(f)[i] ^= 0x80;
        EXPECT_FALSE(CheckReply(FrameBytes(f), ReplyCheck::Checksum)) << "byte " << i;
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

    CloneFrame wrongLetter = ack;
    wrongLetter.letter = kLetterWrite;
    EXPECT_FALSE(CheckReply(FrameBytes(wrongLetter), ReplyCheck::WriteAck, FrameBytes(sent)));

    CloneFrame wrongPrefix = ack;
    wrongPrefix.prefix[3] = 'z';
    EXPECT_FALSE(CheckReply(FrameBytes(wrongPrefix), ReplyCheck::WriteAck, FrameBytes(sent)));

    for (std::size_t i : {std::size_t{0}, std::size_t{15}, std::size_t{19}}) {
        CloneFrame wrongData = ack;
        wrongData.data[i] ^= 0x01;  // 19 is padding: it must come back as 0 too
        EXPECT_FALSE(CheckReply(FrameBytes(wrongData), ReplyCheck::WriteAck, FrameBytes(sent)))
            << "data byte " << i;
    }
}

}  // namespace
}  // namespace orven
