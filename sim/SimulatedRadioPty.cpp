#include "sim/SimulatedRadioPty.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace orven {

namespace {

// How long the thread sleeps when it has nothing due; a write from the PC wakes it earlier.
constexpr int kIdlePollMs = 50;
// How long it naps while no one holds the slave side open (the master then polls as hung up).
constexpr int kHangUpNapMs = 10;
constexpr std::size_t kReadChunk = 256;

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
    if (!OpenMaster()) {
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
    for (int* fd : {&master_, &wakeRead_, &wakeWrite_}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
    path_.clear();
}

void SimulatedRadioPty::Run() {
    while (!stopping_) {
        const short wantOut = outbox_.empty() ? 0 : POLLOUT;
        pollfd fds[2] = {{master_, static_cast<short>(POLLIN | wantOut), 0},
                         {wakeRead_, POLLIN, 0}};
        if (poll(fds, 2, PollTimeoutMs()) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (stopping_) break;
        const bool hungUp = (fds[0].revents & (POLLHUP | POLLERR)) != 0;
        if ((fds[0].revents & POLLIN) && !ReadFromPc()) {
            PcWentAway();
            continue;
        }
        if (hungUp && !(fds[0].revents & POLLIN)) {
            PcWentAway();
            continue;
        }
        Flush();
    }
}

int SimulatedRadioPty::PollTimeoutMs() {
    std::lock_guard lock(mutex_);
    if (!outbox_.empty()) return kIdlePollMs;  // POLLOUT wakes us when the terminal drains
    const auto due = link_.NextDue();
    if (!due) return kIdlePollMs;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(wait, 0, kIdlePollMs));
}

bool SimulatedRadioPty::ReadFromPc() {
    std::uint8_t buffer[kReadChunk];
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n < 0) return errno == EAGAIN || errno == EINTR;
    if (n == 0) return false;
    std::lock_guard lock(mutex_);
    link_.FromPc(buffer, static_cast<std::size_t>(n), Clock::now());
    return true;
}

void SimulatedRadioPty::PcWentAway() {
    {
        std::lock_guard lock(mutex_);
        link_.Clear();
    }
    outbox_.clear();
    Nap();
}

void SimulatedRadioPty::Nap() {
    pollfd wake{wakeRead_, POLLIN, 0};
    poll(&wake, 1, kHangUpNapMs);
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
