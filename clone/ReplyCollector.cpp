#include "clone/ReplyCollector.h"

#include <algorithm>

namespace orven {

ReplyCollector::ReplyCollector(std::size_t echoLength, std::size_t frameLength)
    : echoLength_(echoLength), frameLength_(std::min(frameLength, kFrameSize)) {}

void ReplyCollector::Feed(const std::uint8_t* bytes, std::size_t count) {
    if (count > 0) anyByte_ = true;
    for (std::size_t i = 0; i < count && !Complete(); ++i) Take(bytes[i]);
}

void ReplyCollector::Take(std::uint8_t byte) {
    if (echoSeen_ < echoLength_) {
        ++echoSeen_;
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
