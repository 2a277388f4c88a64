// The simulated radio behind its programming adaptor as a byte stream, for a page or test that
// stands a serial port in front of it (the browser tests' Web Serial port). Time is the page's
// clock. One line per module instance.
#include "sim/DemoRadio.h"
#include "sim/SimFaultList.h"
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

}  // extern "C"
