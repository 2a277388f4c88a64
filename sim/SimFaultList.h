// The simulated radio's faults as a comma-separated list of switches, as `orven-cli simulate
// --faults` and the web edition's test port take them.
#pragma once

#include "sim/SimFaults.h"

#include <string>

namespace orven {

// Names: no-echo, no-radio, garbled-echo=BYTE, noise=N, stray-dollar, split=N, bad-checksum,
// bad-prefix, wrong-ack, delay=MS, silent-after=N, baud=RATE, stuck=ADDRESS, repeat=N (byte N of a
// reply comes twice), first=N (faults hit only frames 1..N), every=N (only frames N, 2N, ...),
// gap=MS. Numbers are decimal or "0x" hexadecimal; an address must lie in the clone range, a byte
// within the frame. False with a message for an unknown name, a bad number, or an address or byte
// outside its range.
bool ParseFaults(const std::string& text, SimFaults& faults, std::string& error);

// The names for --help.
std::string FaultNamesHelp();

}  // namespace orven
