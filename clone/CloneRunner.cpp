#include "clone/CloneRunner.h"

#include "clone/CPcUartClone.h"
#include "clone/CPcUsbClone.h"
#include "clone/CloneResult.h"
#include "files/VerifyReport.h"
#include "model/IdentityRules.h"
#include "model/SettingsRules.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace orven {

namespace {

std::unique_ptr<CCloneEngine> MakeEngine(const CloneJob& job) {
    if (job.state->comPort == 0 && job.serialDevice.empty())
        return std::make_unique<CPcUsbClone>(job.hidDevice ? *job.hidDevice : HidDeviceObject());
    auto engine = std::make_unique<CPcUartClone>();
    engine->SetDevicePath(job.serialDevice);
    return engine;
}

// One step of a write: its result and cause become the write's, its unwritten files add up.
void TakeStep(WriteOutcome& write, const CloneOutcome& step, WriteStage stage) {
    write.result = step.result;
    write.cause = step.cause;
    write.unwritten.insert(write.unwritten.end(), step.unwritten.begin(), step.unwritten.end());
    write.stage = stage;
}

// The backup read before a write: into a block of its own, handed to the caller to keep.
WriteOutcome BackUp(const CloneJob& job, const WriteOptions& options) {
    WriteOutcome outcome;
    auto held = std::make_unique<RadioSettings>();
    const ReadOutcome read = RunRead(job, *held);
    TakeStep(outcome, read, WriteStage::Backup);
    if (outcome.Ok() && !options.keepBackup(*held, read)) {
        outcome.stage = WriteStage::KeepBackup;
        outcome.result = kResultFileWrite;
    }
    return outcome;
}

}  // namespace

std::string OutcomeText(const CloneOutcome& outcome) {
    const std::string text = ResultText(outcome.result);
    return outcome.cause.empty() ? text : text + " (" + outcome.cause + ")";
}

int ModelTypeOfDocument(const RadioSettings& settings) { return settings.model == 0 ? kModelUsa : kModelEurInt; }

CloneOutcome RunEngine(const CloneJob& job, CloneOperation operation, RadioSettings& block) {
    if (!job.state || !job.writeImage || !job.readImage) return {kResultBadParameter, {}, {}};
    std::unique_ptr<CCloneEngine> engine = MakeEngine(job);
    engine->SetSettings(&block);
    engine->SetAppState(job.state);
    engine->SetProgress(job.progress);
    engine->SetDirectory(job.workDir);
    engine->SetTiming(job.timing);
    engine->SetImages(*job.writeImage, *job.readImage);
    engine->OpenTrace();
    CloneOutcome outcome{kResultBadParameter, {}, {}};
    switch (operation) {
    case CloneOperation::HandShake: outcome.result = engine->HandShake(); break;
    case CloneOperation::Write: outcome.result = engine->WriteRadio(); break;
    case CloneOperation::Read:
    case CloneOperation::Verify: outcome.result = engine->ReadRadio(); break;
    case CloneOperation::None: break;
    }
    if (!outcome.Ok()) outcome.cause = engine->FailureCause();
    outcome.unwritten = engine->UnwrittenFiles();
    return outcome;
}

CloneOutcome RunHandShake(const CloneJob& job) {
    auto block = std::make_unique<RadioSettings>();
    return RunEngine(job, CloneOperation::HandShake, *block);
}

ReadOutcome RunRead(const CloneJob& job, RadioSettings& out) {
    ReadOutcome outcome;
    auto block = std::make_unique<RadioSettings>();
    static_cast<CloneOutcome&>(outcome) = RunEngine(job, CloneOperation::Read, *block);
    if (!outcome.Ok()) return outcome;
    outcome.unloadable = FileCheckFailure(*block);
    out = *block;
    return outcome;
}

VerifyOutcome RunVerify(const CloneJob& job, const RadioSettings& pc, const ReportTime& time) {
    VerifyOutcome outcome;
    auto radio = std::make_unique<RadioSettings>();
    static_cast<CloneOutcome&>(outcome) = RunEngine(job, CloneOperation::Verify, *radio);
    if (outcome.Ok()) outcome.flags = CompareSettings(pc, *radio, time, outcome.report);
    return outcome;
}

ReadBackOutcome RunReadBack(const CloneJob& job) {
    ReadBackOutcome outcome;
    const auto sent = std::make_unique<RadioImage>(*job.writeImage);
    auto block = std::make_unique<RadioSettings>();
    static_cast<CloneOutcome&>(outcome) = RunEngine(job, CloneOperation::Read, *block);
    if (!outcome.Ok()) return outcome;
    const RadioImage& held = *job.readImage;
    for (std::uint32_t a = kCloneFirst; a <= kCloneLast; ++a)
        if (held[a] != (*sent)[a]) outcome.differing.push_back(static_cast<std::uint16_t>(a));
    return outcome;
}

std::string ReadBackReport(const ReadBackOutcome& outcome) {
    if (!outcome.Ok()) return "The radio was written but could not be read back: " + OutcomeText(outcome);
    std::string text = "The radio holds other bytes than were written at " +
                       std::to_string(outcome.differing.size()) + " address(es):";
    for (std::size_t i = 0; i < std::min(kReadBackAddressesListed, outcome.differing.size()); ++i) {
        char address[8];
        std::snprintf(address, sizeof address, " 0x%04X", outcome.differing[i]);
        text += address;
    }
    if (outcome.differing.size() > kReadBackAddressesListed) text += " ...";
    return text;
}

WriteOutcome RunWrite(const CloneJob& job, const RadioSettings& settings, const WriteOptions& options) {
    WriteOutcome outcome;
    if (auto refusal = WriteRefusal(settings)) {
        outcome.result = kResultInvalidData;
        outcome.refusal = *refusal;
        return outcome;
    }
    if (options.keepBackup) {
        outcome = BackUp(job, options);
        if (!outcome.Ok()) return outcome;
    }
    auto copy = std::make_unique<RadioSettings>(settings);
    TakeStep(outcome, RunEngine(job, CloneOperation::Write, *copy), WriteStage::Write);
    if (!outcome.Ok() || !options.verifyAfter) return outcome;
    outcome.readBack = RunReadBack(job);
    outcome.stage = WriteStage::ReadBack;
    outcome.unwritten.insert(outcome.unwritten.end(), outcome.readBack->unwritten.begin(),
                             outcome.readBack->unwritten.end());
    return outcome;
}

}  // namespace orven
