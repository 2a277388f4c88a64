// Check Connection: why a radio does not answer, as a checklist the command line prints and the
// window shows. The system's part (device node, permissions, holders, udev) comes from
// link/ConnectionProbe; here the link is tried with the identify frame alone, the frame a
// handshake sends, so nothing else reaches the radio: does the adaptor echo, does the radio
// answer and how fast, and does fast transfer suit the link.
#pragma once

#include "clone/CloneRunner.h"
#include "link/ConnectionProbe.h"

#include <string>
#include <vector>

namespace orven {

struct ConnectionReport {
    std::vector<CheckLine> lines;
    bool radioAnswers = false;
    CheckReader reader = CheckReader::CommandLine;  // whose controls the fixes name
};

// The checklist's first line for the built-in simulated radio, whose system probes are skipped.
inline constexpr const char* kDemoRadioCheckText = "the built-in demo radio (no adaptor, port or cable to check)";

// How many identify exchanges the timing is measured over.
inline constexpr int kCheckExchanges = 5;

// The checklist for the job's port (comPort or serialDevice, else USB) at its baud rate, its fixes
// worded for `reader`. Without `probeSystem` (the built-in demo radio) the list opens with
// kDemoRadioCheckText and only the USB radio's answers are checked.
ConnectionReport CheckConnection(const CloneJob& job, const SystemPaths& paths = {}, bool probeSystem = true,
                                 CheckReader reader = CheckReader::CommandLine);

// The checklist as plain text, as the command line prints it and the window copies it: the status
// word padded to a column, what was found, and the fix on an indented line beneath.
std::string ChecklistText(const ConnectionReport& report);

// The verdict under the checklist: whether the radio answers.
inline constexpr const char* kRadioAnswersText = "The radio answers.";
inline constexpr const char* kRadioSilentText = "The radio does not answer: see the first FAIL above.";
inline const char* CheckVerdict(const ConnectionReport& report) {
    return report.radioAnswers ? kRadioAnswersText : kRadioSilentText;
}

}  // namespace orven
