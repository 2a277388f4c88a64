// A progress bar on stderr for the engines, drawn only when stderr is a terminal.
#pragma once

#include "clone/ProgressSink.h"

#include <iosfwd>
#include <mutex>
#include <string>

namespace orven::cli {

class TextProgress : public ProgressSink {
public:
    // Draws on `err` when `enabled`; otherwise it only swallows the calls.
    TextProgress(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}

    void SetRange(int min, int max) override;
    void SetStep(int step) override;
    void StepIt() override;
    void SetPos(int pos) override;
    void SetPhase(const char* name) override;

    // Ends the bar's line if one was drawn.
    void Finish();

private:
    void Draw();

    std::mutex mutex_;
    std::ostream& err_;
    bool enabled_;
    bool drawn_ = false;
    int min_ = 0, max_ = 100, step_ = 10, pos_ = 0;
    std::string phase_;
};

}  // namespace orven::cli
