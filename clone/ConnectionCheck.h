// Check Connection: why a radio does not answer, as a checklist the command line prints and the
// window shows. The system's part (device node, permissions, holders, udev) comes from
// link/ConnectionProbe; here the link is tried with the identify frame alone, the frame a
// handshake sends, so nothing else reaches the radio: does the adaptor echo, does the radio
// answer and how fast, and does fast transfer suit the link.
#pragma once

#include "clone/CloneRunner.h"
#include "link/ConnectionProbe.h"

#include <vector>

namespace orven {

struct ConnectionReport {
    std::vector<CheckLine> lines;
    bool radioAnswers = false;
};

// How many identify exchanges the timing is measured over.
inline constexpr int kCheckExchanges = 5;

// The checklist for the job's port (comPort or serialDevice, else USB) at its baud rate. Without
// `probeSystem` (a simulated radio) only the USB radio's answers are checked.
ConnectionReport CheckConnection(const CloneJob& job, const SystemPaths& paths = {}, bool probeSystem = true);

}  // namespace orven
