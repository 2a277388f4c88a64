// One port of a fleet run: it looks for a radio, programs it, says so, and waits for the next one
// (or, run once, stops). A radio is new when it answers after the port was silent, or holds other
// identity bytes than the radio handled last; the one just programmed, still on the port, is left
// alone until it is taken off. The stop event ends the wait and any transfer at once.
//
// It runs on whatever thread calls it; FleetRun gives each port one.
#pragma once

#include "clone/CloneRunner.h"
#include "clone/FleetProgramming.h"

#include <chrono>
#include <cstddef>
#include <string>

namespace orven {

// What a port is doing, as its line of progress shows it.
struct PortStatus {
    std::string port;
    std::string serial;    // of the radio on the port (empty when none, or it holds none)
    std::string name;      // the roster's name for it
    std::string step;      // "Waiting for a radio", "Backing up", "Writing", "Reading back", ...
    std::string problem;   // while waiting: why the port could not be looked at (it cannot be
                           // opened, no adaptor answers); empty when it could, the radio only silent
    int percent = -1;      // of the step, when it moves the radio's memory
    std::string result;    // what became of the last radio: "programmed", "FAILED", "untouched"
    bool ended = false;    // the port takes no radio more
};

// Where a run reports: called from the ports' threads, so an implementation takes care of its own
// locking and never blocks for long.
class FleetSink {
public:
    virtual ~FleetSink() = default;
    virtual void PortChanged(std::size_t port, const PortStatus& status) = 0;
    virtual void RadioFinished(std::size_t port, const RadioReport& report) = 0;
};

struct FleetOptions {
    bool once = false;  // program the radio present on each port, then stop
    // How often a port without a new radio looks again.
    std::chrono::milliseconds lookPeriod{1000};
};

// The steps a port's line names besides the runner's own phases.
inline constexpr const char* kStepWaiting = "Waiting for a radio";
inline constexpr const char* kStepLooking = "Looking at the radio";
inline constexpr const char* kStepRemove = "Done: take the radio off";
inline constexpr const char* kStepEnded = "Ended";

// Runs one port until the stop event is set, the ledger closes, or (once) its radio is handled.
// `job` is the port's own: state, images and link; its progress is replaced by the port's line.
void RunFleetPort(const FleetPlan& plan, FleetLedger& ledger, CloneJob job, std::size_t index, FleetSink& sink,
                  const FleetOptions& options);

}  // namespace orven
