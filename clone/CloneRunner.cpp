#include "clone/CloneRunner.h"

#include "clone/CPcUartClone.h"
#include "clone/CloneArchiving.h"
#include "clone/CPcUsbClone.h"
#include "clone/CloneResult.h"
#include "files/RadioArchive.h"
#include "files/VerifyReport.h"
#include "model/IdentityRules.h"
#include "model/ImageCodec.h"
#include "model/LineFormat.h"
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

// Reads into `block` and keeps the radio's bytes in the archive under `operation`.
ReadOutcome ReadAndKeep(const CloneJob& job, RadioSettings& block, const char* operation) {
    ReadOutcome outcome;
    static_cast<CloneOutcome&>(outcome) = RunEngine(job, CloneOperation::Read, block);
    if (!outcome.Ok()) return outcome;
    outcome.unloadable = FileCheckFailure(block);
    KeepReadInArchive(job, operation, block, !outcome.unloadable, outcome);
    return outcome;
}

// What every step of a write adds to it: unwritten files, the archive's trouble, a fallback.
void GatherNotes(WriteOutcome& write, const CloneOutcome& step) {
    write.unwritten.insert(write.unwritten.end(), step.unwritten.begin(), step.unwritten.end());
    if (!step.archiveError.empty()) write.archiveError = step.archiveError;
    write.fellBack = write.fellBack || step.fellBack;
}

// One step of a write that decides it: its result and cause become the write's.
void TakeStep(WriteOutcome& write, const CloneOutcome& step, WriteStage stage) {
    write.result = step.result;
    write.cause = step.cause;
    GatherNotes(write, step);
    write.stage = stage;
}

bool BacksUp(const CloneJob& job, const WriteOptions& options) {
    return options.keepBackup || (job.archive && options.backUpToArchive);
}

// The settings an image holds, decoded from a copy so the image itself stays as it is.
std::unique_ptr<RadioSettings> DecodeImage(const AppState& state, const RadioImage& image) {
    auto decoded = std::make_unique<RadioSettings>();
    auto scratch = std::make_unique<RadioImage>();
    auto copy = std::make_unique<RadioImage>(image);
    ImageCodec(state, *decoded, *scratch, *copy).Decode();
    return decoded;
}

// The identities an image programs: what the radio will hold after it is written.
void IdentitiesOfImage(const AppState& state, const RadioImage& image, std::string& mmsi, std::string& atis) {
    const std::unique_ptr<RadioSettings> decoded = DecodeImage(state, image);
    mmsi = decoded->mmsiByUser ? std::string() : std::string(FixedSlotText(decoded->mmsiId));
    atis = decoded->atisByUser ? std::string() : std::string(FixedSlotText(decoded->atisId));
}

// The backup read before a write: kept in the archive and handed to the caller; nothing is
// written when either fails. An archive that cannot take an entry stops it before the read.
WriteOutcome BackUp(const CloneJob& job, const WriteOptions& options) {
    WriteOutcome outcome;
    outcome.stage = WriteStage::Backup;
    const bool archive = job.archive && options.backUpToArchive;
    if (archive)
        if (auto refusal = job.archive->StoreRefusal()) {
            outcome.stage = WriteStage::Archive;
            outcome.result = kResultFileWrite;
            outcome.archiveError = *refusal;
            return outcome;
        }
    if (job.progress) job.progress->SetPhase("Backing up");
    auto held = std::make_unique<RadioSettings>();
    const ReadOutcome read = ReadAndKeep(job, *held, archive ? "backup" : "read");
    TakeStep(outcome, read, WriteStage::Backup);
    outcome.archived = read.archived;
    if (outcome.Ok() && archive && read.archived.empty()) {
        outcome.stage = WriteStage::Archive;
        outcome.result = kResultFileWrite;
    }
    if (outcome.Ok() && options.keepBackup && !options.keepBackup(*held, read)) {
        outcome.stage = WriteStage::KeepBackup;
        outcome.result = kResultFileWrite;
    }
    if (outcome.Ok()) {
        outcome.identities.heldKnown = true;
        IdentitiesOfImage(*job.state, *job.readImage, outcome.identities.heldMmsi, outcome.identities.heldAtis);
    }
    return outcome;
}

// Stops a write that would put an identity into the radio it did not hold, unless confirmed.
bool IdentitiesConfirmed(const CloneJob& job, const WriteOptions& options, const RadioImage& sending,
                         WriteOutcome& outcome) {
    IdentityChange& change = outcome.identities;
    IdentitiesOfImage(*job.state, sending, change.newMmsi, change.newAtis);
    if (!change.Any() || (options.confirmIdentityChange && options.confirmIdentityChange(change))) return true;
    outcome.stage = WriteStage::Confirm;
    outcome.result = kResultUserCancel;
    outcome.refusal = "The write would put a new identity into the radio; it was not confirmed.";
    return false;
}

// A read-back's verdict as the log keeps it.
std::string ReadBackVerdict(const WriteOutcome& outcome) {
    if (!outcome.readBack) return "-";
    if (!outcome.readBack->Ok()) return OutcomeText(*outcome.readBack);
    if (outcome.readBack->differing.empty()) return "Verify OK.";
    return "Verify Error. " + std::to_string(outcome.readBack->differing.size()) + " byte(s) differ";
}

