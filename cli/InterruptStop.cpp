#include "cli/InterruptStop.h"

#include "clone/CloneEvent.h"

#include <pthread.h>

#include <ctime>

namespace orven::cli {

InterruptStop::InterruptStop() {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    sigaddset(&signals_, SIGHUP);  // the terminal went away: stop as cleanly as for Ctrl-C
    pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
    struct sigaction ignore{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previousPipe_);
    watcher_ = std::thread([this] { Watch(); });
}

InterruptStop::~InterruptStop() {
    done_ = true;
    watcher_.join();
    sigaction(SIGPIPE, &previousPipe_, nullptr);
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

void InterruptStop::Watch() {
    const timespec tick{0, 50'000'000};
    while (!done_) {
        if (sigtimedwait(&signals_, nullptr, &tick) > 0) {
            interrupted_ = true;
            CloneStopEvent.Set();
        }
    }
}

}  // namespace orven::cli
