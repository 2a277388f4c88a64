// While alive, Ctrl-C, a termination request or a hang-up asks the running clone to stop through
// the stop event instead of killing the program, so the port is closed cleanly; and a reader of
// the output that went away (`| head`) no longer kills it midway: the output is lost, not a radio.
#pragma once

#include <atomic>
#include <csignal>
#include <thread>

namespace orven::cli {

class InterruptStop {
public:
    InterruptStop();
    ~InterruptStop();
    InterruptStop(const InterruptStop&) = delete;
    InterruptStop& operator=(const InterruptStop&) = delete;

    bool Interrupted() const { return interrupted_; }

private:
    void Watch();

    sigset_t signals_{};
    sigset_t previous_{};
    struct sigaction previousPipe_{};
    std::atomic<bool> done_{false};
    std::atomic<bool> interrupted_{false};
    std::thread watcher_;
};

}  // namespace orven::cli
