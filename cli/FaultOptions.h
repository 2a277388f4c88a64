// The --faults option of `orven-cli simulate`: a comma-separated list of fault switches.
#pragma once

#include "sim/SimFaults.h"

#include <string>

namespace orven::cli {

// Names: no-echo, no-radio, noise=N, stray-dollar, split=N, bad-checksum, bad-prefix,
// wrong-ack, delay=MS, silent-after=N, baud=RATE, first=N (faults hit only frames 1..N).
// False with a message for an unknown name or a bad number.
bool ParseFaults(const std::string& text, SimFaults& faults, std::string& error);

// The names for --help.
std::string FaultNamesHelp();

}  // namespace orven::cli
