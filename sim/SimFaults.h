// The ways the simulated adaptor and radio can misbehave. Every switch works on its own; the
// per-frame ones can be limited to some frames so that a retry can be seen to succeed.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace orven {

// Which frames a per-frame fault hits. Frames are numbered from 1 in the order the adaptor
// receives them, retries included. With every limit at 0 every frame is hit.
struct FaultScope {
    std::uint32_t onlyFrame = 0;    // hit this frame number alone
    std::uint32_t firstFrames = 0;  // hit frames 1 to firstFrames
    std::uint32_t everyFrame = 0;   // hit frames n, 2n, 3n ... alone

    bool Hits(std::uint32_t frameNumber) const;
};

// One byte of a reply that the line loses, repeats or garbles on its way back.
struct LineFault {
    enum class Kind { None, Drop, Duplicate, Corrupt };
    Kind kind = Kind::None;
    std::size_t at = 0;        // which of the reply's bytes (0 to 31)
    std::uint8_t flip = 0xFF;  // Corrupt: the bits that change

    // The reply's bytes as they travel with this fault.
    std::vector<std::uint8_t> Apply(const std::uint8_t* bytes, std::size_t n) const;
};

struct SimFaults {
    // Per frame, limited by `scope`:
    bool noEcho = false;            // the adaptor is dead: nothing comes back, echo or reply
    bool noRadio = false;           // the adaptor echoes, the radio never answers
    // The adaptor garbles its echo: this byte of the frame (0 to 31) comes back with its lowest
    // bit flipped, while the radio gets the frame as it was sent. Serial line only.
    std::optional<std::size_t> garbledEchoByte;
    std::size_t noiseBytes = 0;     // bytes that are not '$' between the echo and the reply
    bool strayDollar = false;       // a lone '$' right before the reply's own '$'
    std::size_t replyPieces = 1;    // the reply comes in this many pieces, each ready ...
    std::chrono::milliseconds pieceDelay{0};  // ... this long after the one before
    std::chrono::milliseconds lastBytePause{0};  // the reply's last byte comes this much late
    bool badChecksum = false;       // the reply's checksum byte is wrong
    bool badPrefix = false;         // the reply starts "$R" but not with the full prefix
    bool wrongAck = false;          // a write acknowledgement has one data byte changed
    std::chrono::milliseconds replyDelay{0};  // the radio takes this long to answer
    LineFault lineFault;
    FaultScope scope;

    // For the whole run:
    std::optional<std::uint32_t> silentAfterFrames;  // the radio answers only this many frames
    std::uint32_t baud = 0;        // pace the adaptor's output at 10 bits a byte; 0: no pacing
    // The radio is deaf this long after its last reply has left it (busy storing, say): a frame
    // that starts sooner is echoed by the adaptor and never answered. Serial line only.
    std::chrono::milliseconds minFrameGap{0};
    std::chrono::milliseconds usbLatency{0};  // time each USB report takes
    std::optional<std::uint16_t> stuckAddress;  // a write is acknowledged, this byte keeps its value
};

// The per-frame faults of each frame by its number, for runs where every frame may fare
// differently; when set, it takes the place of the per-frame switches and their scope.
using FramePlan = std::function<SimFaults(std::uint32_t frameNumber)>;

// What a garbled echo byte differs in.
inline constexpr std::uint8_t kGarbledEchoBits = 0x01;

// Time one byte takes on the line at a baud rate (start bit, 8 data bits, stop bit).
std::chrono::nanoseconds ByteTime(std::uint32_t baud);

}  // namespace orven
