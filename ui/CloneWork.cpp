#include "ui/CloneWork.h"

#include "clone/CloneTrace.h"
#include "files/AtomicFile.h"
#include "files/Paths.h"
#include "files/ReportTime.h"
#include "files/VerifyReport.h"
#include "ui/QueuedProgress.h"

namespace orven::ui {

namespace {

// The radio's exact bytes, kept where the image dump goes, for a read whose settings cannot be
// saved as a settings file.
std::string KeepReadImage(const CloneWork& work) {
    const std::string path = JoinPath(work.job.workDir, kReadDumpFileName);
    return !ArchiveOutputRefusal(path) && DumpImageFile(path, *work.job.readImage) ? path : std::string();
}

void TakeWrite(WriteOutcome written, WorkerOutcome& outcome) {
    outcome.stage = written.stage;
    outcome.readBack = std::move(written.readBack);
    outcome.run = written;
}

void RunReadWork(CloneWork& work, WorkerOutcome& outcome) {
    auto block = std::make_unique<RadioSettings>();
    const ReadOutcome read = RunRead(work.job, *block);
    outcome.run = read;
    if (!read.Ok()) return;
    if (read.unloadable) {
        outcome.unloadable = *read.unloadable;
        outcome.reportPath = KeepReadImage(work);
    } else {
        outcome.readBlock = std::move(block);
    }
}

void RunVerifyWork(CloneWork& work, WorkerOutcome& outcome) {
    const VerifyOutcome verify = RunVerify(work.job, *work.settings, LocalReportTime());
    outcome.run = verify;
    outcome.reportPath = JoinPath(work.job.workDir, kVerifyFileName);
    if (verify.Ok())
        outcome.verifyFlags = !ArchiveOutputRefusal(outcome.reportPath) &&
                                      WriteFileAtomically(outcome.reportPath, std::string_view(verify.report))
                                  ? verify.flags
                                  : kVerifyFileError;
}

}  // namespace

CloneWork::CloneWork() = default;
CloneWork::~CloneWork() = default;

std::shared_ptr<WorkerOutcome> RunCloneWork(CloneWork& work) {
    auto outcome = std::make_shared<WorkerOutcome>();
    outcome->operation = work.operation;
    switch (work.operation) {
    case CloneOperation::Write: TakeWrite(RunWrite(work.job, *work.settings, work.write), *outcome); break;
    case CloneOperation::Restore: TakeWrite(RunRestore(work.job, *work.restoreImage, work.write), *outcome); break;
    case CloneOperation::Read: RunReadWork(work, *outcome); break;
    case CloneOperation::Verify: RunVerifyWork(work, *outcome); break;
    default: outcome->run = RunHandShake(work.job); break;
    }
    return outcome;
}

std::shared_ptr<ConnectionReport> RunCheckWork(CloneWork& work) {
    return std::make_shared<ConnectionReport>(CheckConnection(work.job, {}, !work.demoRadio, CheckReader::Window));
}

}  // namespace orven::ui
