// Whole transfers against the simulated radio in which any exchange may meet one random fault:
// bytes lost, repeated, garbled, late or split on the line, noise, a dead adaptor, a silent
// radio. Each transfer must end with the radio's exact bytes or with a known failure in bounded
// time, and a failed read must leave the caller's settings alone.
// ORVEN_SOAK_EXCHANGES and ORVEN_SOAK_SEED set the length of the run and its random choices.

#include "clone/CloneRunner.h"

#include "clone/CloneResult.h"
#include "clone/EngineTestSupport.h"
#include "link/CHidDevice.h"
#include "sim/SimulatedHidBackend.h"
#include "sim/SimulatedRadioPty.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <random>
#include <set>

namespace orven {
namespace {

using namespace orven::test;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

enum class Fault { None, Drop, Duplicate, Corrupt, Late, Split, Noise, NoEcho, NoReply, BadPrefix, Count };
constexpr const char* kFaultNames[] = {"none",  "dropped byte", "duplicated byte", "corrupted byte",
                                       "late reply", "split reply", "noise", "dead adaptor",
                                       "silent radio", "bad prefix"};
static_assert(std::size(kFaultNames) == static_cast<std::size_t>(Fault::Count));

enum class Link { SerialFast, SerialPolled, Usb };
constexpr const char* kLinkNames[] = {"serial, fast transfer", "serial, polled receive", "USB"};

// The serial receive waits up to 40 ms (20 polls of 2 ms); the polled one 20 ms (1 ms polls).
constexpr CloneTiming kSoakFast{milliseconds(2), 20, milliseconds(30), true};
constexpr CloneTiming kSoakPolled{milliseconds(1), 20, milliseconds(30), false};
// Scheduling allowance per attempt, and for a whole transfer.
constexpr milliseconds kAttemptSlack{15};
constexpr milliseconds kTransferSlack{1000};
// Frame numbers a plan covers: two identify exchanges and 77 chunks, each tried three times.
constexpr std::uint32_t kPlanFrames = 3 * (2 + kChunks);

// The codes a failed transfer may end with on each link.
const std::set<CloneResult> kSerialFailures = {kResultNoAdaptor, kResultNoRadio, kResultChecksum,
                                               kResultWriteError};
const std::set<CloneResult> kUsbFailures = {kResultNoRadio, kResultTimeout, kResultBadPrefix,
                                            kResultChecksum, kResultWriteError};

int EnvOr(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::atoi(value) : fallback;
}

milliseconds ReceiveWindow(const CloneTiming& t) { return t.pollPeriod * t.pollCount; }

struct SoakTally {
    int transfers = 0;
    std::uint64_t exchanges = 0;
    std::array<int, static_cast<std::size_t>(Fault::Count)> faults{};
    std::map<std::string, int> outcomes;  // "link: result text"
    int successes = 0;
    double worstShareOfBound = 0;         // the slowest transfer against its bound
};

class FaultSoak : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Start());
        state.modelType = kModelEurInt;
        job.state = &state;
        job.progress = &progress;
        job.workDir = dir.path();
        job.hidDevice = &device;
    }

    // One fault of a kind the link can suffer, with its size drawn at random.
    SimFaults DrawFault(Link link, const CloneTiming& timing, Fault& kind, milliseconds answerTime) {
        static constexpr Fault kSerialKinds[] = {Fault::Drop,  Fault::Duplicate, Fault::Corrupt,
                                                 Fault::Late,  Fault::Split,     Fault::Noise,
                                                 Fault::NoEcho, Fault::NoReply};
        // A report arrives whole or not at all; what can go wrong is its content or its timing.
        static constexpr Fault kUsbKinds[] = {Fault::Corrupt, Fault::Late, Fault::NoReply, Fault::BadPrefix};
        kind = link == Link::Usb ? kUsbKinds[Pick(std::size(kUsbKinds))] : kSerialKinds[Pick(std::size(kSerialKinds))];
        const auto window = static_cast<std::size_t>(
            (link == Link::Usb ? timing.reportTimeout : ReceiveWindow(timing)).count());
        SimFaults f;
        f.replyDelay = answerTime;
        switch (kind) {
        case Fault::Drop: f.lineFault = {LineFault::Kind::Drop, Pick(kFrameSize)}; break;
        case Fault::Duplicate: f.lineFault = {LineFault::Kind::Duplicate, Pick(kFrameSize)}; break;
        case Fault::Corrupt:
            f.lineFault = {LineFault::Kind::Corrupt, Pick(kFrameSize), static_cast<std::uint8_t>(1 + Pick(255))};
            break;
        case Fault::Late: f.replyDelay += milliseconds(1 + Pick(window * 5 / 2)); break;
        case Fault::Split:
            f.replyPieces = 2 + Pick(7);
            f.pieceDelay = milliseconds(Pick(window / 4 + 1));
            break;
        case Fault::Noise: f.noiseBytes = 1 + Pick(40); break;
        case Fault::NoEcho: f.noEcho = true; break;
        case Fault::NoReply: f.noRadio = true; break;
        case Fault::BadPrefix: f.badPrefix = true; break;
        case Fault::None:
        case Fault::Count: break;
        }
        return f;
    }

    // A serial exchange meets a fault with probability 1 in 6. On USB one in 40: a report that
    // does not come closes the device and ends the transfer, so most would fail. A serial radio
    // takes up to 5 ms to answer, so a reply may come after a fast receive has ended.
    FramePlan DrawPlan(Link link, const CloneTiming& timing) {
        auto plan = std::make_shared<std::vector<SimFaults>>(kPlanFrames + 1);
        const std::size_t odds = link == Link::Usb ? 40 : 6;
        const milliseconds answerTime(link == Link::Usb ? 0 : Pick(6));
        for (auto& frame : *plan) {
            frame.replyDelay = answerTime;
            if (Pick(odds) != 0) continue;
            Fault kind = Fault::None;
            frame = DrawFault(link, timing, kind, answerTime);
            ++tally.faults[static_cast<std::size_t>(kind)];
        }
        return [plan](std::uint32_t n) { return n < plan->size() ? (*plan)[n] : SimFaults{}; };
    }

    // Runs one transfer on the link and checks its outcome.
    void Transfer(Link link, bool write) {
        const CloneTiming timing = link == Link::SerialPolled ? kSoakPolled : kSoakFast;
        job.timing = timing;
        state.comPort = link == Link::Usb ? 0 : 1;
        job.serialDevice = link == Link::Usb ? "" : pty.DevicePath();

        RadioImage before{};
        for (auto& b : before) b = static_cast<std::uint8_t>(Pick(256));
        const FramePlan plan = DrawPlan(link, timing);
        const std::optional<std::uint32_t> silentAfter =
            Pick(10) == 0 ? std::optional<std::uint32_t>(1 + Pick(80)) : std::nullopt;
        OnRadio(link, [&](SimulatedRadio& r) {
            r.Memory() = before;
            r.ClearHistory();
            r.SetFramePlan(plan);
            r.Faults().silentAfterFrames = silentAfter;
        });

        const auto started = Clock::now();
        const CloneResult result = write ? RunWrite(job, *document).result : ReadOnce(link);
        const auto elapsed = Clock::now() - started;

        std::uint32_t frames = 0;
        RadioImage after{};
        OnRadio(link, [&](SimulatedRadio& r) {
            frames = r.Counters().frames;
            after = r.Memory();
            r.SetFramePlan({});
            r.Faults().silentAfterFrames.reset();
        });
        SCOPED_TRACE(std::string(kLinkNames[static_cast<int>(link)]) + (write ? " write" : " read") +
                     " #" + std::to_string(tally.transfers));
        CheckOutcome(link, write, result, before, after);
        CheckTime(link, timing, frames, elapsed);
        ++tally.transfers;
        tally.exchanges += frames;
        if (result == kResultOk) ++tally.successes;
        ++tally.outcomes[std::string(kLinkNames[static_cast<int>(link)]) + ": " +
                         (result == kResultOk ? "OK" : ResultText(result))];
    }

    // A read into settings that must stay as they were unless the read succeeds.
    CloneResult ReadOnce(Link link) {
        std::memset(readInto.get(), 0xA5, sizeof *readInto);
        ReadImage.fill(0);
        const CloneResult result = RunRead(job, *readInto).result;
        if (result != kResultOk) {
            auto untouched = std::make_unique<RadioSettings>();
            std::memset(untouched.get(), 0xA5, sizeof *untouched);
            EXPECT_EQ(0, std::memcmp(readInto.get(), untouched.get(), sizeof *untouched))
                << kLinkNames[static_cast<int>(link)] << ": a failed read changed the caller's settings";
        }
        return result;
    }

    void CheckOutcome(Link link, bool write, CloneResult result, const RadioImage& before,
                      const RadioImage& after) {
        const auto first = before.begin() + kCloneFirst;
        const auto end = before.begin() + kCloneLast + 1;
        // Nothing outside the clone range is ever written.
        EXPECT_TRUE(std::equal(before.begin(), first, after.begin()));
        EXPECT_TRUE(std::equal(end, before.end(), after.begin() + kCloneLast + 1));
        if (result != kResultOk) {
            const auto& allowed = link == Link::Usb ? kUsbFailures : kSerialFailures;
            EXPECT_TRUE(allowed.count(result)) << "unexpected failure " << std::hex << result;
            return;
        }
        if (write) {
            EXPECT_TRUE(std::equal(WriteImage.begin() + kCloneFirst, WriteImage.begin() + kCloneLast + 1,
                                   after.begin() + kCloneFirst))
                << "the write reported success but the radio holds other bytes";
        } else {
            EXPECT_TRUE(std::equal(first, end, ReadImage.begin() + kCloneFirst))
                << "the read reported success with bytes the radio does not hold";
        }
    }

    // Every attempt ends within its longest wait; a transfer within the sum of them.
    void CheckTime(Link link, const CloneTiming& timing, std::uint32_t frames, Clock::duration elapsed) {
        const auto perAttempt = link == Link::Usb ? timing.pollPeriod + 2 * timing.reportTimeout
                                                  : timing.pollPeriod + ReceiveWindow(timing);
        const auto bound = (perAttempt + kAttemptSlack) * frames + kTransferSlack;
        using std::chrono::duration_cast;
        EXPECT_LE(duration_cast<milliseconds>(elapsed).count(), bound.count()) << frames << " frames";
        tally.worstShareOfBound = std::max(
            tally.worstShareOfBound, std::chrono::duration<double>(elapsed) / std::chrono::duration<double>(bound));
    }

    template <class F>
    void OnRadio(Link link, F&& f) {
        link == Link::Usb ? backend.WithRadio(f) : pty.WithRadio(f);
    }

    std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); }

    void Print(unsigned seed) const {
        std::cout << "[soak] seed " << seed << ": " << tally.transfers << " transfers, " << tally.exchanges
                  << " exchanges\n[soak] faults:";
        for (std::size_t k = 1; k < tally.faults.size(); ++k)
            std::cout << ' ' << kFaultNames[k] << ' ' << tally.faults[k] << ';';
        std::cout << "\n";
        for (const auto& [outcome, count] : tally.outcomes) std::cout << "[soak] " << outcome << ": " << count << "\n";
        std::cout << "[soak] slowest transfer: " << static_cast<int>(tally.worstShareOfBound * 100)
                  << " % of its time bound\n";
    }

    StopEventReset stopReset;
    TempDir dir;
    SimulatedRadioPty pty;
    SimulatedHidBackend backend;
    CHidDevice device{kUsbVendorId, kUsbProductId, &backend};
    AppState state = SerialState();
    RecordingProgress progress;
    CloneJob job;
    std::unique_ptr<RadioSettings> document = EuropeanDocument();
    std::unique_ptr<RadioSettings> readInto = std::make_unique<RadioSettings>();
    std::mt19937 rng;
    SoakTally tally;
};

TEST_F(FaultSoak, EveryTransferEndsWithTheRadiosBytesOrAKnownFailure) {
    const auto seed = static_cast<unsigned>(EnvOr("ORVEN_SOAK_SEED", 20261206));
    const auto target = static_cast<std::uint64_t>(EnvOr("ORVEN_SOAK_EXCHANGES", 2000));
    rng.seed(seed);
    while (tally.exchanges < target && !HasFailure()) {
        const std::size_t draw = Pick(std::size_t{20});
        const Link link = draw < 10 ? Link::SerialFast : draw < 13 ? Link::SerialPolled : Link::Usb;
        Transfer(link, Pick(std::size_t{2}) == 0);
    }
    Print(seed);
    EXPECT_GE(tally.exchanges, target);
    for (std::size_t k = 1; k < tally.faults.size(); ++k) EXPECT_GT(tally.faults[k], 0) << kFaultNames[k];
    EXPECT_GT(tally.successes, 0) << "the faults left no transfer whole";
    EXPECT_LT(tally.successes, tally.transfers) << "no fault was bad enough to end a transfer";
}

}  // namespace
}  // namespace orven
