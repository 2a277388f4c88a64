// One clone command end to end, for both front ends, with the policies around it: choose the
// engine from comPort, hand it a block of its own, open the trace, run one operation, destroy the
// engine, report the outcome; for a write also the identity check, the backup of what the radio
// held and the read-back after it. The window and the command line only ask and show.
#pragma once

#include "GlobalDef.h"
#include "clone/CloneTiming.h"
#include "clone/IdentityPolicy.h"
#include "clone/ProgressSink.h"
#include "files/ReportTime.h"
#include "model/AppState.h"
#include "model/RadioImage.h"
#include "model/RadioSettings.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orven {

class CCloneEngine;
class CHidDevice;
class RadioArchive;

enum class CloneOperation : std::uint32_t { None = 0, Write = 1, Read = 2, Verify = 3, HandShake = 4, Restore = 5 };

struct CloneJob {
    AppState* state = nullptr;        // comPort, baudIndex, traceLog, dumpImages, modelType
    ProgressSink* progress = nullptr;
    std::string workDir;              // trace and dump files go here
    CloneTiming timing = kProductTiming;
    std::string serialDevice;         // a device path to use instead of comPort's port
    CHidDevice* hidDevice = nullptr;  // the USB device; HidDeviceObject() when null
    RadioImage* writeImage = &WriteImage;  // what a write encodes and sends
    RadioImage* readImage = &ReadImage;    // what a read fills
    // Given: every good read keeps the radio's bytes here (and a write's backup), and every
    // write, restore and verify adds a line to its programming log.
    const RadioArchive* archive = nullptr;
    std::string portName;  // the port as the user named it, for the archive's records
    // Given: the operations run on this engine, set up once for the job, and share its link
    // (a write's backup read, the write and its read-back); otherwise each makes an engine of its own.
    CCloneEngine* engine = nullptr;
};

// How an operation ended, and the link's reason when it gave one (why a port did not open).
struct CloneOutcome {
    CloneResult result = kResultOk;
    std::string cause;
    std::vector<std::string> unwritten;  // trace and dump files asked for that could not be written
    std::string archived;      // the archive entry that keeps the radio's bytes just read
    std::string archiveError;  // why they, or the log line, could not be kept
    bool fellBack = false;     // a fast transfer went on with the product timing after a failed attempt
    bool Ok() const { return result == kResultOk; }
};
// The result's text, the cause in brackets after it: "Open Comp Port Error. (/dev/ttyUSB0: no
// such device)".
std::string OutcomeText(const CloneOutcome& outcome);

// The model type a document is written and compared as unless the user chose one: USA for a
// USA document, EUR (INT) for a European one.
int ModelTypeOfDocument(const RadioSettings& settings);

// The engine operation alone, on the given block (no checks, no copies).
CloneOutcome RunEngine(const CloneJob& job, CloneOperation operation, RadioSettings& block);

CloneOutcome RunHandShake(const CloneJob& job);

struct ReadOutcome : CloneOutcome {
    // Why the settings read would fail the settings file check (a radio left half-written):
    // they can be shown and kept as the radio's bytes, not saved as a settings file.
    std::optional<std::string> unloadable;
};
// Reads into a cleared block of its own; `out` changes only when the read succeeded.
ReadOutcome RunRead(const CloneJob& job, RadioSettings& out);

struct VerifyOutcome : CloneOutcome {
    std::int32_t flags = 0;  // the comparison's difference flags (after a good read)
    std::string report;      // the verify report's text (after a good read)
};
// Reads the radio into a block of its own and compares it with `pc`.
VerifyOutcome RunVerify(const CloneJob& job, const RadioSettings& pc, const ReportTime& time);

