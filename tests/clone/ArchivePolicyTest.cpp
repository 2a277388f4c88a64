// The archive's promise under a failing link: a write or restore that got as far as sending
// anything has kept what the radio held first, byte for byte; one that did not changed nothing.
#include "clone/CloneRunner.h"

#include "clone/CloneEvent.h"
#include "files/RadioArchive.h"
#include "link/CHidDevice.h"
#include "model/ModelPresets.h"
#include "sim/DemoRadio.h"
#include "sim/RecordingProgress.h"
#include "sim/SimulatedHidBackend.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace orven {
namespace {

using namespace std::chrono_literals;

// The frames a backed-up write with read-back sends: the backup read (two identifies, 77 reads),
// the write (one identify, 77 writes), the read-back.
constexpr std::uint32_t kBackupFrames = 2 + 77;
constexpr std::uint32_t kWriteFrames = kBackupFrames + 1 + 77 + kBackupFrames;

std::vector<std::uint8_t> CloneRange(const RadioImage& image) {
    return {image.begin() + kCloneFirst, image.begin() + kCloneLast + 1};
}

TEST(ArchivePolicyTest, ALinkFailingAtAnyExchangeNeverLosesWhatTheRadioHeld) {
    auto document = std::make_unique<RadioSettings>();
    BuildModelDocument(*document, kModelEurInt, 0);
    auto restoring = std::make_unique<RadioImage>();
    restoring->fill(0x5A);
    CloneStopEvent.Reset();
    for (const bool restore : {false, true}) {
        for (std::uint32_t failAt = 1; failAt <= kWriteFrames; failAt += 17) {
            SCOPED_TRACE(testing::Message() << (restore ? "restore" : "write") << ", link fails at frame " << failAt);
            test::TempDir dir;
            const RadioArchive archive(dir.File("archive"));
            auto backend = std::make_shared<SimulatedHidBackend>();
            CHidDevice device(kUsbVendorId, kUsbProductId, backend.get());
            const RadioImage before = backend->WithRadio([&](SimulatedRadio& radio) {
                FillDemoMemory(radio.Memory());
                radio.SetFramePlan([failAt](std::uint32_t frame) {
                    SimFaults faults;
                    faults.noRadio = frame >= failAt;
                    return faults;
                });
                return radio.Memory();
            });
            AppState state = FreshAppState();
            state.modelType = kModelEurInt;
            RecordingProgress progress;
            auto writeImage = std::make_unique<RadioImage>(), readImage = std::make_unique<RadioImage>();
            CloneJob job;
            job.state = &state;
            job.progress = &progress;
            job.workDir = dir.path();
            job.timing = {1ms, 10, 30ms};
            job.hidDevice = &device;
            job.writeImage = writeImage.get();
            job.readImage = readImage.get();
            job.archive = &archive;
            WriteOptions options;
            options.verifyAfter = true;
            options.confirmIdentityChange = [](const IdentityChange&) { return true; };
            const WriteOutcome outcome = restore ? RunRestore(job, *restoring, options) : RunWrite(job, *document, options);

            const RadioImage after = backend->WithRadio([](SimulatedRadio& radio) { return radio.Memory(); });
            const std::vector<ArchiveEntry> entries = archive.List();
            if (failAt <= kBackupFrames) {
                EXPECT_EQ(outcome.stage, WriteStage::Backup);
                EXPECT_EQ(outcome.result, kResultNoRadio);
                EXPECT_EQ(CloneRange(after), CloneRange(before)) << "nothing was written";
                EXPECT_TRUE(entries.empty());
                continue;
            }
            ASSERT_FALSE(entries.empty());
            EXPECT_EQ(entries.front().record.operation, "backup");
            RadioImage kept{};
            ASSERT_TRUE(archive.LoadImage(entries.front(), kept));
            EXPECT_EQ(CloneRange(kept), CloneRange(before));
            ASSERT_EQ(archive.ReadLog().lines.size(), 1u);
            EXPECT_EQ(archive.ReadLog().lines[0].operation, restore ? "restore" : "write");
        }
    }
}

}  // namespace
}  // namespace orven
