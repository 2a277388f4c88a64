#include "cli/TextProgress.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace orven::cli {

namespace {
constexpr int kBarWidth = 40;
}  // namespace

void TextProgress::SetRange(int min, int max) {
    std::lock_guard lock(mutex_);
    min_ = min;
    max_ = max;
}

void TextProgress::SetStep(int step) {
    std::lock_guard lock(mutex_);
    step_ = step;
}

void TextProgress::StepIt() {
    std::lock_guard lock(mutex_);
    pos_ = std::min(pos_ + step_, max_);
    Draw();
}

void TextProgress::SetPos(int pos) {
    std::lock_guard lock(mutex_);
    pos_ = pos;
}

void TextProgress::SetPhase(const char* name) {
    std::lock_guard lock(mutex_);
    if (drawn_) err_ << "\n";
    drawn_ = false;
    phase_ = name;
    pos_ = min_;
}

void TextProgress::Finish() {
    std::lock_guard lock(mutex_);
    if (drawn_) err_ << "\n" << std::flush;
    drawn_ = false;
}

void TextProgress::Draw() {
    if (!enabled_ || max_ <= min_) return;
    const int filled = (pos_ - min_) * kBarWidth / (max_ - min_);
    err_ << "\r" << (phase_.empty() ? "" : phase_ + " ") << "[" << std::string(filled, '#') << std::string(kBarWidth - filled, '.') << "] "
         << (pos_ - min_) * 100 / (max_ - min_) << "%" << std::flush;
    drawn_ = true;
}

}  // namespace orven::cli
