#include "clone/CloneRunner.h"

#include "clone/CPcUartClone.h"
#include "clone/CPcUsbClone.h"
#include "clone/CloneResult.h"
#include "clone/WriteChecks.h"
#include "files/Paths.h"
#include "model/LineFormat.h"
#include "files/VerifyReport.h"

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

IdentityEntry IdentitiesOf(const RadioSettings& s) {
    IdentityEntry e;
    e.mmsi = std::string(FixedSlotText(s.mmsiId));
    e.mmsiByUser = s.mmsiByUser != 0;
    e.atis = std::string(FixedSlotText(s.atisId));
    e.atisByUser = s.atisByUser != 0;
    e.nmea = std::string(FixedSlotText(s.nmeaNo));
    e.serial = std::string(FixedSlotText(s.serialNo));
    return e;
}

}  // namespace

CloneResult RunEngine(const CloneJob& job, CloneOperation operation, RadioSettings& block) {
    if (!job.state) return kResultBadParameter;
    std::unique_ptr<CCloneEngine> engine = MakeEngine(job);
    engine->SetSettings(&block);
    engine->SetAppState(job.state);
    engine->SetProgress(job.progress);
    engine->SetDirectory(job.workDir);
    engine->SetTiming(job.timing);
    engine->OpenTrace();
    switch (operation) {
    case CloneOperation::HandShake: return engine->HandShake();
    case CloneOperation::Write: return engine->WriteRadio();
    case CloneOperation::Read:
    case CloneOperation::Verify: return engine->ReadRadio();
    case CloneOperation::None: break;
    }
    return kResultBadParameter;
}

CloneResult RunHandShake(const CloneJob& job, const RadioSettings& settings) {
    auto copy = std::make_unique<RadioSettings>(settings);
    return RunEngine(job, CloneOperation::HandShake, *copy);
}

std::optional<std::string> WriteRefusal(const RadioSettings& settings) {
    return CheckIdentitiesForWrite(IdentitiesOf(settings));
}

WriteOutcome RunWrite(const CloneJob& job, const RadioSettings& settings) {
    WriteOutcome outcome;
    if (auto refusal = WriteRefusal(settings)) {
        outcome.result = kResultInvalidData;
        outcome.refusal = *refusal;
        return outcome;
    }
    auto copy = std::make_unique<RadioSettings>(settings);
    outcome.result = RunEngine(job, CloneOperation::Write, *copy);
    return outcome;
}

CloneResult RunRead(const CloneJob& job, RadioSettings& out) {
    auto block = std::make_unique<RadioSettings>();
    const CloneResult result = RunEngine(job, CloneOperation::Read, *block);
    if (result == kResultOk) out = *block;
    return result;
}

VerifyOutcome RunVerify(const CloneJob& job, const RadioSettings& pc, const ReportTime& time) {
    VerifyOutcome outcome;
    auto radio = std::make_unique<RadioSettings>();
    outcome.result = RunEngine(job, CloneOperation::Verify, *radio);
    if (outcome.result != kResultOk) return outcome;
    outcome.reportPath = JoinPath(job.workDir, kVerifyFileName);
    outcome.flags = CompareRadioSettings(pc, *radio, job.state->modelType, outcome.reportPath, time);
    return outcome;
}

std::string ReadBackReport(const ReadBackOutcome& outcome) {
    if (outcome.result != kResultOk)
        return "The radio was written but could not be read back: " + ResultText(outcome.result);
    constexpr std::size_t kListed = 16;
    std::string text = "The radio holds other bytes than were written at " +
                       std::to_string(outcome.differing.size()) + " address(es):";
    for (std::size_t i = 0; i < std::min(kListed, outcome.differing.size()); ++i) {
        char address[8];
        std::snprintf(address, sizeof address, " 0x%04X", outcome.differing[i]);
        text += address;
    }
    if (outcome.differing.size() > kListed) text += " ...";
    return text;
}

ReadBackOutcome RunReadBack(const CloneJob& job) {
    ReadBackOutcome outcome;
    const auto sent = std::make_unique<RadioImage>(WriteImage);
    auto block = std::make_unique<RadioSettings>();
    outcome.result = RunEngine(job, CloneOperation::Read, *block);
    if (outcome.result != kResultOk) return outcome;
    for (std::uint32_t a = kCloneFirst; a <= kCloneLast; ++a)
        if (ReadImage[a] != (*sent)[a]) outcome.differing.push_back(static_cast<std::uint16_t>(a));
    return outcome;
}

}  // namespace orven
