// The clone events of the web edition. The engine runs on the page's one thread, so a wait
// cannot block: it sleeps in slices, handing the browser its turn (the Stop button among it),
// and looks at the event after each.
#include "clone/CloneEvent.h"

#include <emscripten.h>

#include <algorithm>

namespace orven {

namespace {

// The longest slice a wait sleeps before it looks at the event again.
constexpr std::chrono::milliseconds kWaitSlice{10};

}  // namespace

ManualResetEvent CloneStopEvent(true);
ManualResetEvent CloneBusyEvent(true);

ManualResetEvent::ManualResetEvent(bool signalled) : signalled_(signalled) {}

void ManualResetEvent::Set() { signalled_ = true; }

void ManualResetEvent::Reset() { signalled_ = false; }

bool ManualResetEvent::IsSet() const { return signalled_; }

bool ManualResetEvent::Wait(std::chrono::milliseconds timeout) const {
    return WaitUntil(std::chrono::steady_clock::now() + timeout);
}

bool ManualResetEvent::WaitUntil(std::chrono::steady_clock::time_point deadline) const {
    for (;;) {
        if (signalled_) return true;
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) return false;
        const std::chrono::duration<double, std::milli> slice = std::min<std::chrono::steady_clock::duration>(left, kWaitSlice);
        emscripten_sleep(static_cast<unsigned>(std::max(1.0, slice.count())));
    }
}

}  // namespace orven
