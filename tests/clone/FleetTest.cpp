// A fleet of simulated radios on pseudo-terminals, programmed from one template and a roster.
#include "clone/FleetRun.h"

#include "clone/CloneEvent.h"
#include "clone/EngineTestSupport.h"
#include "files/FleetArchiveLock.h"
#include "files/ProgrammingRegister.h"
#include "files/RadioArchive.h"
#include "files/SettingsFile.h"
#include "model/ImageCodec.h"
#include "model/RadioIdentities.h"
#include "sim/DemoRadio.h"
#include "tests/support/ProgrammingLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <thread>

#include <unistd.h>

namespace orven {
namespace {

using namespace orven::test;

// The frames of one radio's programming: the port's look, the backup, the look before the write,
// the write and the whole read-back.
constexpr std::uint32_t kLookFrames = 1 + 3;
constexpr std::uint32_t kBackupFrames = 2 + 77;
constexpr std::uint32_t kWriteFrames = 1 + 77;

std::vector<std::uint8_t> CloneRange(const RadioImage& image) {
    return {image.begin() + kCloneFirst, image.begin() + kCloneLast + 1};
}

class RecordingSink : public FleetSink {
public:
    void PortChanged(std::size_t port, const PortStatus& status) override {
        std::lock_guard lock(mutex_);
        steps_[port].push_back(status.step);
        widest_ = std::max(widest_, status.percent);
    }
    void RadioFinished(std::size_t, const RadioReport& report) override {
        std::lock_guard lock(mutex_);
        reports_.push_back(report);
    }
    std::size_t Finished() {
        std::lock_guard lock(mutex_);
        return reports_.size();
    }
    std::vector<std::string> Steps(std::size_t port) {
        std::lock_guard lock(mutex_);
        return steps_[port];
    }
    // The largest share of a step any port's line has shown.
    int WidestPercent() {
        std::lock_guard lock(mutex_);
        return widest_;
    }

private:
    std::mutex mutex_;
    std::vector<RadioReport> reports_;
    std::map<std::size_t, std::vector<std::string>> steps_;
    int widest_ = -1;
};

// Radios on pseudo-terminals (no pacing), a template (the European test document, whose own
// identities a fleet ignores), a roster file and a radio archive of the test's own.
class FleetTest : public ::testing::Test {
protected:
    void SetUp() override {
        CloneStopEvent.Reset();
        ASSERT_EQ(SaveSettingsFile(dir.File("t.dat"), *model), kResultOk);
    }
    void TearDown() override { CloneStopEvent.Reset(); }

    // Radio i on port i, holding new-radio memory with serial number serials[i].
    void Radios(const std::vector<std::string>& serials) {
        for (const std::string& serial : serials) {
            auto& pty = ptys.emplace_back(std::make_unique<SimulatedRadioPty>());
            pty->WithRadio([&](SimulatedRadio& r) { FillNewRadioMemory(r.Memory(), serial); });
            ASSERT_TRUE(pty->Start());
        }
    }
    template <class F>
    auto OnRadio(std::size_t i, F&& f) { return ptys[i]->WithRadio(std::forward<F>(f)); }
    RadioImage Memory(std::size_t i) { return OnRadio(i, [](SimulatedRadio& r) { return r.Memory(); }); }
    std::string Letters(std::size_t i) {
        return OnRadio(i, [](SimulatedRadio& r) {
            std::string letters;
            for (const CloneFrame& f : r.Log()) letters += static_cast<char>(f.letter);
            return letters;
        });
    }

    FleetPlanRead ReadPlan(const std::string& roster, const std::string& assign = "", bool allowReuse = false) {
        WriteText(dir.File("roster.csv"), roster);
        return ReadFleetPlan(dir.File("t.dat"), dir.File("roster.csv"), assign, allowReuse, &archive,
                             "--allow-reuse");
    }
    FleetPlan Plan(const std::string& roster, const std::string& assign = "") {
        FleetPlanRead read = ReadPlan(roster, assign);
        EXPECT_TRUE(read.plan) << (read.problems.empty() ? "" : read.problems.front());
        return read.plan ? *read.plan : FleetPlan{};
    }

