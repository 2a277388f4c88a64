#include "clone/CloneFrame.h"

#include <algorithm>
#include <cstring>

namespace orven {

CloneFrame FrameFromBytes(const std::uint8_t* bytes32) {
    CloneFrame f;
    std::memcpy(&f, bytes32, kFrameSize);
    return f;
}

std::uint8_t FrameChecksum(const std::uint8_t* bytes, std::size_t n) {
    if (n == 0) return 0;
    std::uint8_t sum = bytes[0];
    for (std::size_t i = 1; i < n; ++i) sum ^= bytes[i];
    return sum;
}

void BuildFrame(std::uint8_t* buffer32, char letter) {
    std::memset(buffer32, 0, kFrameSize);
    std::memcpy(buffer32, kFramePrefix, kFramePrefixSize);
    buffer32[kFrameLetterOffset] = static_cast<std::uint8_t>(letter);
    if (letter != kLetterIdentify) return;
    buffer32[kFrameLengthOffset] = static_cast<std::uint8_t>(kFrameDataSize);
    buffer32[kFrameAddressOffset] = kIdentifyAddress & 0xFF;
    buffer32[kFrameAddressOffset + 1] = kIdentifyAddress >> 8;
    std::memset(buffer32 + kFrameDataOffset, kIdentifyData, kFrameDataSize);
}

void SealFrame(std::uint8_t* buffer32) {
    buffer32[kFrameChecksumOffset] = FrameChecksum(buffer32 + kChecksumFirst, kChecksumCount);
}

CloneFrame MakeIdentifyFrame() {
    CloneFrame f;
    BuildFrame(FrameBytes(f), kLetterIdentify);
    SealFrame(f);
    return f;
}

CloneFrame MakeDataFrame(char letter, std::uint16_t address, std::uint8_t length) {
    CloneFrame f;
    BuildFrame(FrameBytes(f), letter);
    f.length = length;
    SetFrameAddress(f, address);
    return f;
}

CloneFrame MakeReadFrame(std::uint16_t address, std::uint8_t length) {
    CloneFrame f = MakeDataFrame(kLetterRead, address, length);
    SealFrame(f);
    return f;
}

CloneFrame MakeWriteFrame(std::uint16_t address, const std::uint8_t* bytes, std::uint8_t length) {
    CloneFrame f = MakeDataFrame(kLetterWrite, address, length);
    std::memcpy(f.data, bytes, std::min<std::size_t>(length, kFrameDataSize));
    SealFrame(f);
    return f;
}

bool CheckReply(const std::uint8_t* reply, ReplyCheck check, const std::uint8_t* sent) {
    switch (check) {
    case ReplyCheck::Prefix:
        return std::memcmp(reply, kFramePrefix, kFramePrefixSize) == 0;
    case ReplyCheck::Checksum:
        return reply[kFrameChecksumOffset] == FrameChecksum(reply + kChecksumFirst, kChecksumCount);
    case ReplyCheck::WriteAck:
        return sent != nullptr && CheckReply(reply, ReplyCheck::Prefix) &&
               reply[kFrameLetterOffset] == static_cast<std::uint8_t>(kLetterAck) &&
               std::memcmp(reply + kFrameDataOffset, sent + kFrameDataOffset, kFrameDataSize) == 0;
    case ReplyCheck::Answers:
        return sent != nullptr && reply[kFrameLengthOffset] == sent[kFrameLengthOffset] &&
               std::memcmp(reply + kFrameAddressOffset, sent + kFrameAddressOffset, 2) == 0;
    }
    return false;
}

}  // namespace orven
