// A manual-reset event: once set it stays set, waking every waiter, until someone resets it.
// The clone commands coordinate through two of them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace orven {

class ManualResetEvent {
public:
    explicit ManualResetEvent(bool signalled = false);

    ManualResetEvent(const ManualResetEvent&) = delete;
    ManualResetEvent& operator=(const ManualResetEvent&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;

    // Waits until the event is set or the timeout has passed; true when it is set.
    bool Wait(std::chrono::milliseconds timeout) const;
    // The same with a deadline, so that a run of waits does not add up each one's lateness.
    bool WaitUntil(std::chrono::steady_clock::time_point deadline) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool signalled_;
};

// Set by the front end to ask a running clone to stop; the engines test it while they wait.
extern ManualResetEvent CloneStopEvent;
// Set while a clone command runs, so no second one starts.
// Both start out set, as the events always have; start-up resets them before the first command.
extern ManualResetEvent CloneBusyEvent;

}  // namespace orven
