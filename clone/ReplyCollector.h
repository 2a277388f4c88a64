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
    ReplyCollector(std::size_t echoLength, std::size_t frameLength);

    // Takes bytes in the order they arrived; bytes after a complete frame are dropped.
    void Feed(const std::uint8_t* bytes, std::size_t count);

    bool Complete() const { return stored_ == frameLength_; }
    // Any byte arrived at all, echo included.
    bool AnyByte() const { return anyByte_; }
    // The collected frame; meaningful once Complete().
    const std::uint8_t* Frame() const { return frame_.data(); }

private:
    void Take(std::uint8_t byte);

    std::size_t echoLength_;
    std::size_t frameLength_;
    std::size_t echoSeen_ = 0;
    std::size_t stored_ = 0;
    bool anyByte_ = false;
    std::array<std::uint8_t, kFrameSize> frame_{};
};

}  // namespace orven
