#include "sim/SimulatedHidBackend.h"

#include "GlobalDef.h"

#include <algorithm>
#include <cstring>

namespace orven {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint8_t kReportId = 0;  // the radio uses no numbered reports

class SimulatedHidConnection : public HidConnection {
public:
    SimulatedHidConnection(std::shared_ptr<SimHidDevice> device, std::uint32_t generation)
        : device_(std::move(device)),
          generation_(generation),
          inputLength_(device_->inputLength),
          outputLength_(device_->outputLength) {}

    bool IsAlive() override {
        std::lock_guard lock(device_->mutex);
        return Alive();
    }

    std::size_t InputReportLength() const override { return inputLength_; }
    std::size_t OutputReportLength() const override { return outputLength_; }

    int Write(const std::uint8_t* report, std::size_t length, int timeoutMs) override;
    int Read(std::uint8_t* data, std::size_t capacity, int timeoutMs) override;

private:
    // Caller holds the device lock.
    bool Alive() const { return device_->plugged && device_->generation == generation_; }
    // Lets the report's transfer time pass; false when the device went away meanwhile or the
    // transfer would outlast the timeout.
    bool Transfer(std::unique_lock<std::mutex>& lock, std::chrono::milliseconds timeout);
    int Deliver(const std::vector<std::uint8_t>& bytes, std::uint8_t* data, std::size_t capacity) const;

    std::shared_ptr<SimHidDevice> device_;
    std::uint32_t generation_;
    std::size_t inputLength_;
    std::size_t outputLength_;
};

bool SimulatedHidConnection::Transfer(std::unique_lock<std::mutex>& lock,
                                      std::chrono::milliseconds timeout) {
    const auto latency = device_->radio.Faults().usbLatency;
    const auto wait = std::min(latency, timeout);
    const bool gone = device_->changed.wait_for(lock, wait, [this] { return !Alive(); });
    return !gone && latency <= timeout;
}

int SimulatedHidConnection::Write(const std::uint8_t* report, std::size_t length, int timeoutMs) {
    std::unique_lock lock(device_->mutex);
    if (!Alive() || length == 0 || length > outputLength_ || report[0] != kReportId) return -1;
    if (!Transfer(lock, std::chrono::milliseconds{timeoutMs})) return -1;

    std::uint8_t frame[kFrameSize] = {};
    std::memcpy(frame, report + 1, std::min(length - 1, kFrameSize));
    const SimExchange ex = device_->radio.Exchange(frame);
    if (ex.reply) {
        const auto ready = Clock::now() + ex.replyDelay + device_->radio.Faults().usbLatency;
        device_->replies.push_back({ex.lineFault.Apply(FrameBytes(*ex.reply), kFrameSize), ready});
        device_->changed.notify_all();
    }
    return static_cast<int>(length);
}

int SimulatedHidConnection::Read(std::uint8_t* data, std::size_t capacity, int timeoutMs) {
    std::unique_lock lock(device_->mutex);
    const auto deadline = Clock::now() + std::chrono::milliseconds{timeoutMs};
    for (;;) {
        if (!Alive()) return -1;
        const auto now = Clock::now();
        auto& replies = device_->replies;
        if (!replies.empty() && replies.front().ready <= now) {
            const std::vector<std::uint8_t> bytes = std::move(replies.front().bytes);
            replies.pop_front();
            return Deliver(bytes, data, capacity);
        }
        if (now >= deadline) return 0;
        const auto wake = replies.empty() ? deadline : std::min(deadline, replies.front().ready);
        device_->changed.wait_until(lock, wake);
    }
}

int SimulatedHidConnection::Deliver(const std::vector<std::uint8_t>& bytes, std::uint8_t* data,
                                    std::size_t capacity) const {
    const std::size_t n = std::min(capacity, inputLength_ - 1);
    std::memset(data, 0, n);
    std::memcpy(data, bytes.data(), std::min(n, bytes.size()));
    return static_cast<int>(n);
}

}  // namespace

SimulatedHidBackend::SimulatedHidBackend() : device_(std::make_shared<SimHidDevice>()) {}

std::unique_ptr<HidConnection> SimulatedHidBackend::Open(std::uint16_t vendorId,
                                                         std::uint16_t productId) {
    if (vendorId != kUsbVendorId || productId != kUsbProductId) return nullptr;
    std::lock_guard lock(device_->mutex);
    if (!device_->plugged) return nullptr;
    device_->replies.clear();
    ++device_->opens;
    return std::make_unique<SimulatedHidConnection>(device_, device_->generation);
}

void SimulatedHidBackend::SetPlugged(bool plugged) {
    {
        std::lock_guard lock(device_->mutex);
        if (device_->plugged && !plugged) {
            ++device_->generation;
            device_->replies.clear();
        }
        device_->plugged = plugged;
    }
    device_->changed.notify_all();
}

bool SimulatedHidBackend::Plugged() const {
    std::lock_guard lock(device_->mutex);
    return device_->plugged;
}

void SimulatedHidBackend::SetReportLengths(std::size_t input, std::size_t output) {
    std::lock_guard lock(device_->mutex);
    device_->inputLength = std::max<std::size_t>(input, 1);
    device_->outputLength = std::max<std::size_t>(output, 1);
}

std::uint32_t SimulatedHidBackend::Opens() const {
    std::lock_guard lock(device_->mutex);
    return device_->opens;
}

}  // namespace orven
