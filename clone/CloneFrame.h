// The fixed 32-byte frame both clone links carry: a prefix, a command letter, a length, an
// address and twenty data bytes, closed by an XOR checksum over everything after the prefix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace orven {

inline constexpr const char kFramePrefix[] = "$REZEZ,";
inline constexpr std::size_t kFramePrefixSize = 7;
inline constexpr std::size_t kFrameSize = 32;
inline constexpr std::size_t kFrameDataSize = 20;

// Byte offsets within a frame.
inline constexpr std::size_t kFrameLetterOffset = 7;
inline constexpr std::size_t kFrameLengthOffset = 8;
inline constexpr std::size_t kFrameAddressOffset = 9;
inline constexpr std::size_t kFrameDataOffset = 11;
inline constexpr std::size_t kFrameChecksumOffset = 31;
// The checksum covers letter, length, address and data.
inline constexpr std::size_t kChecksumFirst = kFrameLetterOffset;
inline constexpr std::size_t kChecksumCount = kFrameChecksumOffset - kFrameLetterOffset;

inline constexpr char kLetterIdentify = 'A';
inline constexpr char kLetterRead = 'R';
inline constexpr char kLetterWrite = 'W';
inline constexpr char kLetterAck = 'I';  // the radio's answer to a write

inline constexpr std::uint16_t kIdentifyAddress = 0xFFFF;
inline constexpr std::uint8_t kIdentifyData = 0xAA;

struct CloneFrame {
    char prefix[kFramePrefixSize];
    std::uint8_t letter;
    std::uint8_t length;    // meaningful data bytes, 1 to 20
    std::uint8_t addrLow;
    std::uint8_t addrHigh;  // the address is an offset into the radio image
    std::uint8_t data[kFrameDataSize];
    std::uint8_t checksum;
};

static_assert(std::is_trivially_copyable_v<CloneFrame> && std::is_standard_layout_v<CloneFrame>);
static_assert(sizeof(CloneFrame) == kFrameSize);
static_assert(offsetof(CloneFrame, prefix) == 0);
static_assert(offsetof(CloneFrame, letter) == kFrameLetterOffset);
static_assert(offsetof(CloneFrame, length) == kFrameLengthOffset);
static_assert(offsetof(CloneFrame, addrLow) == kFrameAddressOffset);
static_assert(offsetof(CloneFrame, addrHigh) == kFrameAddressOffset + 1);
static_assert(offsetof(CloneFrame, data) == kFrameDataOffset);
static_assert(offsetof(CloneFrame, checksum) == kFrameChecksumOffset);

// The frame's wire bytes.
inline std::uint8_t* FrameBytes(CloneFrame& f) { return reinterpret_cast<std::uint8_t*>(&f); }
inline const std::uint8_t* FrameBytes(const CloneFrame& f) {
    return reinterpret_cast<const std::uint8_t*>(&f);
}

// Reads a frame out of a 32-byte buffer (any alignment).
CloneFrame FrameFromBytes(const std::uint8_t* bytes32);

inline std::uint16_t FrameAddress(const CloneFrame& f) {
    return static_cast<std::uint16_t>(f.addrLow | (f.addrHigh << 8));
}
inline void SetFrameAddress(CloneFrame& f, std::uint16_t address) {
    f.addrLow = static_cast<std::uint8_t>(address & 0xFF);
    f.addrHigh = static_cast<std::uint8_t>(address >> 8);
}

// The first byte exclusive-ORed with each following one; 0 for no bytes.
std::uint8_t FrameChecksum(const std::uint8_t* bytes, std::size_t n);

// Clears the 32 bytes and writes the prefix and the letter. An identify frame also gets its
// fixed length, address and data. The checksum is left to the caller (see SealFrame).
void BuildFrame(std::uint8_t* buffer32, char letter);

// Stores the checksum of the frame's letter to data in its last byte.
void SealFrame(std::uint8_t* buffer32);
inline void SealFrame(CloneFrame& f) { SealFrame(FrameBytes(f)); }

// A frame with its prefix, letter, length and address, data zero and not yet sealed: what the
// PC sends and the radio answers are both built on it.
CloneFrame MakeDataFrame(char letter, std::uint16_t address, std::uint8_t length);

// Complete frames, checksum included. Read and write carry length bytes from the address on;
// a write's data after length stays 0.
CloneFrame MakeIdentifyFrame();
CloneFrame MakeReadFrame(std::uint16_t address, std::uint8_t length);
CloneFrame MakeWriteFrame(std::uint16_t address, const std::uint8_t* bytes, std::uint8_t length);

enum class ReplyCheck {
    Prefix,    // starts with the prefix
    Checksum,  // last byte matches the checksum of the rest
    WriteAck,  // an 'I' frame whose data repeats all 20 data bytes of `sent`
    Answers,   // carries the length and address of `sent`: not a late reply to another frame
};

// True when the 32-byte reply passes the check. WriteAck needs the frame that was sent and
// fails without it.
bool CheckReply(const std::uint8_t* reply, ReplyCheck check, const std::uint8_t* sent = nullptr);

}  // namespace orven
