#include "bench/Breakdown.h"

#include "bench/BenchLink.h"
#include "bench/IdealClient.h"
#include "clone/CPcUartClone.h"
#include "clone/CloneEvent.h"
#include "sim/RecordingProgress.h"

#include <algorithm>
#include <cstdio>

namespace orven::bench {

namespace {

double Microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

struct Spread {
    double median = 0, p90 = 0;
};

// The durations past `limitUs`.
Spread Over(std::vector<Clock::duration> times, double limitUs) {
    Spread s;
    if (times.empty()) return s;
    std::sort(times.begin(), times.end());
    s.median = Microseconds(times[times.size() / 2]) - limitUs;
    s.p90 = Microseconds(times[times.size() * 9 / 10]) - limitUs;
    return s;
}

// Notes when each chunk of a transfer was stepped: one exchange lies between two steps.
class StepClock : public ProgressSink {
public:
    void SetRange(int, int) override {}
    void SetStep(int) override {}
    void StepIt() override { steps.push_back(Clock::now()); }
    void SetPos(int) override {}
    std::vector<Clock::time_point> steps;
};

class FastEngine {
public:
    explicit FastEngine(BenchLink& link) {
        state_.baudIndex = static_cast<int>(std::find(kBaudTable.begin(), kBaudTable.end(), link.Baud()) - kBaudTable.begin());
        engine_.SetDevicePath(link.DevicePath());
        engine_.SetAppState(&state_);
        engine_.SetSettings(settings_.get());
        engine_.SetProgress(&steps_);
        engine_.SetImages(*images_, *images_);
        timing_.fast = true;
        CloneStopEvent.Reset();
    }

    // Operations that went over to the product's timing (each starts fast again).
    int fellBack = 0;

    // Exchanges inside whole reads, from one step of the progress to the next.
    std::vector<Clock::duration> InTransfer(int count) {
        std::vector<Clock::duration> times;
        while (static_cast<int>(times.size()) < count) {
            steps_.steps.clear();
            engine_.SetTiming(timing_);
            if (engine_.ReadRadio() != kResultOk) return {};
            fellBack += engine_.FellBack() ? 1 : 0;
            for (std::size_t i = 1; i < steps_.steps.size(); ++i) times.push_back(steps_.steps[i] - steps_.steps[i - 1]);
        }
        return times;
    }

    std::vector<Clock::duration> Alone(int count) {
        std::vector<Clock::duration> times;
        for (int i = 0; i < count; ++i) {
            engine_.SetTiming(timing_);
            const auto start = Clock::now();
            if (engine_.HandShake() != kResultOk) return {};
            fellBack += engine_.FellBack() ? 1 : 0;
            times.push_back(Clock::now() - start);
        }
        return times;
    }

private:
    CloneTiming timing_ = kProductTiming;
    AppState state_ = FreshAppState();
    std::unique_ptr<RadioSettings> settings_ = std::make_unique<RadioSettings>();
    std::unique_ptr<RadioImage> images_ = std::make_unique<RadioImage>();
    StepClock steps_;
    CPcUartClone engine_;
};

}  // namespace

bool PrintBreakdown(const std::string& links, int exchanges) {
    std::printf("| link | byte time | line limit | ideal client: median (p90) | in a fast read: median (p90) | "
                "alone: median (p90) | in a read / ideal |\n|---|---:|---:|---:|---:|---:|---:|\n");
    int fellBack = 0;
    for (const std::string& name : Split(links)) {
        BenchLink link(name);
        if (!link.Start() || link.Usb()) return false;
        const double limitUs = link.LineLimitSeconds(1) * 1e6;
        const auto ideal = IdealExchanges(link, MakeIdentifyFrame(), exchanges);
        FastEngine engine(link);
        const std::vector<Clock::duration> inRead = engine.InTransfer(exchanges);
        const std::vector<Clock::duration> alone = engine.Alone(exchanges);
        if (!ideal || inRead.empty() || alone.empty()) return false;
        fellBack += engine.fellBack;
        const Spread i = Over(*ideal, limitUs), r = Over(inRead, limitUs), a = Over(alone, limitUs);
        std::printf("| %s baud | %.1f | %.0f | +%.0f (+%.0f) | +%.0f (+%.0f) | +%.0f (+%.0f) | %.3f |\n", name.c_str(),
                    limitUs / (2 * kFrameSize), limitUs, i.median, i.p90, r.median, r.p90, a.median, a.p90,
                    (limitUs + r.median) / (limitUs + i.median));
        std::fflush(stdout);
    }
    std::printf("\nMicroseconds past the line limit of one exchange (its echo and reply, 64 byte times).\n");
    if (fellBack > 0)
        std::printf("%d of the engine's operations went over to the product's timing after a failed attempt.\n",
                    fellBack);
    return true;
}

}  // namespace orven::bench
