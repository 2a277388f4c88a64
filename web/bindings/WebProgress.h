// The progress of a clone command in the web edition: each change goes to the page's bar
// (Module.onProgress), and while the engine runs without waiting (the demo radio answers at
// once) it hands the browser its turn now and then, so the page repaints and Stop is heard.
#pragma once

#include "clone/ProgressSink.h"

#include <chrono>

namespace orven::web {

// The longest the engine keeps the browser's thread before it yields.
inline constexpr std::chrono::milliseconds kYieldEvery{16};

class WebProgress : public ProgressSink {
public:
    void SetRange(int min, int max) override;
    void SetStep(int step) override { step_ = step; }
    void StepIt() override;
    void SetPos(int pos) override;
    void SetPhase(const char* name) override;

private:
    void Show();

    int min_ = 0, max_ = 100, pos_ = 0, step_ = 1;
    const char* phase_ = "";
    std::chrono::steady_clock::time_point lastYield_ = std::chrono::steady_clock::now();
};

}  // namespace orven::web
