// One fleet run at a time on a radio archive. A run checks each radio's roster row against the
// register, but the log holds its claim only once that radio is backed up and its write begins:
// two runs at once could each find an MMSI free and both program it into a radio. So a run holds
// the archive folder's lock file while it runs; the system lets go of it when the process ends,
// however it ends.
#pragma once

#include <string>

namespace orven {

class RadioArchive;

// The file in the archive folder a fleet run holds; it keeps the holder's process number.
inline constexpr const char* kFleetLockName = "fleet.lock";

class FleetArchiveLock {
public:
    explicit FleetArchiveLock(const RadioArchive& archive);
    ~FleetArchiveLock();
    FleetArchiveLock(const FleetArchiveLock&) = delete;
    FleetArchiveLock& operator=(const FleetArchiveLock&) = delete;

    bool Held() const { return fd_ >= 0; }
    // Why it is not held: another run holds it (naming its process), or the file cannot be made.
    const std::string& Why() const { return why_; }

private:
    int fd_ = -1;
    std::string why_;
};

}  // namespace orven
