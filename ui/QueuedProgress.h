// A clone engine's progress, carried from the worker thread to the window's progress bar: each
// call is queued to the GUI thread, and is dropped once the bar is gone. The bar shows no text
// until a command names a step.
#pragma once

#include "clone/ProgressSink.h"

#include <QPointer>
#include <QProgressBar>

namespace orven::ui {

class QueuedProgress : public ProgressSink {
public:
    // Made on the GUI thread; its calls may come from any thread.
    explicit QueuedProgress(QProgressBar* bar) : bar_(bar) {}

    void SetRange(int min, int max) override;
    void SetStep(int step) override;
    void StepIt() override;
    void SetPos(int pos) override;
    // The bar's text names the step and its share done: "Backing up 40%".
    void SetPhase(const char* name) override;

private:
    QPointer<QProgressBar> bar_;
    int step_ = 1;  // only the worker's thread uses it
};

}  // namespace orven::ui