// Everything of a write or restore after its checks: backup, sending, read-back, log line.
WriteOutcome SendWithPolicy(const CloneJob& job, const WriteOptions& options, CloneOperation sending,
                            RadioSettings& document) {
    WriteOutcome outcome;
    if (BacksUp(job, options)) {
        outcome = BackUp(job, options);
        if (!outcome.Ok()) return outcome;
    }
    const std::string backup = outcome.archived;
    if (sending == CloneOperation::Write) ImageCodec(*job.state, document, *job.writeImage, *job.readImage).Encode();
    if (!IdentitiesConfirmed(job, options, *job.writeImage, outcome)) return outcome;
    const char* logged = sending == CloneOperation::Restore ? "restore" : "write";
    const std::string run = LogStartInArchive(job, logged, document, *job.writeImage, backup, outcome);
    if (job.progress) job.progress->SetPhase("Writing");
    TakeStep(outcome, RunEngine(job, sending, document), WriteStage::Write);
    outcome.archived = backup;
    if (outcome.Ok() && options.verifyAfter) {
        if (job.progress) job.progress->SetPhase("Reading back");
        outcome.readBack = RunReadBack(job);
        outcome.stage = WriteStage::ReadBack;
        GatherNotes(outcome, *outcome.readBack);
    }
    const LogResult said{outcome.Ok() ? "Write OK." : OutcomeText(outcome), ReadBackVerdict(outcome), run,
                         backup.empty() ? "-" : backup};
    LogInArchive(job, logged, document, *job.writeImage, said, outcome);
    return outcome;
}

}  // namespace

std::string OutcomeText(const CloneOutcome& outcome) {
    const std::string text = ResultText(outcome.result);
    return outcome.cause.empty() ? text : text + " (" + outcome.cause + ")";
}

int ModelTypeOfDocument(const RadioSettings& settings) { return settings.model == 0 ? kModelUsa : kModelEurInt; }

CloneOutcome RunEngine(const CloneJob& job, CloneOperation operation, RadioSettings& block) {
    CloneOutcome outcome;
    outcome.result = kResultBadParameter;
    if (!job.state || !job.writeImage || !job.readImage) return outcome;
    std::unique_ptr<CCloneEngine> engine = MakeEngine(job);
    engine->SetSettings(&block);
    engine->SetAppState(job.state);
    engine->SetProgress(job.progress);
    engine->SetDirectory(job.workDir);
    engine->SetTiming(job.timing);
    engine->SetImages(*job.writeImage, *job.readImage);
    engine->OpenTrace();
    switch (operation) {
    case CloneOperation::HandShake: outcome.result = engine->HandShake(); break;
    case CloneOperation::Write: outcome.result = engine->WriteRadio(); break;
    case CloneOperation::Restore: outcome.result = engine->WriteImageAsItIs(); break;
    case CloneOperation::Read:
    case CloneOperation::Verify: outcome.result = engine->ReadRadio(); break;
    case CloneOperation::None: break;
    }
    if (!outcome.Ok()) outcome.cause = engine->FailureCause();
    outcome.unwritten = engine->UnwrittenFiles();
    outcome.fellBack = engine->FellBack();
    return outcome;
}

CloneOutcome RunHandShake(const CloneJob& job) {
    auto block = std::make_unique<RadioSettings>();
    return RunEngine(job, CloneOperation::HandShake, *block);
}

ReadOutcome RunRead(const CloneJob& job, RadioSettings& out) {
    auto block = std::make_unique<RadioSettings>();
    const ReadOutcome outcome = ReadAndKeep(job, *block, "read");
    if (outcome.Ok()) out = *block;
    return outcome;
}

VerifyOutcome RunVerify(const CloneJob& job, const RadioSettings& pc, const ReportTime& time) {
    VerifyOutcome outcome;
    auto radio = std::make_unique<RadioSettings>();
    static_cast<CloneOutcome&>(outcome) = ReadAndKeep(job, *radio, "verify");
    if (outcome.Ok()) outcome.flags = CompareSettings(pc, *radio, time, outcome.report);
    const char* verdict = outcome.flags == 0 ? "Verify OK." : "Verify Error.";
    const LogResult said{outcome.Ok() ? verdict : OutcomeText(outcome), "-", {}, {}};
    LogInArchive(job, "verify", *radio, *job.readImage, said, outcome);
    return outcome;
}

ReadBackOutcome RunReadBack(const CloneJob& job) {
    ReadBackOutcome outcome;
    const auto sent = std::make_unique<RadioImage>(*job.writeImage);
    auto block = std::make_unique<RadioSettings>();
    static_cast<CloneOutcome&>(outcome) = ReadAndKeep(job, *block, "read-back");
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
    if (auto refusal = WriteRefusal(settings)) {
        WriteOutcome outcome;
        outcome.result = kResultInvalidData;
        outcome.refusal = *refusal;
        return outcome;
    }
    auto copy = std::make_unique<RadioSettings>(settings);
    return SendWithPolicy(job, options, CloneOperation::Write, *copy);
}

WriteOutcome RunRestore(const CloneJob& job, const RadioImage& image, const WriteOptions& options) {
    WriteOptions restore = options;
    restore.verifyAfter = true;
    // The identities the image holds, for the log; the engine sends the image, not a document.
    const std::unique_ptr<RadioSettings> identities = DecodeImage(*job.state, image);
    // A backup read fills the read image only, so the image to send can wait in the write image.
    *job.writeImage = image;
    return SendWithPolicy(job, restore, CloneOperation::Restore, *identities);
}

}  // namespace orven
