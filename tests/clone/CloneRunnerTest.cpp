#include "clone/CloneRunner.h"

#include "clone/CloneTrace.h"
#include "clone/EngineTestSupport.h"
#include "files/VerifyReport.h"
#include "link/LinkTestSupport.h"
#include "model/RadioIdentities.h"
#include "sim/DemoRadio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace orven {
namespace {

using namespace orven::test;

constexpr ReportTime kVerifyTime{2024, 5, 17, 9, 4};

// The runner over the simulated radio on a pseudo-terminal (and, where the choice of link is
// the point, on USB too), with the process-wide images as the front ends use them.
using CloneRunnerTest = OnLink<Link::Serial>;

// Write, read back and verify all 77 chunks of a full document: the slow one of these tests.
TEST_F(CloneRunnerTest, SlowWriteReadAndVerifyAFullEuropeanDocument) {
    // Write: the radio ends up holding exactly the encoded document.
    const WriteOutcome written = RunWrite(job, *settings, ConfirmingIdentities());
    ASSERT_EQ(written.result, kResultOk) << OutcomeText(written);
    std::vector<ProgressCall> calls = TransferProgress();
    for (const ProgressCall& call : IdentityCheckProgress()) calls.push_back(call);
    EXPECT_EQ(progress.Calls(), calls);
    const RadioImage expected = EncodedImage(*settings, state);
    const RadioImage memory = Memory();
    EXPECT_TRUE(std::equal(expected.begin() + kCloneFirst, expected.begin() + kCloneLast + 1, memory.begin() + kCloneFirst));

    // Read: decoded without loss, the read document encodes to the bytes the radio holds.
    progress.Clear();
    auto read = std::make_unique<RadioSettings>();
    ASSERT_EQ(RunRead(job, *read).result, kResultOk);
    EXPECT_EQ(progress.Calls(), TransferProgress());
    const RadioImage reencoded = EncodedImage(*read, state);
    EXPECT_TRUE(std::equal(memory.begin() + kCloneFirst, memory.begin() + kCloneLast + 1, reencoded.begin() + kCloneFirst));

    // Verify against the same document: equal; one channel changed on the PC side: the private
    // channels differ.
    const VerifyOutcome same = RunVerify(job, *settings, kVerifyTime);
    ASSERT_EQ(same.result, kResultOk);
    EXPECT_EQ(same.flags, 0);
    EXPECT_EQ(same.report.find("Private Band is different"), std::string::npos);
    PrivateChannel(*settings, 57).txMHz += 0.0125;
    const VerifyOutcome differs = RunVerify(job, *settings, kVerifyTime);
    ASSERT_EQ(differs.result, kResultOk);
    EXPECT_EQ(differs.flags, kDiffPrivate);
    EXPECT_NE(differs.report.find("Private Band is different"), std::string::npos);
}

TEST_F(CloneRunnerTest, WriteRefusesAnInvalidMmsiAndSendsNothing) {
    CopyText(settings->mmsiId, "012345678");
    const WriteOutcome outcome = RunWrite(job, *settings);
    EXPECT_EQ(outcome.result, kResultInvalidData);
    EXPECT_EQ(outcome.refusal, "Invalid MMIS ID:012345678\nMake sure 9 digitals.\nan own MMSI cannot begin with 0: 0... is a group");
    EXPECT_TRUE(Letters().empty());
    EXPECT_TRUE(std::all_of(WriteImage.begin(), WriteImage.end(), [](std::uint8_t b) { return b == 0; }))
        << "not even encoded";
}

// The radio differs from what was sent at 20 addresses, the first and last of the clone range
// among them: the read-back finds each, and its report names the first 16 and then " ...".
TEST_F(CloneRunnerTest, ReadBackFindsEveryDifferingAddressAndNamesTheFirstSixteen) {
    FillPattern(WriteImage, 4);
    const std::uint16_t differing[] = {0x0100, 0x0101, 0x0113, 0x0114, 0x0200, 0x0201, 0x0202, 0x02FF,
                                       0x0300, 0x0301, 0x0455, 0x0456, 0x05A0, 0x0600, 0x0601, 0x066B,
                                       0x066C, 0x06C0, 0x06FE, 0x06FF};
    OnRadio([&](SimulatedRadio& r) {
        r.Memory() = WriteImage;
        for (std::uint16_t a : differing) r.Memory()[a] ^= 0x10;
        r.Memory()[0x00FF] ^= 0x10;  // outside the clone range: never compared
    });
    job.timing = kLongFastTransferTiming;  // a whole read that a busy machine cannot make time out
    const ReadBackOutcome outcome = RunReadBack(job);
    ASSERT_EQ(outcome.result, kResultOk);
    EXPECT_EQ(outcome.differing, std::vector<std::uint16_t>(std::begin(differing), std::end(differing)));
    EXPECT_EQ(ReadBackReport(outcome),
              "The radio holds other bytes than were written at 20 address(es): 0x0100 0x0101 0x0113 0x0114 "
              "0x0200 0x0201 0x0202 0x02FF 0x0300 0x0301 0x0455 0x0456 0x05A0 0x0600 0x0601 0x066B ...");
}

// Answering the identity question takes long enough to plug in another radio. That radio must not
// take the first one's kept identities and a change asked about the first: the write stops before
// anything is sent and names what the radio now holds. The radio that was asked about is written.
TEST_F(CloneRunnerTest, ARadioSwappedWhileTheIdentityQuestionIsOpenIsNotWritten) {
    auto document = Defaults(kModelEurInt);
    document->mmsiByUser = 0;
    CopyText(document->mmsiId, "211777770");
    const auto demoRadio = [](const char* serial) {
        return [serial](SimulatedRadio& r) {
            FillDemoMemory(r.Memory());
            std::copy_n(serial, 8, r.Memory().begin() + static_cast<long>(IdentitySpan(IdentityKind::Serial).first));
            r.ClearHistory();
        };
    };
    OnRadio(demoRadio(kDemoSerial));
    job.timing = kFastTransferTiming;
    WriteOptions options;
    options.keepBackup = [](const RadioSettings&, const ReadOutcome&) { return true; };
    std::vector<IdentityChanges> asked;
    options.confirmIdentityChange = [&](const IdentityChanges& changes) {
        asked.push_back(changes);
        OnRadio(demoRadio("20269999"));
        return true;
    };
    const WriteOutcome swapped = RunWrite(job, *document, options);
    ASSERT_EQ(asked.size(), 1u);
    ASSERT_EQ(asked[0].size(), 1u);
    EXPECT_EQ(ChangeLine(asked[0][0]),
              "MMSI: 211234560 (ship station, MID 211, Germany) -> 211777770 (ship station, MID 211, Germany)");
    EXPECT_EQ(swapped.stage, WriteStage::Confirm);
    EXPECT_FALSE(swapped.Written());
    EXPECT_EQ(OutcomeText(swapped), "Write Error. (not the radio read before the question: the radio holds serial "
                                    "number 20269999, not 20261206; nothing was written)");
    EXPECT_EQ(Counters().writes, 0u);
    EXPECT_EQ(IdentitiesInImage(Memory())[IdentityKind::Serial], "20269999");

    options.confirmIdentityChange = [&](const IdentityChanges& changes) { return asked.push_back(changes), true; };
    const WriteOutcome same = RunWrite(job, *document, options);
    ASSERT_EQ(same.result, kResultOk) << OutcomeText(same);
    EXPECT_EQ(asked.size(), 2u);
    const RadioIdentities held = IdentitiesInImage(Memory());
    EXPECT_EQ(held[IdentityKind::Mmsi] + " " + held[IdentityKind::Serial], "211777770 20269999");
}

// A backed-up write reads the radio, writes it and reads back its identities over one opening of
// the port, which stays held in between, and the read's identify exchanges stand for the write's
// own; the trace holds every exchange. A question to the user in between lets go of the port, and
// the write identifies the radio afresh.
TEST_F(CloneRunnerTest, ABackedUpWriteKeepsThePortFromTheBackupToTheWriteUnlessTheUserIsAsked) {
    state.traceLog = 1;
    WriteOptions options = ConfirmingIdentities();
    std::optional<bool> freeMeanwhile;
    options.keepBackup = [&](const RadioSettings&, const ReadOutcome&) {
        freeMeanwhile = PortIsFree();
        return true;
    };
    job.timing = kLongFastTransferTiming;
    const std::string identityReadBack = "A" + std::string(3, 'R');
    const RadioImage expected = EncodedImage(*settings, state);
    OnRadio([&](SimulatedRadio& r) {  // the radio holds the document's identities: nothing to ask
        std::copy(expected.begin() + kIdentityBytesFirst, expected.begin() + kIdentityBytesLast + 1,
                  r.Memory().begin() + kIdentityBytesFirst);
    });
    WriteOutcome outcome = RunWrite(job, *settings, options);
    ASSERT_EQ(outcome.result, kResultOk) << OutcomeText(outcome);
    EXPECT_EQ(freeMeanwhile, false) << "the port was held from the backup to the write";
    EXPECT_TRUE(PortIsFree()) << "and let go after it";
    EXPECT_EQ(Letters(), "AA" + std::string(kChunks, 'R') + std::string(kChunks, 'W') + identityReadBack);
    EXPECT_EQ(std::filesystem::file_size(dir.File(kTraceFileName)), Letters().size() * sizeof(TraceRecord));
    const RadioImage memory = Memory();
    EXPECT_TRUE(std::equal(expected.begin() + kCloneFirst, expected.begin() + kCloneLast + 1, memory.begin() + kCloneFirst));

    OnRadio([](SimulatedRadio& r) { r.ClearHistory(); });
    CopyText(settings->mmsiId, "211234569");
    std::optional<bool> freeWhileAsked;
    options.confirmIdentityChange = [&](const IdentityChanges&) {
        freeWhileAsked = PortIsFree();
        return true;
    };
    outcome = RunWrite(job, *settings, options);
    ASSERT_EQ(outcome.result, kResultOk) << OutcomeText(outcome);
    EXPECT_EQ(freeWhileAsked, true) << "the port was let go while the user was asked";
    EXPECT_EQ(Letters(), "AA" + std::string(kChunks, 'R') + identityReadBack + "A" + std::string(kChunks, 'W') +
                             identityReadBack)
        << "the backup, its identities again after the question, the write, the read-back";
}

// Port 0 takes USB whatever the baud (which the serial engine would correct); a port number
// takes the serial port it names.
TEST_F(CloneRunnerTest, PortNumberChoosesTheLink) {
    PortFolderScope ports;
    ports.Link(3, pty.DevicePath());
    job.serialDevice.clear();
    state.baudIndex = 9;
    state.comPort = 0;
    EXPECT_EQ(RunHandShake(job).result, kResultOk);
    EXPECT_EQ(Counters(Link::Usb).identifies, 1u);
    EXPECT_EQ(Counters().frames, 0u);
    EXPECT_EQ(state.baudIndex, 9);

    state.comPort = 3;
    EXPECT_EQ(RunHandShake(job).result, kResultOk);
    EXPECT_EQ(Counters().identifies, 1u);
    EXPECT_EQ(Counters(Link::Usb).frames, 1u);
}

}  // namespace
}  // namespace orven
