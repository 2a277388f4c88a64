#include "clone/CPcUartClone.h"

#include "clone/CloneEvent.h"
#include "clone/ReplyCollector.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace orven {

namespace {
constexpr std::size_t kReadChunk = 128;  // the receive buffer of the product
}  // namespace

CloneResult CPcUartClone::OpenLink() {
    AppState* state = State();
    if (state->baudIndex < 0 || state->baudIndex >= static_cast<int>(kBaudTable.size()))
        state->baudIndex = kDefaultBaudIndex;  // corrected in the state itself, so it is saved too
    if (port_.IsOpen()) return kResultOk;
    const std::uint32_t baud = kBaudTable[static_cast<std::size_t>(state->baudIndex)];
    const bool opened = devicePath_.empty() ? port_.OpenDefault(state->comPort - 1, baud)
                                            : port_.OpenPath(devicePath_, baud);
    return opened ? kResultOk : kResultOpenPort;
}

void CPcUartClone::CloseLink() { port_.Close(); }

CloneResult CPcUartClone::SendFrame(const std::uint8_t* frame) { return port_.Write(frame, kFrameSize); }

CloneResult CPcUartClone::ReceiveReply(std::uint8_t* reply) { return ReceiveFrame(reply, kFrameSize, kFrameSize); }

CloneResult CPcUartClone::ReceiveFrame(std::uint8_t* buffer, std::size_t echoLength, std::size_t frameLength) {
    ReplyCollector collector(echoLength, frameLength);
    std::array<std::uint8_t, kReadChunk> chunk{};
    for (int poll = 0; poll < Timing().pollCount; ++poll) {
        if (CloneStopEvent.Wait(Timing().pollPeriod)) return kResultUserCancel;
        const std::size_t waiting = port_.BytesWaiting();
        if (waiting == 0) continue;
        std::size_t got = 0;
        if (const CloneResult r = port_.Read(chunk.data(), std::min(waiting, kReadChunk), &got); r != kResultOk)
            return r;
        collector.Feed(chunk.data(), got);
    }
    if (collector.Complete()) {
        std::memcpy(buffer, collector.Frame(), std::min(frameLength, kFrameSize));
        return kResultOk;
    }
    return collector.AnyByte() ? kResultNoRadio : kResultNoAdaptor;
}

CloneResult CPcUartClone::PrefixFailure(Exchange exchange) const {
    return exchange == Exchange::Identify ? kResultNoRadio : kResultChecksum;
}

}  // namespace orven
