// The clone engine for a radio on a serial port, through the programming adaptor that echoes
// every byte it is sent.
#pragma once

#include "clone/CCloneEngine.h"
#include "clone/ReplyCollector.h"
#include "link/CPCUart.h"

#include <chrono>
#include <optional>
#include <string>

namespace orven {

class CPcUartClone : public CCloneEngine {
    ORVEN_RUNTIME_CLASS(CPcUartClone, CCloneEngine)

public:
    // The port comes from comPort; a device path given here is used instead.
    void SetDevicePath(const std::string& device) { devicePath_ = device; }

    // Collects one reply frame to the frame `sent`: its echo first, then a frame starting
    // with '$','R'. Runs all of the timing's polls, testing the stop event before each; a fast
    // transfer ends as soon as the frame is complete and leaves the watch for a byte trailing it
    // to the next exchange or the end of the operation (kFastEchoWatchBytes). A frame followed
    // by more bytes within the receive is refused with kResultChecksum.
    CloneResult ReceiveFrame(const std::uint8_t* sent, std::uint8_t* buffer, std::size_t echoLength,
                             std::size_t frameLength);

    // Why the port did not open, or why the last receive found no reply when bytes came.
    std::string FailureCause() const override;

protected:
    CloneResult OpenLink() override;
    void CloseLink() override;
    CloneResult SendFrame(const std::uint8_t* frame) override;
    CloneResult ReceiveReply(const std::uint8_t* sent, std::uint8_t* reply) override;
    CloneResult PrefixFailure(Exchange exchange) const override;
    bool AnnouncesRangeAfterFailedHandShake() const override { return false; }
    Trail LastReplyTrail(bool wait) override;
    Trail PreviousReplyTrail() const override { return previousTrail_; }

private:
    using Clock = std::chrono::steady_clock;
    // A reply taken at its last byte: when that byte came, and how long after it a quiet line
    // shows that no byte trails it when no echo follows.
    struct TakenReply {
        Clock::time_point lastByte;
        Clock::duration quiet;
    };

    CloneResult Collect(ReplyCollector& collector);
    CloneResult CollectFast(ReplyCollector& collector, TakenReply& taken);
    // What a receive showed of the bytes after the reply taken before it.
    Trail TrailAfter(const TakenReply& before, const ReplyCollector& collector);
    // Reads what is waiting into the collector; kResultOk or the port's read failure.
    CloneResult Drain(ReplyCollector& collector, std::size_t* got);
    std::chrono::nanoseconds ByteTime() const;
    std::chrono::nanoseconds QuietGap() const;

    CPCUart port_;
    std::string devicePath_;
    std::optional<TakenReply> taken_;  // the last reply, when it was taken early
    Trail previousTrail_ = Trail::Quiet;
    std::string receiveCause_;  // of the last receive, when it failed with bytes on the line
};

}  // namespace orven
