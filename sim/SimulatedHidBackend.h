// The simulated radio as a USB HID device: each output report carries one frame, and the
// radio's reply comes back as the next input report. It can be unplugged and plugged in again.
#pragma once

#include "clone/CloneFrame.h"
#include "link/HidBackend.h"
#include "sim/SimulatedRadio.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace orven {

// Report lengths including the report id: one id byte and one 32-byte frame.
inline constexpr std::size_t kSimReportLength = 1 + kFrameSize;

// The device as the backend and every connection opened on it share it.
struct SimHidDevice {
    struct Reply {
        std::vector<std::uint8_t> bytes;  // the frame as the report carries it
        std::chrono::steady_clock::time_point ready;
    };

    std::mutex mutex;
    std::condition_variable changed;
    SimulatedRadio radio;
    bool plugged = true;
    std::uint32_t generation = 0;  // each unplug ends the connections opened before it
    std::uint32_t opens = 0;
    std::size_t inputLength = kSimReportLength;
    std::size_t outputLength = kSimReportLength;
    std::deque<Reply> replies;  // input reports not yet read
};

class SimulatedHidBackend : public HidBackend {
public:
    SimulatedHidBackend();

    // A connection when the ids are the radio's and it is plugged in; nullptr otherwise.
    std::unique_ptr<HidConnection> Open(std::uint16_t vendorId, std::uint16_t productId) override;

    // Unplugging ends every open connection for good; plugging in lets Open find it again.
    void SetPlugged(bool plugged);
    bool Plugged() const;

    // Report lengths (report id included) that connections opened from now on describe.
    void SetReportLengths(std::size_t input, std::size_t output);

    // Successful opens so far.
    std::uint32_t Opens() const;

    // Runs f(SimulatedRadio&) under the device's lock: memory, faults, counters.
    template <class F>
    auto WithRadio(F&& f) {
        std::lock_guard lock(device_->mutex);
        return f(device_->radio);
    }

private:
    std::shared_ptr<SimHidDevice> device_;
};

}  // namespace orven
