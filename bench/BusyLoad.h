// Load for a measurement under load: child processes that keep a core busy until the object
// goes, each ended by its own process id.
#pragma once

#include <sys/types.h>

#include <vector>

namespace orven::bench {

class BusyLoad {
public:
    // Starts `processes` busy loops (none for 0).
    explicit BusyLoad(int processes);
    ~BusyLoad();
    BusyLoad(const BusyLoad&) = delete;
    BusyLoad& operator=(const BusyLoad&) = delete;

    int Running() const { return static_cast<int>(children_.size()); }

private:
    std::vector<pid_t> children_;
};

}  // namespace orven::bench