    FleetSummary Run(const FleetPlan& plan, bool once = true) {
        CloneJob base;
        AppState state = FreshAppState();
        base.state = &state;
        base.timing = kFastTransferTiming;
        base.archive = &archive;
        base.workDir = dir.path();
        std::vector<std::unique_ptr<FleetPortLink>> ports;
        for (const auto& pty : ptys) ports.push_back(MakeFleetPortLink(pty->DevicePath(), base, *plan.model));
        FleetOptions options;
        options.once = once;
        options.lookPeriod = 20ms;
        return RunFleet(plan, ports, &archive, sink, options);
    }

    // What a single backed-up write of `document` leaves in a radio that held `before`.
    RadioImage SingleWrite(const RadioImage& before, const RadioSettings& document) {
        SimulatedRadioPty pty;
        pty.WithRadio([&](SimulatedRadio& r) { r.Memory() = before; });
        EXPECT_TRUE(pty.Start());
        AppState state = FreshAppState();
        state.modelType = kModelEurInt;
        RecordingProgress progress;
        RadioImage writing{}, reading{};
        const RadioArchive elsewhere(dir.File("single-archive"));
        CloneJob job;
        job.state = &state;
        job.progress = &progress;
        job.timing = kFastTransferTiming;
        job.serialDevice = pty.DevicePath();
        job.writeImage = &writing;
        job.readImage = &reading;
        job.archive = &elsewhere;
        EXPECT_TRUE(RunWrite(job, document, ConfirmingIdentities()).Ok());
        return pty.WithRadio([](SimulatedRadio& r) { return r.Memory(); });
    }
    // The template with these identities, as a user would set them for one write.
    std::unique_ptr<RadioSettings> Document(const char* mmsi, const char* atis, const char* nmea, const char* serial) {
        auto document = std::make_unique<RadioSettings>(*model);
        document->mmsiByUser = document->atisByUser = 0;
        CopyText(document->mmsiId, mmsi);
        CopyText(document->atisId, atis);
        CopyText(document->nmeaNo, nmea);
        CopyText(document->serialNo, serial);
        return document;
    }
    static std::string Text(const RadioReport& report) { return RadioReportText(report, "restore it"); }
    const RadioReport* ReportOf(const FleetSummary& summary, const std::string& serial) {
        for (const RadioReport& r : summary.radios)
            if (r.serial == serial) return &r;
        return nullptr;
    }

