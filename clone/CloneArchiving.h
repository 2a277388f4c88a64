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
    std::string result;    // "Write OK.", "Verify Error.", or the failure's text
    std::string readBack;  // what a read-back after a write found, or "-"
};

// Adds the log line of a write, restore or verify. `identities` are the document's written, or
// the radio's read; `image` the one sent or read. A failure to log sets outcome.archiveError.
void LogInArchive(const CloneJob& job, const char* operation, const RadioSettings& identities, const RadioImage& image,
                  const LogResult& said, CloneOutcome& outcome);

// SHA-256 of an image's clone range, as records and log lines name it.
std::string CloneRangeSha256(const RadioImage& image);

}  // namespace orven
