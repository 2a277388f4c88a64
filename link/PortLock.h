// Keeping a serial port to one user. Two marks together: an advisory lock on the device (which
// other programs that lock their ports respect, and which holds against root) and the tty's
// exclusive mode (which makes the kernel refuse further opens by anyone but root).
#pragma once

namespace orven {

// Takes the port for this open descriptor. Returns 0, or the errno that says why not: EBUSY when
// the tty is already in exclusive mode, EWOULDBLOCK when another descriptor holds the lock.
// A refusal leaves nothing behind. Exclusive mode is skipped silently on a non-tty.
int AcquirePortLock(int fd);

// Undoes AcquirePortLock; call it before closing so the tty does not stay in exclusive mode
// (a pseudo-terminal's tty outlives the slave's descriptor).
void ReleasePortLock(int fd);

}  // namespace orven
