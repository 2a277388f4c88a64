// One clone command end to end, for both front ends: choose the engine from comPort, hand it
// its block, open the trace, run one operation, destroy the engine, report the result.
#pragma once

#include "GlobalDef.h"
#include "clone/CloneTiming.h"
#include "clone/ProgressSink.h"
#include "files/ReportTime.h"
#include "model/AppState.h"
#include "model/RadioImage.h"
#include "model/RadioSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orven {

class CHidDevice;

enum class CloneOperation : std::uint32_t { None = 0, Write = 1, Read = 2, Verify = 3, HandShake = 4 };

struct CloneJob {
    AppState* state = nullptr;        // comPort, baudIndex, traceLog, dumpImages, modelType
    ProgressSink* progress = nullptr;
    std::string workDir;              // trace, dump files and Verify.txt go here
    CloneTiming timing = kProductTiming;
    std::string serialDevice;         // a device path to use instead of comPort's port
    CHidDevice* hidDevice = nullptr;  // the USB device; HidDeviceObject() when null
};

// The engine operation alone, on the given block (no checks, no copies).
CloneResult RunEngine(const CloneJob& job, CloneOperation operation, RadioSettings& block);

CloneResult RunHandShake(const CloneJob& job, const RadioSettings& settings);

// The identity check's message when the settings must not be written; nothing when they may.
std::optional<std::string> WriteRefusal(const RadioSettings& settings);

struct WriteOutcome {
    CloneResult result = kResultOk;
    std::string refusal;  // the identity check's message when the settings were refused
};
// Checks the identities first (refused: kResultInvalidData and the message, nothing sent),
// then writes from a copy of the settings.
WriteOutcome RunWrite(const CloneJob& job, const RadioSettings& settings);

// Reads into a cleared block of its own; `out` changes only when the read succeeded.
CloneResult RunRead(const CloneJob& job, RadioSettings& out);

struct VerifyOutcome {
    CloneResult result = kResultOk;  // the read's result
    std::int32_t flags = 0;          // the comparison's difference flags (after a good read)
    std::string reportPath;          // Verify.txt, written after every good read
};
// Reads the radio into a block of its own and compares it with `pc`.
VerifyOutcome RunVerify(const CloneJob& job, const RadioSettings& pc, const ReportTime& time);

struct ReadBackOutcome {
    CloneResult result = kResultOk;       // the read's result
    std::vector<std::uint16_t> differing;  // addresses where the radio differs (after a good read)
};
// After a write: reads the radio back and compares what it holds, byte for byte over the clone
// range, with WriteImage, the image the write sent. Bytes, not settings, so that nothing the
// codec leaves out or rounds can hide a difference or invent one.
ReadBackOutcome RunReadBack(const CloneJob& job);
// What a user is told of a read-back that failed or found differences: the failure, or how
// many bytes differ and the first of their addresses.
std::string ReadBackReport(const ReadBackOutcome& outcome);

}  // namespace orven