    TempDir dir;
    RadioArchive archive{dir.File("archive")};
    std::unique_ptr<RadioSettings> model = EuropeanDocument();
    std::vector<std::unique_ptr<SimulatedRadioPty>> ptys;
    RecordingSink sink;
};

// Every radio ends with the template's channels and its own identities, byte for byte what a
// single write of the same document leaves; a blank identity keeps the radio's; each radio's
// backup is in the archive and the register lists each radio once.
TEST_F(FleetTest, EveryRadioHoldsTheTemplateAndItsOwnIdentities) {
    Radios({"S1", "S2", "S3"});
    OnRadio(1, [](SimulatedRadio& r) {  // S2 holds the demo radio's identities
        FillDemoMemory(r.Memory());
        std::memcpy(&r.Memory()[kAddrSerialNo], "S2\0\0\0\0\0", kSerialBytes);
    });
    std::vector<RadioImage> before;
    for (std::size_t i = 0; i < 3; ++i) before.push_back(Memory(i));
    const FleetPlan plan = Plan(
        "Serial,MMSI,ATIS,NMEA2000,Name\n"
        "S1,211000001,9211000001,000101,Heron\n"
        "S2,,,,Otter\n"
        "S3,211000003,,303,Gull\n"
        "S9,211000009,,,not here\n");

    const FleetSummary summary = Run(plan);

    ASSERT_EQ(summary.radios.size(), 3u);
    EXPECT_TRUE(summary.AllProgrammed());
    EXPECT_EQ(summary.programmed, 3u);
    EXPECT_EQ(CloneRange(Memory(0)), CloneRange(SingleWrite(before[0], *Document("211000001", "211000001", "000101", "S1"))));
    EXPECT_EQ(CloneRange(Memory(1)), CloneRange(SingleWrite(before[1], *Document("", "", "", "S2"))));
    EXPECT_EQ(CloneRange(Memory(2)), CloneRange(SingleWrite(before[2], *Document("211000003", "", "000303", "S3"))));
    EXPECT_EQ(IdentitiesInImage(Memory(1))[IdentityKind::Mmsi], kDemoMmsi) << "a blank MMSI keeps the radio's";
    EXPECT_EQ(IdentitiesInImage(Memory(0))[IdentityKind::Nmea], "000101");

    const RadioReport* s1 = ReportOf(summary, "S1");
    ASSERT_NE(s1, nullptr);
    EXPECT_EQ(Text(*s1).rfind(ptys[0]->DevicePath() + ": radio S1 (Heron): programmed and verified; MMSI 211000001, "
                              "ATIS 9211000001, NMEA2000 000101; backup S1/",
                              0),
              0u)
        << Text(*s1);
    const std::vector<RegisterRow> now = RegisterNow(archive.ReadLog());
    ASSERT_EQ(now.size(), 3u);
    for (const RegisterRow& row : now) {
        EXPECT_EQ(row.result, "Write OK.");
        EXPECT_EQ(row.readBack, "Verify OK.");
        ASSERT_TRUE(archive.Find(row.backup)) << row.backup;
        EXPECT_EQ(archive.Find(row.backup)->record.operation, "backup");
    }
    EXPECT_EQ(now[0].serial + " " + now[0].mmsi + " " + now[0].name, "S1 211000001 Heron");
    EXPECT_EQ(now[1].serial + " " + now[1].mmsi + " " + now[1].name, std::string("S2 ") + kDemoMmsi + " Otter");
    EXPECT_EQ(sink.WidestPercent(), 100) << "a port's line shows each step up to 100 %, never beyond";
}

// A radio whose write is cut off midway fails on its own port, named with the entry that keeps
// what it held; the other ports finish. A radio not in the roster is left untouched.
TEST_F(FleetTest, ACutOffWriteFailsItsPortAloneAndAStrangerIsUntouched) {
    Radios({"S1", "S2", "X9"});
    OnRadio(1, [](SimulatedRadio& r) { r.Faults().silentAfterFrames = kLookFrames + kBackupFrames + kLookFrames + 30; });
    const RadioImage stranger = Memory(2);
    const FleetPlan plan = Plan("Serial,MMSI\nS1,211000001\nS2,211000002\n");

    const FleetSummary summary = Run(plan);

    EXPECT_FALSE(summary.AllProgrammed());
    EXPECT_EQ(summary.programmed, 1u);
    EXPECT_EQ(summary.failed, 1u);
    EXPECT_EQ(summary.untouched, 1u);
    const RadioReport* cut = ReportOf(summary, "S2");
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->verdict, RadioVerdict::Failed);
    ASSERT_TRUE(cut->write && !cut->write->archived.empty());
    EXPECT_NE(Text(*cut).find(": FAILED: Radio is not detected!\n\nWhat the radio held before is kept in the radio "
                              "archive as " + cut->write->archived + "; restore it"),
              std::string::npos)
        << Text(*cut);
    RadioImage kept{};
    std::string why;
    ASSERT_TRUE(archive.LoadImage(*archive.Find(cut->write->archived), kept, why)) << why;
    EXPECT_EQ(IdentitiesInImage(kept)[IdentityKind::Serial], "S2");

