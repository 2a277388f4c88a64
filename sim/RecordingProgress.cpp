#include "sim/RecordingProgress.h"

#include <algorithm>
#include <ostream>

namespace orven {

std::string ToString(const ProgressCall& call) {
    switch (call.kind) {
    case ProgressCall::Kind::SetRange:
        return "SetRange(" + std::to_string(call.first) + "," + std::to_string(call.second) + ")";
    case ProgressCall::Kind::SetStep:
        return "SetStep(" + std::to_string(call.first) + ")";
    case ProgressCall::Kind::StepIt:
        return "StepIt()";
    case ProgressCall::Kind::SetPos:
        return "SetPos(" + std::to_string(call.first) + ")";
    }
    return "?";
}

std::ostream& operator<<(std::ostream& out, const ProgressCall& call) {
    return out << ToString(call);
}

void RecordingProgress::SetRange(int min, int max) {
    Record({ProgressCall::Kind::SetRange, min, max});
}

void RecordingProgress::SetStep(int step) { Record({ProgressCall::Kind::SetStep, step, 0}); }

void RecordingProgress::StepIt() { Record({ProgressCall::Kind::StepIt, 0, 0}); }

void RecordingProgress::SetPos(int pos) { Record({ProgressCall::Kind::SetPos, pos, 0}); }

std::vector<ProgressCall> RecordingProgress::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::size_t RecordingProgress::Count(ProgressCall::Kind kind) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count_if(
        calls_.begin(), calls_.end(), [kind](const ProgressCall& c) { return c.kind == kind; }));
}

void RecordingProgress::Clear() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

void RecordingProgress::Record(ProgressCall call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(call);
}

}  // namespace orven
