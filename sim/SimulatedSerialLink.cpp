#include "sim/SimulatedSerialLink.h"

#include <algorithm>

namespace orven {

SimulatedSerialLink::SimulatedSerialLink(SimulatedRadio& radio) : radio_(radio) {}

void SimulatedSerialLink::FromPc(const std::uint8_t* bytes, std::size_t n, Clock::time_point now) {
    const auto byteTime = ByteTime(radio_.Faults().baud);
    for (std::size_t i = 0; i < n; ++i) {
        const Clock::time_point arrival = std::max(now, inboundFree_) + byteTime;
        inboundFree_ = arrival;
        const bool echoes = radio_.EchoesNextFrame();
        const std::optional<std::size_t> at = Collect(bytes[i], arrival);
        if (echoes) Send(at ? radio_.EchoOfNextFrame(bytes[i], *at) : bytes[i], arrival);
        if (frame_.size() == kFrameSize) Deliver(arrival);
    }
}

std::optional<std::size_t> SimulatedSerialLink::Collect(std::uint8_t byte, Clock::time_point arrival) {
    if (!frame_.empty() && arrival - lastArrival_ > kPartialFrameTimeout) frame_.clear();
    lastArrival_ = arrival;

    const std::size_t at = frame_.size();
    if (at < kFramePrefixSize && byte != static_cast<std::uint8_t>(kFramePrefix[at])) {
        // Not the frame it seemed to be: start over, perhaps at this byte.
        frame_.clear();
        if (byte != static_cast<std::uint8_t>(kFramePrefix[0])) return std::nullopt;
    }
    frame_.push_back(byte);
    if (frame_.size() == 1) frameStart_ = arrival;
    return frame_.size() - 1;
}

void SimulatedSerialLink::Deliver(Clock::time_point frameEnd) {
    const SimExchange ex = radio_.Exchange(frame_.data(), !RadioBusyAt(frameStart_));
    frame_.clear();
    SendReply(ex, frameEnd);
}

bool SimulatedSerialLink::RadioBusyAt(Clock::time_point start) const {
    const auto gap = radio_.Faults().minFrameGap;
    return gap > gap.zero() && lastReplyEnd_ != Clock::time_point{} && start < lastReplyEnd_ + gap;
}

void SimulatedSerialLink::SendReply(const SimExchange& ex, Clock::time_point frameEnd) {
    if (!ex.reply) return;
    const Clock::time_point start = frameEnd + ex.replyDelay;
    for (std::size_t i = 0; i < ex.noiseBytes; ++i)
        Send(kNoisePattern[i % std::size(kNoisePattern)], start);
    if (ex.strayDollar) Send(static_cast<std::uint8_t>(kFramePrefix[0]), start);

    const std::vector<std::uint8_t> bytes = ex.lineFault.Apply(FrameBytes(*ex.reply), kFrameSize);
    const std::size_t pieceSize = (bytes.size() + ex.pieces - 1) / ex.pieces;
    // A paused last byte is ready that long after the line would have carried it.
    const auto lastReady = start + static_cast<int>(bytes.size() - 1) * ByteTime(radio_.Faults().baud) + ex.lastBytePause;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto piece = static_cast<int>(i / pieceSize);
        const bool last = i + 1 == bytes.size();
        const auto ready = start + piece * ex.pieceDelay;
        Send(bytes[i], last && ex.lastBytePause > ex.lastBytePause.zero() ? std::max(ready, lastReady) : ready, last);
    }
}

void SimulatedSerialLink::Send(std::uint8_t byte, Clock::time_point ready, bool endsReply) {
    const auto at = std::upper_bound(out_.begin(), out_.end(), ready,
                                     [](Clock::time_point t, const TimedByte& b) { return t < b.ready; });
    const auto index = static_cast<std::size_t>(at - out_.begin());
    out_.insert(at, {byte, ready, ready, endsReply});
    Retime(index);
}

void SimulatedSerialLink::Retime(std::size_t from) {
    const auto byteTime = ByteTime(radio_.Faults().baud);
    Clock::time_point lineFree = from == 0 ? lastDue_ : out_[from - 1].due;
    for (std::size_t i = from; i < out_.size(); ++i) {
        out_[i].due = std::max(out_[i].ready, lineFree) + byteTime;
        lineFree = out_[i].due;
    }
}

std::size_t SimulatedSerialLink::ToPc(std::uint8_t* out, std::size_t capacity,
                                      Clock::time_point now) {
    std::size_t n = 0;
    while (n < capacity && !out_.empty() && out_.front().due <= now) {
        out[n++] = out_.front().byte;
        lastDue_ = out_.front().due;
        if (out_.front().endsReply) lastReplyEnd_ = lastDue_;
        out_.pop_front();
    }
    return n;
}

std::optional<SimulatedSerialLink::Clock::time_point> SimulatedSerialLink::NextDue() const {
    if (out_.empty()) return std::nullopt;
    return out_.front().due;
}

void SimulatedSerialLink::Clear() {
    frame_.clear();
    out_.clear();
    inboundFree_ = lastDue_ = frameStart_ = lastReplyEnd_ = Clock::time_point{};
}

}  // namespace orven
