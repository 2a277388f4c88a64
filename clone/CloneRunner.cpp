#include "clone/CloneRunner.h"

#include "clone/CPcUartClone.h"
#include "clone/CloneArchiving.h"
#include "clone/CPcUsbClone.h"
#include "clone/CloneResult.h"
#include "clone/IdentityPolicy.h"
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
    std::unique_ptr<CCloneEngine> engine;
    if (job.state->comPort == 0 && job.serialDevice.empty()) {
        engine = std::make_unique<CPcUsbClone>(job.hidDevice ? *job.hidDevice : HidDeviceObject());
    } else {
        auto uart = std::make_unique<CPcUartClone>();
        uart->SetDevicePath(job.serialDevice);
        engine = std::move(uart);
    }
    engine->SetAppState(job.state);
    engine->SetDirectory(job.workDir);
    engine->SetTiming(job.timing);
    engine->SetImages(*job.writeImage, *job.readImage);
    engine->OpenTrace();
    return engine;
}

std::unique_ptr<CCloneEngine> SharedLinkEngine(const CloneJob& job) {
    if (!job.state || !job.writeImage || !job.readImage) return nullptr;
    std::unique_ptr<CCloneEngine> engine = MakeEngine(job);
    engine->ShareLink();
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

// What every step of a write adds to it: unwritten files (each named once), the archive's
// trouble, a fallback.
void GatherNotes(WriteOutcome& write, const CloneOutcome& step) {
    for (const std::string& path : step.unwritten)
        if (std::find(write.unwritten.begin(), write.unwritten.end(), path) == write.unwritten.end())
            write.unwritten.push_back(path);
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

// Runs one operation on the job's engine, or on one made for it (state, folder, timing, images
// and trace set up): hands it the block and progress, and gathers what it has to say afterwards.
CloneOutcome WithEngine(const CloneJob& job, RadioSettings& block,
                        const std::function<CloneResult(CCloneEngine&)>& operation) {
    CloneOutcome outcome;
    outcome.result = kResultBadParameter;
    if (!job.state || !job.writeImage || !job.readImage) return outcome;
    const std::unique_ptr<CCloneEngine> own = job.engine ? nullptr : MakeEngine(job);
    CCloneEngine* engine = job.engine ? job.engine : own.get();
    engine->SetSettings(&block);
    engine->SetProgress(job.progress);
    outcome.result = operation(*engine);
    if (!outcome.Ok()) outcome.cause = engine->FailureCause();
    outcome.unwritten = engine->UnwrittenFiles();
    outcome.fellBack = engine->FellBack();
    return outcome;
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
    return outcome;
}

// Stops a write whose confirmations name another value than the radio will hold after it (the
// identities in `unknown` wait on the backup).
bool ConfirmationsMatch(const CloneJob& job, const WriteOptions& options, const IdentitySet& unknown,
                        WriteOutcome& outcome) {
    const auto mismatch = ConfirmationMismatch(options.confirmed, IdentitiesInImage(*job.writeImage), unknown);
    if (!mismatch) return true;
    outcome.stage = WriteStage::Confirm;
    outcome.result = kResultInvalidData;
    outcome.refusal = *mismatch;
    return false;
}

// Stops a write that would change an identity against what the radio holds, unless confirmed.
// `asked` tells whether the user was asked (and said yes); `beforeAsking` runs before the
// question goes to the user.
bool ChangesConfirmed(const CloneJob& job, const WriteOptions& options, std::span<const IdentityKind> kinds,
                      bool backedUp, WriteOutcome& outcome, bool& asked, const std::function<void()>& beforeAsking) {
    outcome.identities = ChangesOf(kinds, backedUp ? job.readImage : nullptr, *job.writeImage, options.confirmed);
    asked = std::any_of(outcome.identities.begin(), outcome.identities.end(),
                        [](const IdentityChange& change) { return !change.confirmed; });
    if (!asked) return true;
    beforeAsking();
    if (options.confirmIdentityChange && options.confirmIdentityChange(outcome.identities)) return true;
    outcome.stage = WriteStage::Confirm;
    outcome.result = kResultUserCancel;
    outcome.refusal = "The write would change the radio's identities; it was not confirmed.";
    return false;
}

// Reads the radio's identities again and stops the write when they are not those of its backup:
// another radio was put on the port since. After the user's answer (`afterQuestion`), since an
// answer takes long enough to plug in another radio, which would then take the first one's kept
// identities and changes it was never asked about; in a fleet run, just before the first frame.
bool SameRadioAsBackedUp(const CloneJob& job, WriteOutcome& outcome, bool afterQuestion) {
    if (job.progress) job.progress->SetPhase("Checking identities");
    const auto backup = std::make_unique<RadioImage>(*job.readImage);
    auto unused = std::make_unique<RadioSettings>();
    const CloneOutcome read = WithEngine(job, *unused, [](CCloneEngine& engine) {
        return engine.ReadChunksHolding(kIdentityBytesFirst, kIdentityBytesLast);
    });
    const std::vector<std::string> differ =
        read.Ok() ? IdentityDifferences(kRadioIdentities, *backup, *job.readImage) : std::vector<std::string>{};
    const RadioIdentities found = IdentitiesInImage(*job.readImage), held = IdentitiesInImage(*backup);
    *job.readImage = *backup;
    GatherNotes(outcome, read);
    if (read.Ok() && differ.empty()) return true;
    if (!afterQuestion) {
        outcome.stage = WriteStage::Recheck;
        outcome.result = read.Ok() ? kResultInvalidData : read.result;
        outcome.cause = read.cause;
        if (read.Ok())
            outcome.cause = "another radio is on the port: it holds serial number " +
                            DescribedIdentity(IdentityKind::Serial, found[IdentityKind::Serial]) + " and MMSI " +
                            DescribedIdentity(IdentityKind::Mmsi, found[IdentityKind::Mmsi]) + ", its backup " +
                            DescribedIdentity(IdentityKind::Serial, held[IdentityKind::Serial]) + " and " +
                            DescribedIdentity(IdentityKind::Mmsi, held[IdentityKind::Mmsi]) + "; nothing was written";
        return false;
    }
    outcome.stage = WriteStage::Confirm;
    outcome.result = read.Ok() ? kResultWriteError : read.result;
    std::string cause = read.Ok() ? "not the radio read before the question: " : "read again after the question";
    if (!read.cause.empty()) cause += ": " + read.cause;
    for (std::size_t i = 0; i < differ.size(); ++i) cause += (i == 0 ? "" : "; ") + differ[i];
    outcome.cause = cause + "; nothing was written";
    outcome.refusal = OutcomeText(outcome);
    return false;
}

// A read-back's verdict as the log keeps it.
std::string ReadBackVerdict(const WriteOutcome& outcome) {
    if (!outcome.readBack) return "-";
    const ReadBackOutcome& back = *outcome.readBack;
    if (!back.Ok()) return OutcomeText(back);
    if (!back.whole) return back.identities.empty() ? "Identities OK." : "Identities differ.";
    if (back.differing.empty()) return "Verify OK.";
    return "Verify Error. " + std::to_string(back.differing.size()) + " byte(s) differ";
}

// After a good write: the whole radio or its identity frames read back. Identities other than
// were sent fail the write.
void ReadBack(const CloneJob& job, bool whole, WriteOutcome& outcome) {
    if (job.progress) job.progress->SetPhase(whole ? "Reading back" : "Checking identities");
    outcome.readBack = whole ? RunReadBack(job) : RunIdentityReadBack(job);
    outcome.stage = WriteStage::ReadBack;
    GatherNotes(outcome, *outcome.readBack);
    const std::vector<std::string>& differ = outcome.readBack->identities;
    if (!outcome.readBack->Ok() || differ.empty()) return;
    outcome.result = kResultWriteError;
    outcome.cause.clear();
    for (const std::string& difference : differ) outcome.cause += (outcome.cause.empty() ? "" : "; ") + difference;
}

// Everything of a write (the document given, its image in the job's write image) or a restore
// (the image alone) after its checks: identity policy, backup, sending, read-back, log line.
WriteOutcome SendWithPolicy(const CloneJob& job, const WriteOptions& options, const RadioSettings* document) {
    const std::span<const IdentityKind> kinds =
        document ? std::span<const IdentityKind>(kRadioIdentities) : std::span<const IdentityKind>(kRestoredIdentities);
    const bool backsUp = BacksUp(job, options);
    WriteOutcome outcome;
    if (document) ApplyIdentityPolicy(*document, options.remove, nullptr, *job.writeImage);
    const IdentitySet unknown = document && backsUp ? KeptFromBackup(*document, options.remove) : IdentitySet{};
    if (!ConfirmationsMatch(job, options, unknown, outcome)) return outcome;
    // One opening of the link serves the backup read, the write (which the read's identify
    // exchanges stand for) and the read-back, and one trace holds them all.
    const std::unique_ptr<CCloneEngine> shared = SharedLinkEngine(job);
    CloneJob linked = job;
    linked.engine = shared.get();
    if (backsUp) {
        outcome = BackUp(linked, options);
        if (!outcome.Ok()) return outcome;
        if (document) ApplyIdentityPolicy(*document, options.remove, job.readImage, *job.writeImage);
        if (!ConfirmationsMatch(job, options, {}, outcome)) return outcome;
    }
    // The user may take long to answer, and the radio need not stay ready that long: the link is
    // let go meanwhile, and the next exchange opens it again and identifies the radio afresh.
    const auto letGo = [&] {
        if (shared) shared->ReleaseLink();
    };
    bool asked = false;
    if (!ChangesConfirmed(job, options, kinds, backsUp, outcome, asked, letGo)) return outcome;
    if (backsUp && (asked || options.recheckRadio) && !SameRadioAsBackedUp(linked, outcome, asked)) return outcome;
    const std::string backup = outcome.archived;
    const char* logged = document ? "write" : "restore";
    const std::string run = LogStartInArchive(job, logged, *job.writeImage, backup, options.logName, outcome);
    if (job.progress) job.progress->SetPhase("Writing");
    auto unused = std::make_unique<RadioSettings>();
    TakeStep(outcome, WithEngine(linked, *unused, [](CCloneEngine& e) { return e.WriteImageAsItIs(); }),
             WriteStage::Write);
    outcome.archived = backup;
    if (outcome.Ok()) ReadBack(linked, options.verifyAfter || !document, outcome);
    const LogResult said{outcome.Ok() ? "Write OK." : OutcomeText(outcome), ReadBackVerdict(outcome), run,
                         backup.empty() ? "-" : backup, options.logName};
    LogInArchive(job, logged, *job.writeImage, said, outcome);
    return outcome;
}

}  // namespace

std::string OutcomeText(const CloneOutcome& outcome) {
    const std::string text = ResultText(outcome.result);
    return outcome.cause.empty() ? text : text + " (" + outcome.cause + ")";
}

int ModelTypeOfDocument(const RadioSettings& settings) { return settings.model == 0 ? kModelUsa : kModelEurInt; }

CloneOutcome RunEngine(const CloneJob& job, CloneOperation operation, RadioSettings& block) {
    return WithEngine(job, block, [operation](CCloneEngine& engine) {
        switch (operation) {
        case CloneOperation::HandShake: return engine.HandShake();
        case CloneOperation::Write: return engine.WriteRadio();
        case CloneOperation::Restore: return engine.WriteImageAsItIs();
        case CloneOperation::Read:
        case CloneOperation::Verify: return engine.ReadRadio();
        case CloneOperation::None: break;
        }
        return kResultBadParameter;
    });
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
    const LogResult said{outcome.Ok() ? verdict : OutcomeText(outcome), "-", {}, {}, {}};
    LogInArchive(job, "verify", *job.readImage, said, outcome);
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
    outcome.identities = IdentityDifferences(kRestoredIdentities, *sent, held);
    return outcome;
}

CloneOutcome RunIdentityRead(const CloneJob& job) {
    auto unused = std::make_unique<RadioSettings>();
    return WithEngine(job, *unused, [](CCloneEngine& engine) {
        return engine.ReadChunksHolding(kIdentityBytesFirst, kIdentityBytesLast);
    });
}

ReadBackOutcome RunIdentityReadBack(const CloneJob& job) {
    ReadBackOutcome outcome;
    outcome.whole = false;
    static_cast<CloneOutcome&>(outcome) = RunIdentityRead(job);
    if (!outcome.Ok()) return outcome;
    outcome.identities = IdentityDifferences(kRadioIdentities, *job.writeImage, *job.readImage);
    return outcome;
}

std::string ReadBackReport(const ReadBackOutcome& outcome) {
    if (!outcome.Ok())
        return std::string(outcome.whole ? "The radio was written but could not be read back: "
                                         : "The radio was written but its identities could not be read back: ") +
               OutcomeText(outcome);
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
    if (job.state && job.writeImage && job.readImage)
        ImageCodec(*job.state, *copy, *job.writeImage, *job.readImage).Encode();
    return SendWithPolicy(job, options, copy.get());
}

WriteOutcome RunRestore(const CloneJob& job, const RadioImage& image, const WriteOptions& options) {
    // A restore sends exact bytes: nothing of a document's to remove or keep.
    WriteOptions restore = options;
    restore.remove.clear();
    // A backup read fills the read image only, so the image to send can wait in the write image.
    if (job.writeImage) *job.writeImage = image;
    return SendWithPolicy(job, restore, nullptr);
}

}  // namespace orven