    EXPECT_EQ(CloneRange(Memory(2)), CloneRange(stranger));
    EXPECT_EQ(Letters(2).find('W'), std::string::npos) << "not one frame written to the stranger";
    EXPECT_EQ(Text(*ReportOf(summary, "X9")), ptys[2]->DevicePath() + ": radio X9: untouched: its serial number is not in the roster");
    EXPECT_EQ(IdentitiesInImage(Memory(0))[IdentityKind::Mmsi], "211000001");
}

// A radio without a serial number takes the one --assign names, once; a second one is left
// untouched, as is one when nothing is to be assigned.
TEST_F(FleetTest, ARadioWithoutSerialTakesTheAssignedOneOnce) {
    Radios({"", ""});
    const FleetSummary summary = Run(Plan("Serial,MMSI\nS7,211000007\n", "S7"));
    EXPECT_EQ(summary.programmed, 1u);
    EXPECT_EQ(summary.untouched, 1u);
    const std::size_t programmed = IdentitiesInImage(Memory(0))[IdentityKind::Serial] == "S7" ? 0 : 1;
    EXPECT_EQ(IdentitiesInImage(Memory(programmed))[IdentityKind::Mmsi], "211000007");
    EXPECT_EQ(IdentitiesInImage(Memory(1 - programmed))[IdentityKind::Serial], "");
    EXPECT_EQ(Letters(1 - programmed).find('W'), std::string::npos);

    ptys.pop_back();
    OnRadio(0, [](SimulatedRadio& r) { FillNewRadioMemory(r.Memory(), ""); });
    const FleetSummary unassigned = Run(Plan("Serial,MMSI\nS7,211000007\n"));
    ASSERT_EQ(unassigned.radios.size(), 1u);
    EXPECT_EQ(unassigned.radios[0].verdict, RadioVerdict::NoSerial);
}

// Two radios that claim one serial number (a counterfeit, or a serial typed twice at the works)
// never both take its MMSI: one is programmed, the other left untouched.
TEST_F(FleetTest, TwoRadiosWithOneSerialNeverShareAnMmsi) {
    Radios({"S1", "S1"});
    const FleetSummary summary = Run(Plan("Serial,MMSI\nS1,211000001\n"));
    EXPECT_EQ(summary.programmed, 1u);
    EXPECT_EQ(summary.untouched, 1u);
    const std::size_t written = Letters(0).find('W') != std::string::npos ? 0 : 1;
    EXPECT_EQ(IdentitiesInImage(Memory(1 - written))[IdentityKind::Mmsi], "");
    EXPECT_EQ(Letters(1 - written).find('W'), std::string::npos);
}

// A radio swapped for another while the port works on it: after the first look, during the
// backup, during the write. Nothing of the first radio's identities reaches the second before the
// write; one swapped during the write fails its read-back, named with its backup.
TEST_F(FleetTest, ARadioSwappedMidRunIsNotGivenAnotherRadiosIdentities) {
    Radios({"S1"});
    const FleetPlan plan = Plan("Serial,MMSI\nS1,211000001\nS2,211000002\n");
    RadioImage other{};
    FillNewRadioMemory(other, "S2");
    const struct {
        const char* when;
        std::uint32_t afterFrames;
        const char* told;
    } swaps[] = {
        {"after the look", kLookFrames,
         "nothing was written: the write would have made changes the roster does not name (serial number: S2 -> "
         "S1); another radio put on the port?"},
        {"during the backup", kLookFrames + 40,
         "Invalid Data (another radio is on the port: it holds serial number S2 and MMSI none, its backup S1 and "
         "none; nothing was written)"},
        {"during the write", kLookFrames + kBackupFrames + kLookFrames + 40,
         "Write Error. (the radio holds no MMSI, not 211000001; the radio holds serial number S2, not S1)"},
    };
    for (const auto& swap : swaps) {
        SCOPED_TRACE(swap.when);
        OnRadio(0, [&](SimulatedRadio& r) {
            FillNewRadioMemory(r.Memory(), "S1");
            r.ClearHistory();
            r.PlugInAfter(swap.afterFrames, other);
        });
        const std::uint32_t swappedAt = swap.afterFrames;
        const FleetSummary summary = Run(plan);
        ASSERT_EQ(summary.radios.size(), 1u);
        EXPECT_EQ(summary.radios[0].verdict, RadioVerdict::Failed);
        EXPECT_NE(Text(summary.radios[0]).find(swap.told), std::string::npos) << Text(summary.radios[0]);
        const std::string letters = Letters(0);
        const bool wroteAfterSwap = letters.find('W', swappedAt) != std::string::npos;
        EXPECT_EQ(wroteAfterSwap, swap.afterFrames > kLookFrames + kBackupFrames);
        if (!wroteAfterSwap) {
            EXPECT_EQ(CloneRange(Memory(0)), CloneRange(other));
        }
    }
}

// A run that waits for the next radio: the one programmed is left alone while it stays, the next
// one put on the port is programmed, and once the roster is edited no radio more is started.
TEST_F(FleetTest, ARunWaitsForTheNextRadioAndStopsTakingThemWhenTheRosterChanges) {
    Radios({"S1"});
    const FleetPlan plan = Plan("Serial,MMSI\nS1,211000001\nS2,211000002\nS3,211000003\n");
    FleetSummary summary;
    std::thread run([&] { summary = Run(plan, false); });
    ASSERT_TRUE(WaitUntil([&] { return sink.Finished() == 1; }, 20s));
    ASSERT_TRUE(WaitUntil([&] { return sink.Steps(0).back() == kStepRemove; }));
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(sink.Finished(), 1u) << "the radio programmed is not programmed again while it stays";

    RadioImage next{};
    FillNewRadioMemory(next, "S2");
    OnRadio(0, [](SimulatedRadio& r) { r.Unplug(); });
    ASSERT_TRUE(WaitUntil([&] { return sink.Steps(0).back() == kStepWaiting; }));
    OnRadio(0, [&](SimulatedRadio& r) { r.PlugIn(next); });
    ASSERT_TRUE(WaitUntil([&] { return sink.Finished() == 2; }, 20s));
    EXPECT_EQ(IdentitiesInImage(Memory(0))[IdentityKind::Mmsi], "211000002");

    WriteText(dir.File("roster.csv"), "Serial,MMSI\nS1,211000001\nS2,211000002\nS3,211000333\n");
    RadioImage third{};
    FillNewRadioMemory(third, "S3");
    OnRadio(0, [&](SimulatedRadio& r) { r.PlugIn(third); });
    run.join();  // the port ends by itself
    EXPECT_EQ(summary.programmed, 2u);
    EXPECT_EQ(summary.closed, dir.File("roster.csv") +
                                  " changed during the run: no radio was started after; run again to program from it "
                                  "as it is now");
    EXPECT_FALSE(summary.AllProgrammed());
    EXPECT_EQ(IdentitiesInImage(Memory(0))[IdentityKind::Mmsi], "");
}

// The stop event ends a waiting run at once, and a write under way as a single write stops:
// "User Cancel.", named with its backup.
TEST_F(FleetTest, StopEndsEveryPort) {
    Radios({"S1", "S2"});
    OnRadio(0, [](SimulatedRadio& r) { r.Unplug(); });
    OnRadio(1, [](SimulatedRadio& r) { r.Faults().replyDelay = 5ms; });
    const FleetPlan plan = Plan("Serial,MMSI\nS1,211000001\nS2,211000002\n");
    FleetSummary summary;
    std::thread run([&] { summary = Run(plan, false); });
    ASSERT_TRUE(WaitUntil([&] {
        return OnRadio(1, [](SimulatedRadio& r) { return r.Counters().writes; }) > 10;
    }, 20s));
    const auto stopped = std::chrono::steady_clock::now();
    CloneStopEvent.Set();
    run.join();
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 2s);
    ASSERT_EQ(summary.radios.size(), 1u);
    EXPECT_EQ(summary.radios[0].verdict, RadioVerdict::Failed);
    EXPECT_NE(Text(summary.radios[0]).find("User Cancel.\n\nWhat the radio held before is kept in the radio archive as S2/"),
              std::string::npos)
        << Text(summary.radios[0]);
    EXPECT_EQ(sink.Steps(0).back(), kStepEnded);
}

