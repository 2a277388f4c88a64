// A progress sink that remembers every call in order, for tests and for callers that want to
// inspect what an engine reported. Calls may come from any thread.
#pragma once

#include "clone/ProgressSink.h"

#include <cstddef>
#include <iosfwd>
#include <mutex>
#include <string>
#include <vector>

namespace orven {

struct ProgressCall {
    enum class Kind { SetRange, SetStep, StepIt, SetPos };
    Kind kind;
    int first = 0;   // min, step or pos
    int second = 0;  // max for SetRange

    bool operator==(const ProgressCall&) const = default;
};

// "SetRange(0,76)", "StepIt()", ...: readable test failures.
std::string ToString(const ProgressCall& call);
std::ostream& operator<<(std::ostream& out, const ProgressCall& call);

class RecordingProgress : public ProgressSink {
public:
    void SetRange(int min, int max) override;
    void SetStep(int step) override;
    void StepIt() override;
    void SetPos(int pos) override;

    std::vector<ProgressCall> Calls() const;
    std::size_t Count(ProgressCall::Kind kind) const;
    void Clear();

private:
    void Record(ProgressCall call);

    mutable std::mutex mutex_;
    std::vector<ProgressCall> calls_;
};

}  // namespace orven
