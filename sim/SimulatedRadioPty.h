// The simulated adaptor and radio behind a pseudo-terminal, served by a thread of their own.
// The PC side opens DevicePath() like any serial port, so the real serial code is exercised.
// When the last client closes the port, however it ended (even killed), the line is reset and
// the port's exclusive mode is cleared, so the next client can open it.
#pragma once

#include "sim/SimulatedRadio.h"
#include "sim/SimulatedSerialLink.h"

#include <atomic>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orven {

class SimulatedRadioPty {
public:
    SimulatedRadioPty();
    ~SimulatedRadioPty();

    SimulatedRadioPty(const SimulatedRadioPty&) = delete;
    SimulatedRadioPty& operator=(const SimulatedRadioPty&) = delete;

    // Opens the pseudo-terminal and starts serving it; false when the system refuses one.
    bool Start();
    // Ends the thread promptly and closes the pseudo-terminal. Safe to call twice.
    void Stop();
    bool Running() const { return thread_.joinable(); }

    // The path the PC opens (the pseudo-terminal's slave side); empty before Start.
    std::string DevicePath() const { return path_; }

    // Runs f(SimulatedRadio&) under the lock the line thread takes: memory, faults, counters.
    template <class F>
    auto WithRadio(F&& f) {
        std::lock_guard lock(mutex_);
        return f(radio_);
    }

private:
    bool OpenMaster();
    bool WatchClients();
    void CloseAll();
    void Run();
    timespec PollTimeout();
    void ReadFromPc();
    void CountClients();
    void PcWentAway();
    void Flush();

    std::mutex mutex_;
    SimulatedRadio radio_;
    SimulatedSerialLink link_{radio_};

    int master_ = -1;
    int ownSlave_ = -1;  // keeps the slave side alive and lets exclusive mode be cleared
    int clientWatch_ = -1;
    int clients_ = 0;    // opens of the slave side by clients, less their closes
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::string path_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    std::vector<std::uint8_t> outbox_;  // due bytes the pseudo-terminal has not taken yet
};

}  // namespace orven
