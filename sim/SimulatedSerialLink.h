// The programming adaptor and radio as a byte stream, the way the serial port sees them: every
// byte the PC sends is echoed, and each 32 bytes that form a frame go to the radio, whose reply
// follows the echo. Time is passed in by the caller, so pacing and delays can be driven by a
// real clock (the pseudo-terminal host) or stepped by hand (tests). Not thread-safe.
#pragma once

#include "sim/SimulatedRadio.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace orven {

// The adaptor forgets a partly received frame when its bytes stop coming for this long.
inline constexpr std::chrono::milliseconds kPartialFrameTimeout{250};

// What the noise fault sends, over and over: line junk, none of it a '$'.
inline constexpr std::uint8_t kNoisePattern[] = {0x00, 0xFF, 'R', 0x0D, 0x0A, 0x55};

class SimulatedSerialLink {
public:
    using Clock = std::chrono::steady_clock;

    explicit SimulatedSerialLink(SimulatedRadio& radio);

    // Bytes from the PC, reaching the adaptor at `now`. Bytes that do not continue a frame are
    // dropped until the next '$'.
    void FromPc(const std::uint8_t* bytes, std::size_t n, Clock::time_point now);

    // Moves the bytes due by `now` into `out`, at most `capacity`; returns how many. The line
    // carries bytes in the order the adaptor has them ready (a slow radio's late reply comes
    // after the echo of a frame sent meanwhile), one at a time when it is paced.
    std::size_t ToPc(std::uint8_t* out, std::size_t capacity, Clock::time_point now);

    // When the next byte for the PC falls due; nothing when none is waiting.
    std::optional<Clock::time_point> NextDue() const;
    std::size_t Pending() const { return out_.size(); }

    // Drops a partly received frame and every byte not yet delivered (the PC went away).
    void Clear();

private:
    struct TimedByte {
        std::uint8_t byte;
        Clock::time_point ready;  // when the adaptor has it to send
        Clock::time_point due;    // when it has crossed the line to the PC
        bool endsReply;           // the last byte of a reply from the radio
    };

    // Takes the byte into the frame being collected; its offset there, or nothing when it is
    // dropped (no part of a frame).
    std::optional<std::size_t> Collect(std::uint8_t byte, Clock::time_point arrival);
    // A whole frame has come: the radio answers it.
    void Deliver(Clock::time_point frameEnd);
    // Whether the radio, still busy after the last reply the PC has had (SimFaults::minFrameGap),
    // misses a frame that starts at `start`.
    bool RadioBusyAt(Clock::time_point start) const;
    void Send(std::uint8_t byte, Clock::time_point ready, bool endsReply = false);
    void SendReply(const SimExchange& ex, Clock::time_point frameEnd);
    void Retime(std::size_t from);

    SimulatedRadio& radio_;
    std::vector<std::uint8_t> frame_;
    Clock::time_point lastArrival_{};
    Clock::time_point frameStart_{};   // when the first byte of the frame being collected came
    Clock::time_point lastReplyEnd_{};  // when the last reply delivered had crossed the line
    Clock::time_point inboundFree_{};  // when the PC-to-adaptor line is next free
    Clock::time_point lastDue_{};      // when the last delivered byte reached the PC
    std::deque<TimedByte> out_;        // in the order the bytes become ready
};

}  // namespace orven
