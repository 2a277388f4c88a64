// The serial port of the web edition: CPCUart over the page's Web Serial link (Module.links.serial).
// The port is the one the user picked in the browser, so the port number and path are not used.
// Waits are awaits: the engine is suspended while the browser runs, and resumes when the bytes
// are taken or have arrived.
#include "link/CPCUart.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdlib>

namespace orven {

namespace {

// How the page's open went (the link's `cause` says more when it failed).
enum OpenKind { kOpened = 0, kNoPortChosen = 1, kPortBusy = 2, kOpenFailed = 3 };

CloneResult OpenFailure(int kind) {
    switch (kind) {
    case kNoPortChosen: return kResultPortNotFound;
    case kPortBusy: return kResultPortDenied;
    default: return kResultGeneric;
    }
}

EM_ASYNC_JS(int, web_serial_open, (unsigned baud), {
    return await Module.links.serial.open(baud);
});
EM_JS(char*, web_serial_open_cause, (), {
    return allocateUTF8(Module.links.serial.cause || "");
});
EM_ASYNC_JS(void, web_serial_close, (), {
    await Module.links.serial.close();
});
EM_ASYNC_JS(int, web_serial_write, (const std::uint8_t* data, std::size_t length, int timeoutMs), {
    return await Module.links.serial.write(HEAPU8.slice(data, data + length), timeoutMs) ? 1 : 0;
});
EM_JS(int, web_serial_available, (), {
    return Module.links.serial.available();
});
EM_JS(int, web_serial_read, (std::uint8_t* data, std::size_t length), {
    const bytes = Module.links.serial.read(length);
    if (bytes === null) return -1;
    HEAPU8.set(bytes, data);
    return bytes.length;
});
EM_JS(void, web_serial_drop_input, (), {
    Module.links.serial.read(1 << 30);
});
EM_ASYNC_JS(int, web_serial_wait_readable, (double ms), {
    return await Module.links.serial.waitReadable(ms) ? 1 : 0;
});

// Stands for the descriptor of an open port, for callers that ask whether it is open.
constexpr int kOpenHandle = 1;

}  // namespace

CPCUart::~CPCUart() { Close(); }

bool CPCUart::OpenDefault(int portIndex, std::uint32_t baud) {
    return Open(portIndex, baud, kDefaultByteSize, kStopBitsOne, kParityNone);
}

bool CPCUart::Open(int, std::uint32_t baud, std::uint8_t size, std::uint8_t stop, std::uint8_t par) {
    byteSize = size;
    stopBits = stop;
    parity = par;
    return OpenPath({}, baud);
}

bool CPCUart::OpenPath(const std::string&, std::uint32_t baud) {
    Close();
    baudRate = baud;
    const int kind = web_serial_open(baud);
    if (kind != kOpened) {
        lastError_ = OpenFailure(kind);
        char* cause = web_serial_open_cause();
        openCause_ = cause;
        std::free(cause);
        return false;
    }
    lastError_ = kResultOk;
    openCause_.clear();
    open_ = true;
    fd_ = kOpenHandle;
    return true;
}

// The line is set when the port is opened: Web Serial takes the speed and framing only then.
bool CPCUart::SetState() { return open_; }

int CPCUart::Close() {
    if (open_) web_serial_close();
    open_ = false;
    fd_ = -1;
    return 1;
}

CloneResult CPCUart::Write(const std::uint8_t* data, std::size_t length) {
    if (!open_ || !web_serial_write(data, length, kWriteTimeoutMs)) return lastError_ = kResultPortWrite;
    return kResultOk;
}

CloneResult CPCUart::Read(std::uint8_t* data, std::size_t length, std::size_t* count) {
    *count = 0;
    if (!open_) return kResultPortRead;
    const int got = web_serial_read(data, length);
    if (got < 0) return lastError_ = kResultPortRead;
    *count = static_cast<std::size_t>(got);
    return kResultOk;
}

std::size_t CPCUart::BytesWaiting() { return open_ ? static_cast<std::size_t>(std::max(0, web_serial_available())) : 0; }

void CPCUart::DropInput() {
    if (open_) web_serial_drop_input();
}

// A write resolves once the browser has handed the bytes to the port.
void CPCUart::Drain() {}

bool CPCUart::WaitReadable(std::chrono::nanoseconds wait) const {
    if (!open_) return false;
    return web_serial_wait_readable(std::chrono::duration<double, std::milli>(wait).count()) != 0;
}

}  // namespace orven
