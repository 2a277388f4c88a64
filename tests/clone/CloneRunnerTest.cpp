#include "clone/CloneRunner.h"

#include "clone/CloneResult.h"
#include "clone/EngineTestSupport.h"
#include "files/Paths.h"
#include "files/VerifyReport.h"
#include "link/CHidDevice.h"
#include "link/LinkTestSupport.h"
#include "sim/SimulatedHidBackend.h"
#include "sim/SimulatedRadioPty.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace orven {
namespace {

using namespace orven::test;

constexpr ReportTime kVerifyTime{2024, 5, 17, 9, 4};

// The runner over the simulated radio on a pseudo-terminal (and, where the choice of link is
// the point, on USB too), with the process-wide images as the front ends use them.
class CloneRunnerTest : public ::testing::Test, protected RadioAccess<SimulatedRadioPty> {
protected:
    CloneRunnerTest() : RadioAccess(radio) {}

    void SetUp() override {
        ASSERT_TRUE(radio.Start());
        WriteImage.fill(0);
        ReadImage.fill(0);
        job.state = &state;
        job.progress = &progress;
        job.workDir = dir.path();
        job.timing = kFastTiming;
        job.serialDevice = radio.DevicePath();
        job.hidDevice = &device;
    }

    SimCounters UsbCounters() { return backend.WithRadio([](SimulatedRadio& r) { return r.Counters(); }); }

    StopEventReset stopReset;
    TempDir dir;
    SimulatedRadioPty radio;
    SimulatedHidBackend backend;
    CHidDevice device{kUsbVendorId, kUsbProductId, &backend};
    AppState state = SerialState();
    RecordingProgress progress;
    CloneJob job;
};

TEST_F(CloneRunnerTest, WriteReadAndVerifyAFullEuropeanDocument) {
    const auto document = EuropeanDocument();

    // Write: the radio ends up holding exactly the encoded document.
    const WriteOutcome written = RunWrite(job, *document);
    ASSERT_EQ(written.result, kResultOk) << OutcomeText(written);
    EXPECT_EQ(progress.Calls(), TransferProgress());
    const RadioImage expected = EncodedImage(*document, state);
    const RadioImage memory = Memory();
    EXPECT_TRUE(std::equal(expected.begin() + kCloneFirst, expected.begin() + kCloneLast + 1, memory.begin() + kCloneFirst));

    // Read: the same document comes back.
    progress.Clear();
    auto read = std::make_unique<RadioSettings>();
    ASSERT_EQ(RunRead(job, *read).result, kResultOk);
    EXPECT_EQ(progress.Calls(), TransferProgress());
    // Decoded without loss: the read document encodes to the bytes the radio holds.
    const RadioImage reencoded = EncodedImage(*read, state);
    EXPECT_TRUE(std::equal(memory.begin() + kCloneFirst, memory.begin() + kCloneLast + 1, reencoded.begin() + kCloneFirst));

    // Verify against the same document: equal; one channel changed on the PC side: the private
    // channels differ.
    const VerifyOutcome same = RunVerify(job, *document, kVerifyTime);
    ASSERT_EQ(same.result, kResultOk);
    EXPECT_EQ(same.flags, 0);
    EXPECT_EQ(same.report.find("Private Band is different"), std::string::npos);
    auto changed = std::make_unique<RadioSettings>(*document);
    PrivateChannel(*changed, 57).txMHz += 0.0125;
    const VerifyOutcome differs = RunVerify(job, *changed, kVerifyTime);
    ASSERT_EQ(differs.result, kResultOk);
    EXPECT_EQ(differs.flags, kDiffPrivate);
    EXPECT_NE(differs.report.find("Private Band is different"), std::string::npos);
}

TEST_F(CloneRunnerTest, WriteRefusesAnInvalidMmsiAndSendsNothing) {
    auto document = EuropeanDocument();
    CopyText(document->mmsiId, "012345678");
    const WriteOutcome outcome = RunWrite(job, *document);
    EXPECT_EQ(outcome.result, kResultInvalidData);
    EXPECT_EQ(outcome.refusal, "Invalid MMIS ID:012345678\nMake sure 9 digitals.");
    EXPECT_TRUE(Log().empty());
    EXPECT_TRUE(std::all_of(WriteImage.begin(), WriteImage.end(), [](std::uint8_t b) { return b == 0; }))
        << "not even encoded";
}

// Port 0 takes USB whatever the baud (which the serial engine would correct); a port number
// takes the serial port it names.
TEST_F(CloneRunnerTest, PortNumberChoosesTheLink) {
    PortFolderScope ports;
    ports.Link(3, radio.DevicePath());
    job.serialDevice.clear();
    state.baudIndex = 9;
    state.comPort = 0;
    EXPECT_EQ(RunHandShake(job).result, kResultOk);
    EXPECT_EQ(UsbCounters().identifies, 1u);
    EXPECT_EQ(Counters().frames, 0u);
    EXPECT_EQ(state.baudIndex, 9);

    state.comPort = 3;
    EXPECT_EQ(RunHandShake(job).result, kResultOk);
    EXPECT_EQ(Counters().identifies, 1u);
    EXPECT_EQ(UsbCounters().frames, 1u);
}

}  // namespace
}  // namespace orven
