#include "web/bindings/WebHidBackend.h"

#include <emscripten.h>

namespace orven::web {

namespace {

// The input report length (report id included) of the opened device; 0 when none could be opened.
EM_ASYNC_JS(int, web_hid_open, (int vendorId, int productId), {
    return await Module.links.hid.open(vendorId, productId);
});
EM_JS(int, web_hid_output_length, (), { return Module.links.hid.outputLength(); });
EM_JS(int, web_hid_alive, (), { return Module.links.hid.alive() ? 1 : 0; });
EM_ASYNC_JS(void, web_hid_close, (), { await Module.links.hid.close(); });
// Bytes sent, or -1.
EM_ASYNC_JS(int, web_hid_write, (const std::uint8_t* report, std::size_t length, int timeoutMs), {
    return await Module.links.hid.write(HEAPU8.slice(report, report + length), timeoutMs);
});
// Bytes stored, 0 when nothing came in time, -1 when the device failed.
EM_ASYNC_JS(int, web_hid_read, (std::uint8_t* data, std::size_t capacity, int timeoutMs), {
    const bytes = await Module.links.hid.read(timeoutMs);
    if (bytes === null) return -1;
    const n = Math.min(bytes.length, capacity);
    HEAPU8.fill(0, data, data + capacity);
    HEAPU8.set(bytes.subarray(0, n), data);
    return bytes.length === 0 ? 0 : capacity;
});

class WebHidConnection : public HidConnection {
public:
    WebHidConnection(std::size_t input, std::size_t output) : input_(input), output_(output) {}
    ~WebHidConnection() override { web_hid_close(); }

    bool IsAlive() override { return web_hid_alive() != 0; }
    std::size_t InputReportLength() const override { return input_; }
    std::size_t OutputReportLength() const override { return output_; }
    int Write(const std::uint8_t* report, std::size_t length, int timeoutMs) override {
        return web_hid_write(report, length, timeoutMs);
    }
    int Read(std::uint8_t* data, std::size_t capacity, int timeoutMs) override {
        return web_hid_read(data, capacity, timeoutMs);
    }

private:
    std::size_t input_;
    std::size_t output_;
};

}  // namespace

std::unique_ptr<HidConnection> WebHidBackend::Open(std::uint16_t vendorId, std::uint16_t productId) {
    const int input = web_hid_open(vendorId, productId);
    if (input <= 0) return nullptr;
    return std::make_unique<WebHidConnection>(static_cast<std::size_t>(input),
                                              static_cast<std::size_t>(web_hid_output_length()));
}

}  // namespace orven::web
