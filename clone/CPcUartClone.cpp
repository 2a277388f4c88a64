#include "clone/CPcUartClone.h"

#include "clone/CloneEvent.h"
#include "clone/ReplyCollector.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace orven {

namespace {
constexpr std::size_t kReadChunk = 128;  // the receive buffer of the product
// "Radio is not detected!" is the product's word for any receive without a reply; when the adaptor
// never echoed the frame as sent, the line itself is at fault, not the radio.
constexpr const char* kGarbledEchoCause =
    "the adaptor's echo did not come back as sent: a loose plug, a worn cable or a failing adaptor";
}  // namespace

std::string CPcUartClone::FailureCause() const {
    return port_.OpenFailureCause().empty() ? receiveCause_ : port_.OpenFailureCause();
}

CloneResult CPcUartClone::OpenLink() {
    AppState* state = State();
    if (state->baudIndex < 0 || state->baudIndex >= static_cast<int>(kBaudTable.size()))
        state->baudIndex = kDefaultBaudIndex;  // corrected in the state itself, so it is saved too
    if (port_.IsOpen()) return kResultOk;
    const std::uint32_t baud = BaudOfIndex(state->baudIndex);
    const bool opened = devicePath_.empty() ? port_.OpenDefault(state->comPort - 1, baud)
                                            : port_.OpenPath(devicePath_, baud);
    // Every way a port fails to open is the one result the product has always given for it.
    return opened ? kResultOk : kResultOpenPort;
}

void CPcUartClone::CloseLink() {
    port_.Close();
    taken_.reset();
}

CloneResult CPcUartClone::SendFrame(const std::uint8_t* frame) {
    receiveCause_.clear();
    return port_.Write(frame, kFrameSize);
}

CloneResult CPcUartClone::ReceiveReply(const std::uint8_t* sent, std::uint8_t* reply) {
    return ReceiveFrame(sent, reply, kFrameSize, kFrameSize);
}

CloneResult CPcUartClone::Drain(ReplyCollector& collector, std::size_t* got) {
    *got = 0;
    const std::size_t waiting = port_.BytesWaiting();
    if (waiting == 0) return kResultOk;
    std::array<std::uint8_t, kReadChunk> chunk{};
    const CloneResult r = port_.Read(chunk.data(), std::min(waiting, kReadChunk), got);
    if (r == kResultOk) collector.Feed(chunk.data(), *got);
    return r;
}

