// A fleet run over many ports at once: one thread a port, each with a state, images and link of
// its own, all of them sharing one ledger, so that k radios on k ports take about the time of one
// (the line is the limit, not the program). The stop event ends every port: a transfer under way
// stops as a single write does, named with its backup. Native only: a front end without threads
// runs one port with RunFleetPort.
#pragma once

#include "clone/FleetPort.h"
#include "clone/FleetProgramming.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace orven {

// What one port needs of its own.
struct FleetPortLink {
    AppState state{};
    RadioImage writeImage{};
    RadioImage readImage{};
    CloneJob job;
};
// A port's link from the name the user gives it: USB, COMn or a serial device path, with the rest
// (baud rate, timing, archive, the USB device) as in `base`, and the template's model type.
// Nothing for a name that is none of these.
std::unique_ptr<FleetPortLink> MakeFleetPortLink(const std::string& name, const CloneJob& base,
                                                 const RadioSettings& model);

// Why ports cannot be run together: one named twice, USB twice, two names of one device. Empty
// when they can.
std::string PortListProblem(const std::vector<std::string>& names);

struct FleetSummary {
    std::vector<RadioReport> radios;  // every radio met (and every port of a run once that met none)
    std::string closed;               // why the run stopped taking radios before it was stopped
    std::size_t programmed = 0, failed = 0, untouched = 0;
    std::size_t silent = 0;   // ports of a run once on which no radio answered
    std::size_t stopped = 0;  // ports of a run once stopped before they handled their radio
    // Every radio met was programmed and verified, every port of a run once met one and was not
    // stopped first, and the run was not cut short by a changed file.
    bool AllProgrammed() const {
        return failed == 0 && untouched == 0 && silent == 0 && stopped == 0 && closed.empty();
    }
};
// The run's count as the user is told it: "2 programmed and verified, 0 failed, 0 untouched".
std::string FleetSummaryText(const FleetSummary& summary);

// Runs every port on a thread of its own until each has ended (stopped, closed, or once done).
// With an archive, the run holds its fleet lock throughout; when another run holds it, no port is
// opened and `closed` says why.
FleetSummary RunFleet(const FleetPlan& plan, const std::vector<std::unique_ptr<FleetPortLink>>& ports,
                      const RadioArchive* archive, FleetSink& sink, const FleetOptions& options);

}  // namespace orven