// What a stopped port says of its radio: stopped in the backup, that nothing was written and the
// radio holds what it held; stopped in the read-back, where its backup is kept, as any failure
// after the write.
TEST_F(FleetTest, AStopSaysWhatTheRadioHolds) {
    Radios({"S1"});
    OnRadio(0, [](SimulatedRadio& r) { r.Faults().replyDelay = 5ms; });
    const RadioImage before = Memory(0);
    const FleetPlan plan = Plan("Serial,MMSI\nS1,211000001\n");
    const struct {
        const char* phase;
        const char* told;
    } stops[] = {
        {"Backing up", ": FAILED: User Cancel. Stopped before anything was written: the radio holds what it held."},
        {"Reading back", "User Cancel.\nWhat the radio held before is kept in the radio archive as S1/"},
    };
    for (const auto& stop : stops) {
        SCOPED_TRACE(stop.phase);
        FleetSummary summary;
        std::thread run([&] { summary = Run(plan); });
        const bool reached = WaitUntil([&] {
            const std::vector<std::string> steps = sink.Steps(0);
            return std::find(steps.begin(), steps.end(), stop.phase) != steps.end();
        }, 20s);
        CloneStopEvent.Set();
        run.join();
        CloneStopEvent.Reset();
        ASSERT_TRUE(reached);
        ASSERT_EQ(summary.radios.size(), 1u);
        EXPECT_EQ(summary.radios[0].verdict, RadioVerdict::Failed);
        EXPECT_NE(Text(summary.radios[0]).find(stop.told), std::string::npos) << Text(summary.radios[0]);
        if (stop.phase == stops[0].phase) {
            EXPECT_EQ(CloneRange(Memory(0)), CloneRange(before));
            EXPECT_EQ(Letters(0).find('W'), std::string::npos);
        }
    }
}

