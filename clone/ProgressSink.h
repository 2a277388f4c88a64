// Where a clone engine reports its progress: the desktop program forwards the calls to its
// progress bar, the command-line tool draws a text bar. The calls mirror a progress bar's own.
#pragma once

namespace orven {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void SetRange(int min, int max) = 0;
    virtual void SetStep(int step) = 0;
    virtual void StepIt() = 0;
    virtual void SetPos(int pos) = 0;
    // Names the step of a command that moves the radio's memory more than once ("Backing up",
    // "Writing", "Reading back"); a bar that shows no label may ignore it.
    virtual void SetPhase(const char* /*name*/) {}
};

}  // namespace orven
