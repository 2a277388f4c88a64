// Why a serial port could not be opened, in words a user can act on: no such device, no
// permission (and which group grants it), or another program holding it (which one).
#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

namespace orven {

// A process that has a device open.
struct PortHolder {
    pid_t pid = 0;
    std::string program;  // its command name
};

// The first process other than this one with the device open, found through /proc; nothing when
// none can be seen (processes of other users are hidden from a normal user).
std::optional<PortHolder> FindPortHolder(const std::string& device);

// The cause of a failed open of `device`, from the error the open or the port lock gave:
// "/dev/ttyUSB0: no such device", "/dev/ttyUSB0: permission denied - is the user in the dialout
// group?", "/dev/ttyUSB0: in use by PID 4242 orven-cli".
std::string PortOpenCause(const std::string& device, int error);

}  // namespace orven
