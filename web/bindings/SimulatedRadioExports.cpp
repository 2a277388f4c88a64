// The simulated radio for a page or test that stands a port of its own in front of it (the browser
// tests' Web Serial port and WebHID device): behind its programming adaptor as a byte stream, and
// on USB as reports. Time is the page's clock. One of each per module instance.
#include "sim/DemoRadio.h"
#include "sim/SimFaultList.h"
#include "sim/SimulatedHidBackend.h"
#include "sim/SimulatedRadio.h"
#include "sim/SimulatedSerialLink.h"

#include <emscripten.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

struct Line {
    orven::SimulatedRadio radio;
    orven::SimulatedSerialLink link{radio};
};

std::unique_ptr<Line> line;
std::shared_ptr<orven::SimulatedHidBackend> usbRadio;
std::unique_ptr<orven::HidConnection> usbConnection;
std::string error;

}  // namespace

extern "C" {

// Starts a fresh radio with the demo memory and the faults (simulate --faults' list); the
// list's error, or "" when it was taken.
EMSCRIPTEN_KEEPALIVE const char* orven_simline_start(const char* faults) {
    orven::SimFaults parsed;
    error.clear();
    if (!orven::ParseFaults(faults, parsed, error)) return error.c_str();
    line = std::make_unique<Line>();
    orven::FillDemoMemory(line->radio.Memory());
    line->radio.Faults() = parsed;
    return "";
}

EMSCRIPTEN_KEEPALIVE void orven_simline_from_pc(const std::uint8_t* bytes, int length) {
    if (line) line->link.FromPc(bytes, static_cast<std::size_t>(length), Clock::now());
}

// Bytes due for the PC by now, at most capacity; their count.
EMSCRIPTEN_KEEPALIVE int orven_simline_to_pc(std::uint8_t* out, int capacity) {
    return line ? static_cast<int>(line->link.ToPc(out, static_cast<std::size_t>(capacity), Clock::now())) : 0;
}

// Milliseconds until the next byte for the PC falls due (0 when one is due now); -1 when none waits.
EMSCRIPTEN_KEEPALIVE double orven_simline_next_due_ms() {
    if (!line) return -1;
    const auto due = line->link.NextDue();
    if (!due) return -1;
    return std::max(0.0, std::chrono::duration<double, std::milli>(*due - Clock::now()).count());
}

// The radio's memory, for a test to read what was written: a pointer to its 8192 bytes.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* orven_simline_memory() { return line ? line->radio.Memory().data() : nullptr; }

// Plugs in a fresh USB radio with the demo memory and the faults; the list's error, or "".
EMSCRIPTEN_KEEPALIVE const char* orven_simusb_start(const char* faults) {
    orven::SimFaults parsed;
    error.clear();
    if (!orven::ParseFaults(faults, parsed, error)) return error.c_str();
    usbRadio = orven::MakeDemoUsbRadio();
    usbRadio->WithRadio([&parsed](orven::SimulatedRadio& radio) { radio.Faults() = parsed; });
    usbConnection = usbRadio->Open(orven::kUsbVendorId, orven::kUsbProductId);
    return "";
}

// One output report, its report id first; the bytes taken, or -1.
EMSCRIPTEN_KEEPALIVE int orven_simusb_send(const std::uint8_t* report, int length) {
    return usbConnection ? usbConnection->Write(report, static_cast<std::size_t>(length), 0) : -1;
}

// The next input report's data if the radio has one ready; its length, 0 when none is.
EMSCRIPTEN_KEEPALIVE int orven_simusb_receive(std::uint8_t* data, int capacity) {
    return usbConnection ? std::max(0, usbConnection->Read(data, static_cast<std::size_t>(capacity), 0)) : 0;
}

}  // extern "C"
