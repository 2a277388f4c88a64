// The radio on USB: finds the HID device with the wanted ids, keeps it open and moves one
// output report out and one input report in, each within a time-out. Any failed transfer closes
// the device, so the next user has to find it again.
//
// The detection timer and a clone worker share the one instance: every call takes the
// object's lock. A transfer holds it for the length of one backend transfer, never while it
// waits out the time-out for a device that is not there.
#pragma once

#include "link/HidBackend.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace orven {

// Reports carry a report id byte and at most this many bytes in all.
inline constexpr std::size_t kMaxHidReportLength = 256;
inline constexpr std::size_t kMaxHidPayload = kMaxHidReportLength - 1;

class CHidDevice {
public:
    // The backend, if given, is borrowed and must outlive the object.
    CHidDevice(std::uint16_t vendorId, std::uint16_t productId, HidBackend* backend = nullptr);
    virtual ~CHidDevice();
    CHidDevice(const CHidDevice&) = delete;
    CHidDevice& operator=(const CHidDevice&) = delete;

    // Replaces the backend; what the old one opened is closed.
    void SetBackend(std::shared_ptr<HidBackend> backend);

    // Closes what is open and opens the first present device with the ids; the found flag.
    bool FindDevice();

    // The device is open and still attached.
    bool IsPresent();

    // Receives one input report into buf: len bytes are zeroed, then the report's data (up to
    // len bytes) are copied. 1 on success; 0 on time-out or failure.
    int ReadReport(std::uint8_t* buf, std::size_t len, int timeoutMs);

    // Sends report id 0, len bytes of buf and zeros up to the output report length. 1 on
    // success; 0 on time-out or failure, and at once (sending nothing) when len is above
    // kMaxHidPayload.
    int WriteReport(const std::uint8_t* buf, std::size_t len, int timeoutMs);

    // Closes the device and clears the found flag.
    void CloseHandles();

    bool Found() const;

private:
    void CloseLocked();

    mutable std::mutex mutex_;
    std::shared_ptr<HidBackend> backend_;
    std::unique_ptr<HidConnection> connection_;
    bool found_ = false;
    std::uint16_t vendorId_;
    std::uint16_t productId_;
    std::size_t inputLength_ = 0;
    std::size_t outputLength_ = 0;
    std::array<std::uint8_t, kMaxHidReportLength> inputReport_{};
    std::array<std::uint8_t, kMaxHidReportLength> outputReport_{};
};

// The one process-wide instance for the radio's ids, over the system's HID library when the
// build has it, else over no backend (it never finds a device).
CHidDevice& HidDeviceObject();

}  // namespace orven
