// What a clone command's worker thread does: one exchange through the command runner, with
// copies of everything it needs, and no widget. The window builds the work on the GUI thread and
// shows the outcome there.
#pragma once

#include "clone/CloneRunner.h"
#include "clone/ConnectionCheck.h"
#include "files/RadioArchive.h"
#include "model/AppState.h"
#include "model/RadioImage.h"
#include "model/RadioSettings.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace orven::ui {

class QueuedProgress;

// Everything one exchange needs, owned by the worker so that nothing of the window is shared.
struct CloneWork {
    CloneWork();
    ~CloneWork();

    CloneOperation operation = CloneOperation::None;
    WriteOptions write;                       // a write's and a restore's policies
    AppState state{};
    std::unique_ptr<RadioSettings> settings;  // a copy of the window's document
    std::unique_ptr<RadioImage> restoreImage;  // the exact bytes a restore writes back
    std::unique_ptr<RadioArchive> archive;
    std::unique_ptr<QueuedProgress> progress;
    CloneJob job;
    bool demoRadio = false;  // the job's USB radio is the built-in simulated one: no system to probe
};

// What a worker hands back to the window.
struct WorkerOutcome {
    CloneOperation operation = CloneOperation::None;
    CloneOutcome run;                          // result, the link's reason for a failure, the archive's word
    WriteStage stage = WriteStage::Check;      // where a write or restore stopped, or the last stage it ran
    std::unique_ptr<RadioSettings> readBlock;  // a good read's settings
    std::optional<std::string> unloadable;     // why a read's settings would not open again
    std::int32_t verifyFlags = 0;
    std::string reportPath;
    std::optional<ReadBackOutcome> readBack;  // after a good write, when asked for
};

// The worker's body: one exchange, no widget.
std::shared_ptr<WorkerOutcome> RunCloneWork(CloneWork& work);

// A connection check's worker body: the checklist for the job's port, no widget. The demo radio's
// list starts with a line saying that only its answers were checked.
std::shared_ptr<ConnectionReport> RunCheckWork(CloneWork& work);

}  // namespace orven::ui
