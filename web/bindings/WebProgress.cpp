#include "web/bindings/WebProgress.h"

#include <emscripten.h>

namespace orven::web {

namespace {

EM_JS(void, web_show_progress, (int min, int max, int pos, const char* phase), {
    if (Module.onProgress) Module.onProgress({min : min, max : max, pos : pos, phase : UTF8ToString(phase)});
});

}  // namespace

void WebProgress::SetRange(int min, int max) {
    min_ = min;
    max_ = max;
    pos_ = min;
    Show();
}

void WebProgress::StepIt() {
    pos_ += step_;
    Show();
}

void WebProgress::SetPos(int pos) {
    pos_ = pos;
    Show();
}

void WebProgress::SetPhase(const char* name) {
    phase_ = name ? name : "";
    Show();
}

void WebProgress::Show() {
    web_show_progress(min_, max_, pos_, phase_);
    const auto now = std::chrono::steady_clock::now();
    if (now - lastYield_ < kYieldEvery) return;
    emscripten_sleep(0);
    lastYield_ = std::chrono::steady_clock::now();
}

}  // namespace orven::web