struct ReadBackOutcome : CloneOutcome {
    bool whole = true;                     // the whole clone range, or only the identity frames
    std::vector<std::uint16_t> differing;  // addresses where the radio differs (after a good whole read)
    // The identities the radio holds otherwise than they were sent, said for the user.
    std::vector<std::string> identities;
};
// After a write: reads the radio back and compares what it holds, byte for byte over the clone
// range, with the image the write sent. Bytes, not settings, so that nothing the codec leaves
// out or rounds can hide a difference or invent one.
ReadBackOutcome RunReadBack(const CloneJob& job);
// The same over the few frames that hold the radio's identities: what every write ends with.
ReadBackOutcome RunIdentityReadBack(const CloneJob& job);
// Reads only the few frames that hold the radio's identities into the job's read image (the rest
// of it cleared): a short look at which radio is on the port.
CloneOutcome RunIdentityRead(const CloneJob& job);
// What a user is told of a read-back that failed or found differences: the failure, or how
// many bytes differ and the first of their addresses.
std::string ReadBackReport(const ReadBackOutcome& outcome);
// The most addresses ReadBackReport names.
inline constexpr std::size_t kReadBackAddressesListed = 16;

struct WriteOptions {
    // With an archive in the job: the radio is read before anything is sent and what it held is
    // stored there; a failure of either stops the write.
    bool backUpToArchive = true;
    // Given: the radio is read before anything is sent and this receives what it held (its exact
    // bytes are in the job's read image); false from it (the copy could not be kept) stops the
    // write.
    std::function<bool(const RadioSettings& held, const ReadOutcome& read)> keepBackup;
    // The whole radio is read back after the write and compared with what was sent; without it
    // only the frames that hold the identities are.
    bool verifyAfter = false;
    // Identities a write removes from the radio whatever the document says (a radio being sold).
    IdentitySet remove;
    // Values confirmed beforehand: a change they name goes ahead unasked, and one that names
    // another value than the radio will hold stops the write before anything is sent.
    IdentityConfirmations confirmed;
    // Asked, after the backup and before anything is written, with every change the write would
    // make to the radio's identities, when any of them is not confirmed beforehand. False, or none
    // given, stops the write.
    std::function<bool(const IdentityChanges&)> confirmIdentityChange;
    // After a backup: the identity frames are read again just before the first frame is sent, and
    // a radio that holds another serial number than its backup (one put in its place meanwhile)
    // is not written.
    bool recheckRadio = false;
    // The vessel or radio the programming log names beside the write (a fleet's roster gives it).
    std::string logName;
};
// Archive: the radio archive could not take the backup (refused before the read, or the entry
// could not be stored after it); kResultFileWrite, with the archive's reason in archiveError.
// Confirm: a confirmation named another value than the write would leave (kResultInvalidData,
// the reason in refusal), or a change was not confirmed (kResultUserCancel).
// Recheck: the radio could not be read again before the write (its failure), or holds another
// serial number than its backup (kResultInvalidData, the reason in the cause).
// ReadBack: the radio was written; a read-back that finds identities other than were sent fails
// the write with kResultWriteError and names them in the cause.
enum class WriteStage { Check, Backup, Archive, KeepBackup, Confirm, Recheck, Write, ReadBack };
struct WriteOutcome : CloneOutcome {
    WriteStage stage = WriteStage::Check;    // the stage that failed, or the last that ran
    std::string refusal;                     // the identity check's message when refused
    IdentityChanges identities;              // what the write changes of the radio's identities
    std::optional<ReadBackOutcome> readBack;  // after a good write
    // True when the radio was written (whatever the read-back found).
    bool Written() const { return stage >= WriteStage::Write && (stage == WriteStage::ReadBack || Ok()); }
    // The radio holds other identities than were sent.
    bool IdentitiesDiffer() const { return readBack && !readBack->identities.empty(); }
};
// Checks the identities (refused: kResultInvalidData and the message, nothing sent), backs the
// radio up when asked (a failed backup sends nothing), keeps the identities the document leaves
// open, asks about every change, writes, and reads the identities back (everything, when asked).
WriteOutcome RunWrite(const CloneJob& job, const RadioSettings& settings, const WriteOptions& options = {});

// Writes the clone range of an image to the radio byte for byte, bypassing the settings codec
// (so a radio left half-written comes back exactly), after the same backup as a write, with its
// identities and model asked about like a write's, and always reads the radio back.
WriteOutcome RunRestore(const CloneJob& job, const RadioImage& image, const WriteOptions& options = {});

}  // namespace orven
