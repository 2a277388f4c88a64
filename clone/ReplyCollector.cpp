#include "clone/ReplyCollector.h"

#include <algorithm>
#include <cstring>

namespace orven {

ReplyCollector::ReplyCollector(const std::uint8_t* sent, std::size_t echoLength, std::size_t frameLength)
    : echoLength_(std::min(echoLength, kFrameSize)), frameLength_(std::min(frameLength, kFrameSize)) {
    if (sent) std::memcpy(sent_.data(), sent, echoLength_);
}

void ReplyCollector::Feed(const std::uint8_t* bytes, std::size_t count) {
    if (count > 0) anyByte_ = true;
    std::size_t i = 0;
    for (; i < count && !Complete(); ++i) Take(bytes[i]);
    after_ += count - i;
}

void ReplyCollector::MatchEcho(std::uint8_t byte) {
    if (byte == sent_[echoSeen_]) {
        ++echoSeen_;
        return;
    }
    unbroken_ = false;
    echoSeen_ = byte == sent_[0] ? 1 : 0;  // the echo may start at this byte
}

void ReplyCollector::Take(std::uint8_t byte) {
    if (echoSeen_ < echoLength_) {
        MatchEcho(byte);
        return;
    }
    if (stored_ == 0) {
        if (byte == '$') frame_[stored_++] = byte;
        return;
    }
    if (stored_ == 1) {
        // Anything but 'R' after the '$' (another '$' too) starts the hunt again.
        if (byte == 'R')
            frame_[stored_++] = byte;
        else
            stored_ = 0;
        return;
    }
    frame_[stored_++] = byte;
}

}  // namespace orven
