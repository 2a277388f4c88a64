#include "clone/FleetRun.h"

#include "files/FleetArchiveLock.h"
#include "link/PortNames.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <optional>
#include <thread>

namespace orven {

namespace {

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The device a port name stands for, links followed, so that two names of one device are seen as one.
std::string DeviceOf(const std::string& name) {
    const int n = ParseComPortName(name);
    const std::string path = n ? ComPortDevice(n) : name;
    if (path.empty()) return name;
    char real[PATH_MAX];
    return realpath(path.c_str(), real) ? std::string(real) : path;
}

}  // namespace

std::unique_ptr<FleetPortLink> MakeFleetPortLink(const std::string& name, const CloneJob& base,
                                                 const RadioSettings& model) {
    auto link = std::make_unique<FleetPortLink>();
    if (base.state) link->state = *base.state;
    link->state.comPort = 0;
    link->state.modelType = ModelTypeOfDocument(model);
    link->job = base;
    link->job.state = &link->state;
    link->job.writeImage = &link->writeImage;
    link->job.readImage = &link->readImage;
    link->job.portName = name;
    link->job.serialDevice.clear();
    if (Upper(name) == "USB") return link;
    if (name.find('/') != std::string::npos) {
        link->job.serialDevice = name;
        return link;
    }
    link->state.comPort = ParseComPortName(name);
    if (!link->state.comPort) return nullptr;
    return link;
}

std::string FleetSummaryText(const FleetSummary& summary) {
    std::string text = std::to_string(summary.programmed) + " programmed and verified, " +
                       std::to_string(summary.failed) + " failed, " + std::to_string(summary.untouched) + " untouched";
    if (summary.silent) text += ", " + std::to_string(summary.silent) + " port(s) without a radio";
    if (summary.stopped) text += ", " + std::to_string(summary.stopped) + " port(s) stopped before their radio";
    return text;
}

std::string PortListProblem(const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const bool usb = Upper(names[i]) == "USB" && Upper(names[j]) == "USB";
            if (usb) return "USB is named twice: one USB radio can be programmed at a time";
            if (Upper(names[i]) == Upper(names[j]) || DeviceOf(names[i]) == DeviceOf(names[j]))
                return names[j] + " and " + names[i] + " are one port: each port can be named once";
        }
    return {};
}

FleetSummary RunFleet(const FleetPlan& plan, const std::vector<std::unique_ptr<FleetPortLink>>& ports,
                      const RadioArchive* archive, FleetSink& sink, const FleetOptions& options) {
    FleetSummary summary;
    std::optional<FleetArchiveLock> lock;
    if (archive) lock.emplace(*archive);
    if (lock && !lock->Held()) {
        summary.closed = lock->Why();
        return summary;
    }
    FleetLedger ledger(plan, archive);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < ports.size(); ++i)
        threads.emplace_back([&, i] { RunFleetPort(plan, ledger, ports[i]->job, i, sink, options); });
    for (std::thread& thread : threads) thread.join();

    summary.radios = ledger.Reports();
    summary.closed = ledger.Closed();
    for (const RadioReport& report : summary.radios) {
        if (report.verdict == RadioVerdict::Programmed) ++summary.programmed;
        else if (report.verdict == RadioVerdict::Failed) ++summary.failed;
        else if (report.verdict == RadioVerdict::NoRadio) ++summary.silent;
        else if (report.verdict == RadioVerdict::Stopped) ++summary.stopped;
        else ++summary.untouched;
    }
    return summary;
}

}  // namespace orven
