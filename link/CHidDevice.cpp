#include "link/CHidDevice.h"

#include "GlobalDef.h"
#include "link/HidapiBackend.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace orven {
namespace {

std::size_t UsableLength(std::size_t reported) {
    return std::clamp<std::size_t>(reported, 1, kMaxHidReportLength);
}

void WaitOut(int timeoutMs) {
    if (timeoutMs > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
    }
}

}  // namespace

CHidDevice::CHidDevice(std::uint16_t vendorId, std::uint16_t productId, HidBackend* backend)
    : backend_(backend, [](HidBackend*) {}), vendorId_(vendorId), productId_(productId) {}

CHidDevice::~CHidDevice() {
    CloseHandles();
}

void CHidDevice::SetBackend(std::shared_ptr<HidBackend> backend) {
    std::lock_guard lock(mutex_);
    CloseLocked();
    backend_ = std::move(backend);
}

bool CHidDevice::FindDevice() {
    std::lock_guard lock(mutex_);
    CloseLocked();
    if (!backend_) {
        return false;
    }
    connection_ = backend_->Open(vendorId_, productId_);
    if (connection_) {
        found_ = true;
        inputLength_ = UsableLength(connection_->InputReportLength());
        outputLength_ = UsableLength(connection_->OutputReportLength());
    }
    return found_;
}

bool CHidDevice::IsPresent() {
    std::lock_guard lock(mutex_);
    return connection_ && connection_->IsAlive();
}

int CHidDevice::ReadReport(std::uint8_t* buf, std::size_t len, int timeoutMs) {
    if (len > 0) {
        std::memset(buf, 0, len);
    }
    {
        std::lock_guard lock(mutex_);
        if (connection_) {
            inputReport_.fill(0);
            int got = connection_->Read(inputReport_.data() + 1, inputLength_ - 1, timeoutMs);
            if (got <= 0) {
                CloseLocked();
                return 0;
            }
            std::memcpy(buf, inputReport_.data() + 1, std::min(inputLength_ - 1, len));
            return 1;
        }
    }
    WaitOut(timeoutMs);
    return 0;
}

int CHidDevice::WriteReport(const std::uint8_t* buf, std::size_t len, int timeoutMs) {
    if (len > kMaxHidPayload) {
        return 0;
    }
    {
        std::lock_guard lock(mutex_);
        if (connection_) {
            outputReport_.fill(0);
            std::memcpy(outputReport_.data() + 1, buf, len);
            if (connection_->Write(outputReport_.data(), outputLength_, timeoutMs) < 0) {
                CloseLocked();
                return 0;
            }
            return 1;
        }
    }
    WaitOut(timeoutMs);
    return 0;
}

void CHidDevice::CloseHandles() {
    std::lock_guard lock(mutex_);
    CloseLocked();
}

bool CHidDevice::Found() const {
    std::lock_guard lock(mutex_);
    return found_;
}

void CHidDevice::CloseLocked() {
    connection_.reset();
    found_ = false;
}

CHidDevice& HidDeviceObject() {
    static CHidDevice device(kUsbVendorId, kUsbProductId);
    static const bool withBackend = [] {
        device.SetBackend(MakeHidapiBackend());
        return true;
    }();
    (void)withBackend;
    return device;
}

}  // namespace orven
