// Picks one reply frame out of what the serial line brings back after a frame was sent: the
// adaptor's echo of the sent frame first, then anything, then the reply starting with '$','R'.
#pragma once

#include "clone/CloneFrame.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace orven {

class ReplyCollector {
public:
    // `sent` is the frame just sent, whose first `echoLength` bytes the adaptor echoes. Bytes
    // before the echo (a late reply to an earlier frame) are passed over, so that they can
    // never be taken for the echo, nor the echo then for the reply.
    ReplyCollector(const std::uint8_t* sent, std::size_t echoLength, std::size_t frameLength);

    // Takes bytes in the order they arrived; bytes after a complete frame are counted, not kept.
    void Feed(const std::uint8_t* bytes, std::size_t count);

    bool Complete() const { return stored_ == frameLength_; }
    // The reply has begun: its '$' came after the whole echo.
    bool InReply() const { return stored_ > 0; }
    // Bytes followed the complete frame: a byte was inserted into the reply (its checksum is
    // then the byte after the frame) or another reply came too, so the frame cannot be trusted.
    bool Overrun() const { return after_ > 0; }
    // Any byte arrived at all, echo included.
    bool AnyByte() const { return anyByte_; }
    // Whether the line began with the whole echo, nothing before or inside it: then no byte of
    // what came before the frame was sent (a byte trailing the last reply) reached the line after
    // it. Known once the echo is whole, or a byte has broken it.
    bool EchoCameFirst() const { return unbroken_ && EchoWhole(); }
    bool EchoBroken() const { return !unbroken_; }
    // The whole echo came, whatever came before it.
    bool EchoWhole() const { return echoSeen_ == echoLength_; }
    // The collected frame; meaningful once Complete().
    const std::uint8_t* Frame() const { return frame_.data(); }

private:
    void Take(std::uint8_t byte);
    void MatchEcho(std::uint8_t byte);

    std::array<std::uint8_t, kFrameSize> sent_{};
    std::size_t echoLength_;
    std::size_t frameLength_;
    std::size_t echoSeen_ = 0;
    std::size_t stored_ = 0;
    std::size_t after_ = 0;
    bool anyByte_ = false;
    bool unbroken_ = true;  // every byte so far continued the echo
    std::array<std::uint8_t, kFrameSize> frame_{};
};

}  // namespace orven
