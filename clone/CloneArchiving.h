// How the command runner feeds the radio archive: an entry for the radio's bytes after a read,
// a line of the programming log after a write, restore or verify.
#pragma once

#include "clone/CloneRunner.h"

#include <string>

namespace orven {

// After a good read into the job's read image: stores an entry (settings left out when they
// would not load) and sets outcome.archived, or outcome.archiveError. Nothing without an archive.
void KeepReadInArchive(const CloneJob& job, const char* operation, const RadioSettings& settings,
                       bool settingsLoad, CloneOutcome& outcome);

// What the log says of an operation: one of its own texts, or the failure.
struct LogResult {
    std::string result;    // "Write OK.", "Verify Error.", "started", or the failure's text
    std::string readBack;  // what a read-back after a write found, or "-"
    std::string run;       // ties a write's started line to its outcome's
    std::string backup;    // a write's backup entry, or "-"
    std::string name;      // the vessel or radio named for a write, or empty
};

// Adds the log line of a write, restore or verify, with the identities of `image`: the one sent
// (what was actually written), or the one read. A failure to log sets outcome.archiveError.
void LogInArchive(const CloneJob& job, const char* operation, const RadioImage& image, const LogResult& said,
                  CloneOutcome& outcome);

// Before a write's or restore's first frame: a started line, so that a write cut off for good (the
// program killed, the power gone) shows in the log, with the backup that undoes it. The run's mark
// for its outcome's line; empty without an archive.
std::string LogStartInArchive(const CloneJob& job, const char* operation, const RadioImage& image,
                              const std::string& backup, const std::string& name, CloneOutcome& outcome);

}  // namespace orven
