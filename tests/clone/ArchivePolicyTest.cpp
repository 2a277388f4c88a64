// The archive's promise under a failing link: a write or restore that got as far as sending
// anything has kept what the radio held first, byte for byte; one that did not changed nothing.
#include "clone/CloneRunner.h"

#include "clone/EngineTestSupport.h"
#include "files/RadioArchive.h"
#include "model/ModelPresets.h"
#include "sim/DemoRadio.h"

#include <gtest/gtest.h>

#include <memory>

namespace orven {
namespace {

using namespace orven::test;

// The frames a backed-up write with read-back sends: the backup read (two identifies, 77 reads),
// the write (one identify, 77 writes), the read-back.
constexpr std::uint32_t kBackupFrames = 2 + 77;
constexpr std::uint32_t kWriteFrames = kBackupFrames + 1 + 77 + kBackupFrames;

std::vector<std::uint8_t> CloneRange(const RadioImage& image) {
    return {image.begin() + kCloneFirst, image.begin() + kCloneLast + 1};
}

using ArchivePolicyTest = OnLink<Link::Usb>;

TEST_F(ArchivePolicyTest, ALinkFailingAtAnyExchangeNeverLosesWhatTheRadioHeld) {
    BuildModelDocument(*settings, kModelEurInt, 0);
    auto restoring = std::make_unique<RadioImage>();
    restoring->fill(0x5A);
    WriteOptions options = ConfirmingIdentities();
    options.verifyAfter = true;
    for (const bool restore : {false, true}) {
        for (std::uint32_t failAt = 1; failAt <= kWriteFrames; failAt += 17) {
            SCOPED_TRACE(testing::Message() << (restore ? "restore" : "write") << ", link fails at frame " << failAt);
            const RadioArchive archive(dir.File("archive-" + std::to_string(restore) + "-" + std::to_string(failAt)));
            const RadioImage before = OnRadio([&](SimulatedRadio& radio) {
                radio.ClearHistory();
                FillDemoMemory(radio.Memory());
                radio.SetFramePlan([failAt](std::uint32_t frame) {
                    SimFaults faults;
                    faults.noRadio = frame >= failAt;
                    return faults;
                });
                return radio.Memory();
            });
            job.timing = {1ms, 10, 30ms};
            job.archive = &archive;
            const WriteOutcome outcome = restore ? RunRestore(job, *restoring, options) : RunWrite(job, *settings, options);

            const std::vector<ArchiveEntry> entries = archive.List();
            if (failAt <= kBackupFrames) {
                EXPECT_EQ(outcome.stage, WriteStage::Backup);
                EXPECT_EQ(outcome.result, kResultNoRadio);
                EXPECT_EQ(CloneRange(Memory()), CloneRange(before)) << "nothing was written";
                EXPECT_TRUE(entries.empty());
                continue;
            }
            ASSERT_FALSE(entries.empty());
            EXPECT_EQ(entries.front().record.operation, "backup");
            RadioImage kept{};
            std::string why;
            ASSERT_TRUE(archive.LoadImage(entries.front(), kept, why)) << why;
            EXPECT_EQ(CloneRange(kept), CloneRange(before));
            ASSERT_EQ(archive.ReadLog().lines.size(), 1u);
            EXPECT_EQ(archive.ReadLog().lines[0].operation, restore ? "restore" : "write");
        }
    }
}

}  // namespace
}  // namespace orven
