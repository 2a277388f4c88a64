#include "sim/SimulatedRadioPty.h"

#include "link/PollTime.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

namespace orven {

namespace {

// How long the thread sleeps when it has nothing due; a write from the PC wakes it earlier.
constexpr std::chrono::milliseconds kIdlePoll{50};
// The thread's timer slack: a paced line delivers each byte within this of its time, not within
// the default 50 us, which at 115200 baud would be more than half a byte time.
constexpr unsigned long kTimerSlackNs = 1000;
constexpr std::size_t kReadChunk = 256;
constexpr std::size_t kWatchEventsChunk = 4096;

using Clock = SimulatedSerialLink::Clock;

bool SetNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

}  // namespace

SimulatedRadioPty::SimulatedRadioPty() = default;

SimulatedRadioPty::~SimulatedRadioPty() { Stop(); }

bool SimulatedRadioPty::Start() {
    if (Running()) return true;
    int wake[2];
    if (pipe2(wake, O_NONBLOCK | O_CLOEXEC) != 0) return false;
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    if (!OpenMaster() || !WatchClients()) {
        CloseAll();
        return false;
    }
    stopping_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

bool SimulatedRadioPty::OpenMaster() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) return false;
    char name[PATH_MAX];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0)
        return false;
    path_ = name;
    return SetNonBlocking(master_) && MakeRaw(master_);
}

// Opened before any client, the simulator's own descriptor is never refused; the watch counts
// the clients' opens and closes of the device, which the kernel reports even for a killed one.
bool SimulatedRadioPty::WatchClients() {
    ownSlave_ = open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (ownSlave_ < 0 || !MakeRaw(ownSlave_)) return false;
    clientWatch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    clients_ = 0;
    return clientWatch_ >= 0 && inotify_add_watch(clientWatch_, path_.c_str(), IN_OPEN | IN_CLOSE) >= 0;
}

void SimulatedRadioPty::Stop() {
    if (Running()) {
        stopping_ = true;
        const char wake = 1;
        [[maybe_unused]] const auto n = write(wakeWrite_, &wake, 1);
        thread_.join();
    }
    CloseAll();
}

void SimulatedRadioPty::CloseAll() {
    for (int* fd : {&clientWatch_, &ownSlave_, &master_, &wakeRead_, &wakeWrite_}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
    path_.clear();
}

void SimulatedRadioPty::Run() {
    prctl(PR_SET_TIMERSLACK, kTimerSlackNs);
    while (!stopping_) {
        const short wantOut = outbox_.empty() ? 0 : POLLOUT;
        pollfd fds[3] = {{master_, static_cast<short>(POLLIN | wantOut), 0},
                         {wakeRead_, POLLIN, 0},
                         {clientWatch_, POLLIN, 0}};
        const timespec timeout = PollTimeout();
        if (ppoll(fds, 3, &timeout, nullptr) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (stopping_) break;
        // A client's close is queued before the next client can open and write, so its reset
        // comes first and never swallows the next client's bytes.
        if (fds[2].revents & POLLIN) CountClients();
        if (fds[0].revents & POLLIN) ReadFromPc();
        Flush();
    }
}

// To the nanosecond, or the figures measured against the simulator would carry its lateness.
timespec SimulatedRadioPty::PollTimeout() {
    std::chrono::nanoseconds wait = kIdlePoll;
    {
        std::lock_guard lock(mutex_);
        const auto due = link_.NextDue();
        // With bytes the terminal has not taken, POLLOUT wakes us when it drains.
        if (outbox_.empty() && due) wait = std::clamp<std::chrono::nanoseconds>(*due - Clock::now(), {}, kIdlePoll);
    }
    return PollTimeOf(wait);
}

void SimulatedRadioPty::ReadFromPc() {
    std::uint8_t buffer[kReadChunk];
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) return;
    std::lock_guard lock(mutex_);
    link_.FromPc(buffer, static_cast<std::size_t>(n), Clock::now());
}

void SimulatedRadioPty::CountClients() {
    alignas(inotify_event) char events[kWatchEventsChunk];
    ssize_t n;
    while ((n = read(clientWatch_, events, sizeof events)) > 0) {
        for (char* at = events; at < events + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            if (event->mask & IN_OPEN) ++clients_;
            if ((event->mask & IN_CLOSE) && clients_ > 0 && --clients_ == 0) PcWentAway();
            at += sizeof(inotify_event) + event->len;
        }
    }
}

// Half a frame, replies not yet sent and the exclusive mode of the client that went away are no
// business of the next one. The terminal's own queues are left alone: a client that opens at once
// may already have written into them (and every client empties them when it opens the port).
void SimulatedRadioPty::PcWentAway() {
    {
        std::lock_guard lock(mutex_);
        link_.Clear();
    }
    outbox_.clear();
    ioctl(ownSlave_, TIOCNXCL);
}

void SimulatedRadioPty::Flush() {
    {
        std::lock_guard lock(mutex_);
        std::uint8_t due[kReadChunk];
        std::size_t n;
        while ((n = link_.ToPc(due, sizeof due, Clock::now())) > 0)
            outbox_.insert(outbox_.end(), due, due + n);
    }
    if (outbox_.empty()) return;
    const ssize_t n = write(master_, outbox_.data(), outbox_.size());
    if (n > 0) outbox_.erase(outbox_.begin(), outbox_.begin() + n);
}

}  // namespace orven
