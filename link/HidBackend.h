// The seam between the HID device object and the system's HID library: the real backend talks
// to hidraw devices, the simulated radio offers one of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace orven {

// One opened HID device.
class HidConnection {
public:
    virtual ~HidConnection() = default;

    // False once the device is gone (unplugged); cheap enough to ask every second.
    virtual bool IsAlive() = 0;

    // Report lengths including the report id byte, as the device describes them.
    virtual std::size_t InputReportLength() const = 0;
    virtual std::size_t OutputReportLength() const = 0;

    // Sends one output report: report[0] is the report id, then the payload.
    // Returns the bytes written, or -1 on failure or when timeoutMs passed.
    virtual int Write(const std::uint8_t* report, std::size_t length, int timeoutMs) = 0;

    // Receives one input report's data, without the report id byte (the device uses no
    // numbered reports). Returns the bytes stored, 0 when nothing came within timeoutMs, -1 on
    // failure.
    virtual int Read(std::uint8_t* data, std::size_t capacity, int timeoutMs) = 0;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Opens the first present device with these ids; nullptr when there is none.
    virtual std::unique_ptr<HidConnection> Open(std::uint16_t vendorId, std::uint16_t productId) = 0;
};

}  // namespace orven
