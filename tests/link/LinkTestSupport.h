// Test helpers for the serial link: a pseudo-terminal to stand in for a port, and a private
// port folder selected through the environment for the length of a test.
#pragma once

#include "link/PortNames.h"
#include "support/TestSupport.h"

#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <stdlib.h>
#include <string>
#include <unistd.h>

namespace orven::test {

// A pseudo-terminal pair; the slave path plays a serial device, the test holds the master.
class Pty {
public:
    Pty() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) slave_ = ptsname(master_);
    }
    ~Pty() { CloseMaster(); }

    bool Ok() const { return master_ >= 0 && !slave_.empty(); }
    const std::string& SlavePath() const { return slave_; }

    void CloseMaster() {
        if (master_ >= 0) close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string slave_;
};

// Points the port folder at a fresh temporary directory; restores the variable afterwards.
class PortFolderScope {
public:
    PortFolderScope() {
        if (const char* old = std::getenv(kPortDirVariable)) saved_ = old;
        setenv(kPortDirVariable, dir_.path().c_str(), 1);
    }
    ~PortFolderScope() {
        if (saved_)
            setenv(kPortDirVariable, saved_->c_str(), 1);
        else
            unsetenv(kPortDirVariable);
    }

    const std::string& Dir() const { return dir_.path(); }

    // Makes "com<n>" in the folder a link to target.
    void Link(int n, const std::string& target) const { std::filesystem::create_symlink(target, Entry(n)); }

    std::string Entry(int n) const { return dir_.File("com" + std::to_string(n)); }

private:
    TempDir dir_;
    std::optional<std::string> saved_;
};

}  // namespace orven::test
