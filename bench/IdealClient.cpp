#include "bench/IdealClient.h"

#include "link/CPCUart.h"
#include "link/PollTime.h"

#include <poll.h>

#include <algorithm>

namespace orven::bench {

namespace {

constexpr std::chrono::seconds kGiveUp{1};
constexpr int kUsbTimeoutMs = 100;

// Reads until `count` bytes have come, waking on the port's readiness.
bool ReadBytes(CPCUart& port, std::size_t count) {
    std::uint8_t bytes[2 * kFrameSize];
    for (std::size_t got = 0; got < count;) {
        pollfd ready{port.Handle(), POLLIN, 0};
        const timespec timeout = PollTimeOf(kGiveUp);
        if (::ppoll(&ready, 1, &timeout, nullptr) <= 0) return false;
        std::size_t n = 0;
        if (port.Read(bytes, std::min(sizeof bytes, count - got), &n) != kResultOk) return false;
        got += n;
    }
    return true;
}

// One exchange: the frame out, its echo and reply (serial) or its reply report (USB) back.
class IdealLink {
public:
    explicit IdealLink(BenchLink& link) : link_(link) {}
    bool Open() {
        return link_.Usb() ? link_.UsbDevice().IsPresent() || link_.UsbDevice().FindDevice()
                           : port_.OpenPath(link_.DevicePath(), link_.Baud());
    }
    bool Exchange(const CloneFrame& frame) {
        if (link_.Usb()) {
            std::uint8_t reply[kFrameSize];
            return link_.UsbDevice().WriteReport(FrameBytes(frame), kFrameSize, kUsbTimeoutMs) &&
                   link_.UsbDevice().ReadReport(reply, kFrameSize, kUsbTimeoutMs);
        }
        return port_.Write(FrameBytes(frame), kFrameSize) == kResultOk && ReadBytes(port_, 2 * kFrameSize);
    }

private:
    BenchLink& link_;
    CPCUart port_;
};

}  // namespace

std::optional<Clock::duration> RunIdealClient(BenchLink& link, const std::vector<CloneFrame>& frames) {
    const auto start = Clock::now();
    {
        IdealLink ideal(link);
        if (!ideal.Open()) return std::nullopt;
        for (const CloneFrame& frame : frames)
            if (!ideal.Exchange(frame)) return std::nullopt;
    }  // the port closes here, as the engine's does
    return Clock::now() - start;
}

std::optional<std::vector<Clock::duration>> IdealExchanges(BenchLink& link, const CloneFrame& frame, int count) {
    IdealLink ideal(link);
    if (!ideal.Open()) return std::nullopt;
    std::vector<Clock::duration> times;
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        if (!ideal.Exchange(frame)) return std::nullopt;
        times.push_back(Clock::now() - start);
    }
    return times;
}

}  // namespace orven::bench
