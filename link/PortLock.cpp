#include "link/PortLock.h"

#include <cerrno>
#include <sys/file.h>
#include <sys/ioctl.h>

namespace orven {

int AcquirePortLock(int fd) {
    int exclusive = 0;
    // As root, an open of an exclusive tty succeeds anyway, so ask the tty as well.
    if (ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) {
        return EBUSY;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return errno;
    }
    ioctl(fd, TIOCEXCL);
    return 0;
}

void ReleasePortLock(int fd) {
    ioctl(fd, TIOCNXCL);
    flock(fd, LOCK_UN);
}

}  // namespace orven
