#include "clone/CloneArchiving.h"

#include "files/RadioArchive.h"
#include "model/RadioIdentities.h"

namespace orven {

void KeepReadInArchive(const CloneJob& job, const char* operation, const RadioSettings& settings, bool settingsLoad,
                       CloneOutcome& outcome) {
    if (!job.archive) return;
    ArchiveRecord record;
    record.time = ArchiveTimeNow();
    record.operation = operation;
    record.port = job.portName;
    record.version = kPackageVersion;
    TakeIdentities(record, settings);
    record.sha256 = CloneRangeSha256(*job.readImage);
    std::string error;
    if (auto id = job.archive->Store(record, *job.readImage, settingsLoad ? &settings : nullptr, error))
        outcome.archived = *id;
    else
        outcome.archiveError = error;
}

void LogInArchive(const CloneJob& job, const char* operation, const RadioImage& image, const LogResult& said,
                  CloneOutcome& outcome) {
    if (!job.archive) return;
    const RadioIdentities who = IdentitiesInImage(image);
    const LogLine line{ArchiveTimeNow(),        operation,   job.portName, who[IdentityKind::Serial],
                       who[IdentityKind::Mmsi], who[IdentityKind::Atis], who[IdentityKind::Nmea],
                       CloneRangeSha256(image), said.result, said.readBack, said.run, said.backup,
                       said.name};
    std::string error;
    if (!job.archive->AppendLog(line, error) && outcome.archiveError.empty()) outcome.archiveError = error;
}

std::string LogStartInArchive(const CloneJob& job, const char* operation, const RadioImage& image,
                              const std::string& backup, const std::string& name, CloneOutcome& outcome) {
    if (!job.archive) return {};
    const std::string run = NewRunMark();
    LogInArchive(job, operation, image, {kLogStarted, "-", run, backup.empty() ? "-" : backup, name}, outcome);
    return run;
}

}  // namespace orven