// Two rosters naming one MMSI, the second read before the first ran (two dealers' runs at once):
// the register, read again before each radio, keeps the MMSI out of a second radio.
TEST_F(FleetTest, TheRegisterIsReadAgainBeforeEachRadio) {
    Radios({"S2"});
    const FleetPlan second = Plan("Serial,MMSI\nS2,211000001\n");
    ASSERT_TRUE(LogWrite(archive, "S1", "211000001"));

    const FleetSummary summary = Run(second);
    ASSERT_EQ(summary.radios.size(), 1u);
    EXPECT_EQ(summary.radios[0].verdict, RadioVerdict::InRegister);
    EXPECT_EQ(Text(summary.radios[0]),
              ptys[0]->DevicePath() +
                  ": radio S2: untouched: the MMSI or ATIS of its row is the MMSI of radio S1 by the register (written "
                  "2026-12-07 10:00:00); a radio sold keeps it until it is removed");
    EXPECT_EQ(Letters(0).find('W'), std::string::npos);
}

// A serial number the register already has is not given to a radio without one, neither by a
// later run nor by one read before that radio was written: two radios would share it and its MMSI,
// and the register would list one of them. A radio whose own assignment failed in this run may
// come again.
TEST_F(FleetTest, ASerialNumberInTheRegisterIsNotAssignedAgain) {
    Radios({""});
    const FleetPlan early = Plan("Serial,MMSI\nS7,211000007\n", "S7");
    ASSERT_TRUE(LogWrite(archive, "S7", "211000007"));

    const FleetPlanRead later = ReadPlan("Serial,MMSI\nS7,211000007\n", "S7");
    EXPECT_FALSE(later.plan);
    EXPECT_EQ(later.problems, (std::vector<std::string>{"The serial number to assign cannot be: radio S7 is in the "
                                                        "register (written 2026-12-07 10:00:00); a radio without a "
                                                        "serial number must take one no other radio has.",
                                                        "--allow-reuse"}));
    const FleetSummary summary = Run(early);
    ASSERT_EQ(summary.radios.size(), 1u);
    EXPECT_EQ(summary.radios[0].verdict, RadioVerdict::InRegister) << Text(summary.radios[0]);
    EXPECT_EQ(Letters(0).find('W'), std::string::npos);
    EXPECT_EQ(IdentitiesInImage(Memory(0))[IdentityKind::Serial], "");

    // An archive whose register does not know S7: a first try cut off midway, then the radio again.
    TempDir other;
    const RadioArchive fresh(other.File("archive"));
    const FleetPlan unknown = *ReadFleetPlan(dir.File("t.dat"), dir.File("roster.csv"), "S7", false, &fresh, "").plan;
    OnRadio(0, [](SimulatedRadio& r) {
        r.ClearHistory();
        r.Faults().silentAfterFrames = kLookFrames + kBackupFrames + kLookFrames + 30;
    });
    FleetSummary retried;
    std::thread run([&] {
        CloneJob base;
        AppState state = FreshAppState();
        base.state = &state;
        base.timing = kFastTransferTiming;
        base.archive = &fresh;
        base.workDir = dir.path();
        std::vector<std::unique_ptr<FleetPortLink>> ports;
        ports.push_back(MakeFleetPortLink(ptys[0]->DevicePath(), base, *unknown.model));
        FleetOptions options;
        options.lookPeriod = 20ms;
        retried = RunFleet(unknown, ports, &fresh, sink, options);
    });
    ASSERT_TRUE(WaitUntil([&] { return sink.Finished() == 2 && sink.Steps(0).back() == kStepWaiting; }, 20s));
    RadioImage blank{};
    FillNewRadioMemory(blank, "");
    OnRadio(0, [&](SimulatedRadio& r) {
        r.Faults().silentAfterFrames.reset();
        r.PlugIn(blank);
    });
    const bool programmed = WaitUntil([&] { return sink.Finished() == 3; }, 20s);
    CloneStopEvent.Set();
    run.join();
    ASSERT_TRUE(programmed);
    ASSERT_EQ(retried.radios.size(), 2u);
    EXPECT_EQ(retried.radios[0].verdict, RadioVerdict::Failed);
    EXPECT_EQ(retried.radios[1].verdict, RadioVerdict::Programmed) << Text(retried.radios[1]);
    EXPECT_EQ(IdentitiesInImage(Memory(0))[IdentityKind::Serial], "S7");
}

