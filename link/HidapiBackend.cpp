#include "link/HidapiBackend.h"

#ifdef ORVEN_HAVE_HIDAPI

#include "link/HidReportDescriptor.h"

#include <hidapi/hidapi.h>

#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

namespace orven {
namespace {

std::vector<std::uint8_t> ReadDescriptor(hid_device* device, const std::string& path) {
#if HID_API_VERSION >= HID_API_MAKE_VERSION(0, 14, 0)
    (void)path;
    std::vector<std::uint8_t> buffer(HID_API_MAX_REPORT_DESCRIPTOR_SIZE);
    int size = hid_get_report_descriptor(device, buffer.data(), buffer.size());
    buffer.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    return buffer;
#else
    // Older libraries cannot return it; the hidraw node's sysfs entry can.
    (void)device;
    const std::string node = path.substr(path.find_last_of('/') + 1);
    std::ifstream in("/sys/class/hidraw/" + node + "/device/report_descriptor", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
#endif
}

bool PathPresent(std::uint16_t vendorId, std::uint16_t productId, const std::string& path) {
    hid_device_info* list = hid_enumerate(vendorId, productId);
    bool present = false;
    for (hid_device_info* info = list; info != nullptr && !present; info = info->next) {
        present = info->path != nullptr && path == info->path;
    }
    hid_free_enumeration(list);
    return present;
}

class HidapiConnection : public HidConnection {
public:
    HidapiConnection(hid_device* device, std::string path, std::uint16_t vendorId,
                     std::uint16_t productId)
        : device_(device), path_(std::move(path)), vendorId_(vendorId), productId_(productId) {
        std::vector<std::uint8_t> descriptor = ReadDescriptor(device_, path_);
        HidReportLengths lengths = ParseReportLengths(descriptor.data(), descriptor.size());
        input_ = lengths.input != 0 ? lengths.input : kFallbackHidReportLength;
        output_ = lengths.output != 0 ? lengths.output : kFallbackHidReportLength;
    }
    ~HidapiConnection() override { hid_close(device_); }

    bool IsAlive() override { return PathPresent(vendorId_, productId_, path_); }
    std::size_t InputReportLength() const override { return input_; }
    std::size_t OutputReportLength() const override { return output_; }

    // hidraw writes are bounded by the kernel's own USB time-out, not by timeoutMs.
    int Write(const std::uint8_t* report, std::size_t length, int) override {
        return hid_write(device_, report, length);
    }

    int Read(std::uint8_t* data, std::size_t capacity, int timeoutMs) override {
        return hid_read_timeout(device_, data, capacity, timeoutMs);
    }

private:
    hid_device* device_;
    std::string path_;
    std::uint16_t vendorId_;
    std::uint16_t productId_;
    std::size_t input_ = kFallbackHidReportLength;
    std::size_t output_ = kFallbackHidReportLength;
};

class HidapiBackend : public HidBackend {
public:
    std::unique_ptr<HidConnection> Open(std::uint16_t vendorId, std::uint16_t productId) override {
        hid_device_info* list = hid_enumerate(vendorId, productId);
        std::unique_ptr<HidConnection> connection;
        for (hid_device_info* info = list; info != nullptr && !connection; info = info->next) {
            if (hid_device* device = hid_open_path(info->path)) {
                connection = std::make_unique<HidapiConnection>(device, info->path, vendorId, productId);
            }
        }
        hid_free_enumeration(list);
        return connection;
    }
};

}  // namespace

std::shared_ptr<HidBackend> MakeHidapiBackend() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = hid_init() == 0; });
    return ready ? std::make_shared<HidapiBackend>() : nullptr;
}

}  // namespace orven

#else

namespace orven {

std::shared_ptr<HidBackend> MakeHidapiBackend() {
    return nullptr;
}

}  // namespace orven

#endif
