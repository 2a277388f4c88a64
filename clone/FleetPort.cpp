#include "clone/FleetPort.h"

#include "clone/CloneEvent.h"
#include "model/RadioIdentities.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace orven {

namespace {

constexpr int kFullPercent = 100;

// The port's line: the runner's phases and how far each has gone, told to the sink as the share
// of the step changes. Quiet while the port only looks at a radio.
class PortProgress : public ProgressSink {
public:
    PortProgress(PortStatus& status, FleetSink& sink, std::size_t index) : status_(status), sink_(sink), index_(index) {}

    void SetRange(int min, int max) override {
        min_ = min;
        max_ = max;
        pos_ = min;
        Publish(false);
    }
    void SetStep(int step) override { step_ = step; }
    void StepIt() override {
        pos_ += step_;
        Publish(false);
    }
    void SetPos(int pos) override { pos_ = pos; }
    void SetPhase(const char* name) override {
        if (quiet_) return;
        status_.step = name;
        status_.percent = 0;
        sink_.PortChanged(index_, status_);
    }
    void SetQuiet(bool quiet) { quiet_ = quiet; }

private:
    void Publish(bool always) {
        if (quiet_ || max_ <= min_) return;
        // A phase may step past the range it set (its last frames); the line never says more than done.
        const int percent = std::clamp((pos_ - min_) * kFullPercent / (max_ - min_), 0, kFullPercent);
        if (!always && percent == status_.percent) return;
        status_.percent = percent;
        sink_.PortChanged(index_, status_);
    }

    PortStatus& status_;
    FleetSink& sink_;
    std::size_t index_;
    bool quiet_ = false;
    int min_ = 0, max_ = 0, step_ = 1, pos_ = 0;
};

// The bytes of a radio's identities, by which a port tells one radio from the next.
using IdentityBytes = std::vector<std::uint8_t>;

IdentityBytes IdentityBytesOf(const RadioImage& image) {
    return {image.begin() + kIdentityBytesFirst, image.begin() + kIdentityBytesLast + 1};
}

const char* ResultWord(RadioVerdict verdict) {
    if (verdict == RadioVerdict::Programmed) return "programmed";
    if (verdict == RadioVerdict::Failed) return "FAILED";
    return "untouched";
}

class PortLoop {
public:
    PortLoop(const FleetPlan& plan, FleetLedger& ledger, CloneJob job, std::size_t index, FleetSink& sink,
             const FleetOptions& options)
        : plan_(plan), ledger_(ledger), job_(std::move(job)), index_(index), sink_(sink), options_(options),
          progress_(status_, sink, index) {
        job_.progress = &progress_;
        status_.port = job_.portName;
    }

    void Run() {
        bool met = false;
        while (!CloneStopEvent.IsSet() && ledger_.Closed().empty()) {
            const std::optional<IdentityBytes> radio = Look();
            if (CloneStopEvent.IsSet()) break;
            // What the radio just handled holds now, so that it is not taken for the next one
            // while it stays.
            if (justHandled_) handled_ = radio;
            justHandled_ = false;
            if (!radio) {
                handled_.reset();  // taken off: whatever answers next is another radio
                if (options_.once && !met) NoRadio();
                if (options_.once) break;
                Show(kStepWaiting, "", "", PortProblem());
            } else if (handled_ && *handled_ == *radio) {
                if (options_.once) break;
                Show(kStepRemove, status_.serial, status_.name);
            } else {
                met = true;
                Handle();
                justHandled_ = true;
                if (options_.once) break;
                continue;
            }
            CloneStopEvent.Wait(options_.lookPeriod);
        }
        // Run once, every port answers for its radio: one stopped before it is no success.
        if (options_.once && !finished_ && CloneStopEvent.IsSet()) Stopped();
        status_.step = kStepEnded;
        status_.problem.clear();
        status_.percent = -1;
        status_.ended = true;
        sink_.PortChanged(index_, status_);
    }

private:
    // The identity frames of the radio on the port; nothing when none answers.
    std::optional<IdentityBytes> Look() {
        progress_.SetQuiet(true);
        lookOutcome_ = RunIdentityRead(job_);
        progress_.SetQuiet(false);
        if (!lookOutcome_.Ok()) return std::nullopt;
        return IdentityBytesOf(*job_.readImage);
    }

    // Why the last look found no radio, when it is more than a port without one: a port that
    // cannot be opened is no wait the user should sit out unaware.
    std::string PortProblem() const {
        return lookOutcome_.result == kResultNoRadio ? std::string() : OutcomeText(lookOutcome_);
    }

    void Show(const char* step, const std::string& serial, const std::string& name, const std::string& problem = {}) {
        const bool same = status_.step == step && status_.serial == serial && status_.name == name &&
                          status_.problem == problem;
        status_.step = step;
        status_.serial = serial;
        status_.name = name;
        status_.problem = problem;
        status_.percent = -1;
        if (!same) sink_.PortChanged(index_, status_);
    }

    void NoRadio() {
        RadioReport report;
        report.port = job_.portName;
        report.verdict = RadioVerdict::NoRadio;
        report.detail = OutcomeText(lookOutcome_);
        ledger_.Note(report);
        Finish(report);
    }

    void Stopped() {
        RadioReport report;
        report.port = job_.portName;
        report.verdict = RadioVerdict::Stopped;
        ledger_.Note(report);
        Finish(report);
    }

    void Handle() {
        const std::string serial = IdentitiesInImage(*job_.readImage)[IdentityKind::Serial];
        Show(kStepLooking, serial, "");
        const FleetTicket ticket = ledger_.Take(serial, job_.portName);
        RadioReport report;
        if (!ticket.row) {
            report.port = job_.portName;
            report.serial = serial;
            report.verdict = ticket.verdict;
            report.detail = ticket.detail;
            ledger_.Note(report);
        } else {
            Show(kStepLooking, serial, ticket.row->name);
            report = ProgramRadio(plan_, job_, ticket, serial);
            ledger_.Settle(ticket, report);
        }
        Finish(report);
    }

    void Finish(const RadioReport& report) {
        finished_ = true;
        status_.result = ResultWord(report.verdict);
        if (report.verdict == RadioVerdict::NoRadio) status_.result = "no radio";
        if (report.verdict == RadioVerdict::Stopped) status_.result = "stopped";
        sink_.RadioFinished(index_, report);
        sink_.PortChanged(index_, status_);
    }

    const FleetPlan& plan_;
    FleetLedger& ledger_;
    CloneJob job_;
    std::size_t index_;
    FleetSink& sink_;
    const FleetOptions& options_;
    PortStatus status_;
    PortProgress progress_;
    CloneOutcome lookOutcome_;
    std::optional<IdentityBytes> handled_;  // the radio handled last, while it stays on the port
    bool justHandled_ = false;
    bool finished_ = false;  // a radio's report (or the port's, when it met none) was given
};

}  // namespace

void RunFleetPort(const FleetPlan& plan, FleetLedger& ledger, CloneJob job, std::size_t index, FleetSink& sink,
                  const FleetOptions& options) {
    PortLoop(plan, ledger, std::move(job), index, sink, options).Run();
}

}  // namespace orven
