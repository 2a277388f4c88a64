#include "clone/CloneEvent.h"

namespace orven {

ManualResetEvent CloneStopEvent(true);
ManualResetEvent CloneBusyEvent(true);

ManualResetEvent::ManualResetEvent(bool signalled) : signalled_(signalled) {}

void ManualResetEvent::Set() {
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
    }
    changed_.notify_all();
}

void ManualResetEvent::Reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

bool ManualResetEvent::IsSet() const {
    std::lock_guard lock(mutex_);
    return signalled_;
}

bool ManualResetEvent::Wait(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return signalled_; });
}

bool ManualResetEvent::WaitUntil(std::chrono::steady_clock::time_point deadline) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_until(lock, deadline, [this] { return signalled_; });
}

}  // namespace orven