std::chrono::nanoseconds CPcUartClone::ByteTime() const {
    return std::chrono::nanoseconds(kLineBitsPerByte * 1'000'000'000LL / BaudOfIndex(State()->baudIndex));
}

std::chrono::nanoseconds CPcUartClone::QuietGap() const {
    return std::max<std::chrono::nanoseconds>(kFastQuietBits * ByteTime() / kLineBitsPerByte, kFastMinQuietGap);
}

// Waits on the port's readiness: ends once the frame is complete (and, after a reply that fell
// silent between its bytes for longer than the next echo takes, once the line has been quiet for
// the difference), or when the receive's longest wait has passed.
CloneResult CPcUartClone::CollectFast(ReplyCollector& collector, TakenReply& taken) {
    const auto deadline = Clock::now() + Timing().pollPeriod * Timing().pollCount;
    const auto byteTime = ByteTime();
    const auto echoWatch = kFastEchoWatchBytes * byteTime;
    Clock::duration silence{};
    auto lastByte = Clock::now();
    for (auto now = lastByte; now < deadline; now = Clock::now()) {
        if (CloneStopEvent.IsSet()) return kResultUserCancel;
        auto until = std::min<Clock::time_point>(deadline, now + kFastStopTestPeriod);
        if (collector.Complete()) {
            if (now - lastByte >= silence - echoWatch) break;
            until = std::min<Clock::time_point>(until, lastByte + silence - echoWatch);
        }
        if (!port_.WaitReadable(until - now)) continue;
        const bool inReply = collector.InReply();
        std::size_t got = 0;
        if (const CloneResult r = Drain(collector, &got); r != kResultOk) return r;
        if (got == 0) {
            CloneStopEvent.Wait(std::chrono::milliseconds(1));  // readable without data: a hung-up line
            continue;
        }
        const auto arrived = Clock::now();
        // Silence between bytes of the reply: the time since the bytes before, less the line time
        // of the bytes that came.
        if (inReply) silence = std::max(silence, (arrived - lastByte) - static_cast<int>(got) * byteTime);
        lastByte = arrived;
    }
    taken = {lastByte, silence + QuietGap()};
    return kResultOk;
}

// Each poll ends at its own mark from the start, so late wake-ups do not add up.
CloneResult CPcUartClone::Collect(ReplyCollector& collector) {
    const auto start = Clock::now();
    for (int poll = 0; poll < Timing().pollCount; ++poll) {
        if (CloneStopEvent.WaitUntil(start + Timing().pollPeriod * (poll + 1))) return kResultUserCancel;
        std::size_t got = 0;
        if (const CloneResult r = Drain(collector, &got); r != kResultOk) return r;
    }
    return kResultOk;
}

CloneResult CPcUartClone::ReceiveFrame(const std::uint8_t* sent, std::uint8_t* buffer, std::size_t echoLength,
                                       std::size_t frameLength) {
    ReplyCollector collector(sent, echoLength, frameLength);
    const std::optional<TakenReply> before = std::exchange(taken_, std::nullopt);
    TakenReply taken{};
    const bool fast = Timing().fast;
    const CloneResult r = fast ? CollectFast(collector, taken) : Collect(collector);
    previousTrail_ = before ? TrailAfter(*before, collector) : Trail::Quiet;
    receiveCause_.clear();
    if (r != kResultOk) return r;
    if (!collector.Complete()) {
        if (!collector.AnyByte()) return kResultNoAdaptor;
        if (!collector.EchoWhole()) receiveCause_ = kGarbledEchoCause;
        return kResultNoRadio;
    }
    if (collector.Overrun()) return kResultChecksum;
    std::memcpy(buffer, collector.Frame(), std::min(frameLength, kFrameSize));
    if (fast) taken_ = taken;
    return kResultOk;
}

// The echo of the frame just sent coming first shows that nothing trailed the reply before;
// anything ahead of it or inside it may have. A line silent past the reply's quiet gap shows it too.
CCloneEngine::Trail CPcUartClone::TrailAfter(const TakenReply& before, const ReplyCollector& collector) {
    if (collector.EchoBroken()) return Trail::Trailed;
    if (collector.EchoCameFirst()) return Trail::Quiet;
    const auto now = Clock::now();
    if (!collector.AnyByte() && port_.BytesWaiting() == 0 && now >= before.lastByte + before.quiet) return Trail::Quiet;
    return Trail::Unknown;
}

// Without `wait` only bytes already waiting tell: the next frame's echo will tell more than a
// quiet gap can.
CCloneEngine::Trail CPcUartClone::LastReplyTrail(bool wait) {
    if (!taken_) return Trail::Quiet;
    const auto quietFrom = taken_->lastByte + taken_->quiet;
    for (;;) {
        const auto now = Clock::now();  // before the look: nothing waiting then means nothing came by now
        if (port_.BytesWaiting() > 0) return Trail::Trailed;
        if (!wait || CloneStopEvent.IsSet()) return Trail::Unknown;
        if (now >= quietFrom) return Trail::Quiet;
        if (port_.WaitReadable(std::min<Clock::duration>(quietFrom - now, kFastStopTestPeriod)) && port_.BytesWaiting() == 0)
            CloneStopEvent.Wait(std::chrono::milliseconds(1));  // readable without data: a hung-up line
    }
}

CloneResult CPcUartClone::PrefixFailure(Exchange exchange) const {
    return exchange == Exchange::Identify ? kResultNoRadio : kResultChecksum;
}

}  // namespace orven