// Two runs at once on one archive could each find an MMSI free in the register and both program
// it: a second run opens no port while the first holds the archive, and says which process does.
TEST_F(FleetTest, ASecondRunAtOnceOnOneArchiveIsRefused) {
    Radios({"S2"});
    const FleetPlan plan = Plan("Serial,MMSI\nS2,211000001\n");
    {
        const FleetArchiveLock first(archive);
        ASSERT_TRUE(first.Held()) << first.Why();
        const FleetSummary refused = Run(plan);
        EXPECT_TRUE(refused.radios.empty());
        EXPECT_FALSE(refused.AllProgrammed());
        EXPECT_EQ(refused.closed, "Another fleet run (process " + std::to_string(getpid()) +
                                      ") is programming radios with the radio archive " + dir.File("archive") +
                                      "; nothing was programmed. Run one at a time, with all the ports in it: two "
                                      "runs at once could give one MMSI to two radios.");
        EXPECT_TRUE(Letters(0).empty());
    }
    EXPECT_EQ(Run(plan).programmed, 1u) << "the lock is let go with its holder";
}

// A roster or template that would program a radio wrongly is refused before any port is opened,
// every reason named.
TEST_F(FleetTest, APlanIsRefusedWithEveryReason) {
    FleetPlanRead read = ReadPlan("Serial,MMSI,Colour\nS1,211000001,red\nS2,211000001,\nS3,011000003,\n");
    EXPECT_FALSE(read.plan);
    const std::string roster = dir.File("roster.csv");
    EXPECT_EQ(read.problems,
              (std::vector<std::string>{
                  roster + ": line 1, column 3 (Colour): is not a column of a roster (Serial, MMSI, ATIS, NMEA2000, Name)"}));
    read = ReadPlan("Serial,MMSI\nS1,211000001\nS2,211000001\nS3,011000003\n", "S8");
    EXPECT_EQ(read.problems, (std::vector<std::string>{
                                 roster + ": line 3, column 2 (MMSI): is the MMSI of line 2 as well: each radio needs its own",
                                 roster + ": line 4, column 2 (MMSI): must be an own MMSI: nine digits, the first not 0"}));
    read = ReadPlan("Serial,MMSI\nS1,211000001\n", "S8");
    EXPECT_EQ(read.problems, std::vector<std::string>{"The serial number to assign, S8, is not in the roster " + roster + "."});

    ASSERT_TRUE(LogWrite(archive, "OLD", "211000001"));
    read = ReadPlan("Serial,MMSI\nS1,211000001\n");
    EXPECT_EQ(read.problems,
              (std::vector<std::string>{roster + ": line 2, column 2 (MMSI): is the MMSI of radio OLD by the register "
                                                 "(written 2026-12-07 10:00:00); a radio sold keeps it until it is removed",
                                        "--allow-reuse"}));
    EXPECT_TRUE(ReadPlan("Serial,MMSI\nS1,211000001\n", "", true).plan) << "allowed";

    WriteText(dir.File("t.dat"), "not a settings file");
    read = ReadPlan("Serial,MMSI\nS1,211000002\n");
    EXPECT_EQ(read.problems, std::vector<std::string>{dir.File("t.dat") +
                                                      ": Unknown File Format. The template must be a settings file."});
}

}  // namespace
}  // namespace orven
