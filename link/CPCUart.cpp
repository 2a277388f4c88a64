#include "link/CPCUart.h"

#include "link/PortDiagnosis.h"
#include "link/PortLock.h"
#include "link/PortNames.h"
#include "link/PollTime.h"
#include "link/SerialLine.h"
#include "link/SerialSpeed.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace orven {
namespace {

CloneResult OpenFailure(int error) {
    switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOTDIR:
        return kResultPortNotFound;
    case EBUSY:
    case EACCES:
    case EPERM:
    case EWOULDBLOCK:
        return kResultPortDenied;
    default:
        return kResultGeneric;
    }
}

}  // namespace

CPCUart::~CPCUart() {
    Close();
}

bool CPCUart::OpenDefault(int portIndex, std::uint32_t baud) {
    return Open(portIndex, baud, kDefaultByteSize, kStopBitsOne, kParityNone);
}

bool CPCUart::Open(int portIndex, std::uint32_t baud, std::uint8_t size, std::uint8_t stop,
                   std::uint8_t par) {
    baudRate = baud;
    byteSize = size;
    stopBits = stop;
    parity = par;
    if (portIndex < 0 || portIndex > kMaxPortIndex) {
        lastError_ = kResultPortNotFound;
        openCause_ = "COM" + std::to_string(portIndex + 1) + ": no such port";
        return false;
    }
    std::string device = ComPortDevice(portIndex + 1);
    if (device.empty()) {
        lastError_ = kResultPortNotFound;
        openCause_ = "COM" + std::to_string(portIndex + 1) + ": no device stands for it";
        return false;
    }
    return OpenDevice(device);
}

bool CPCUart::OpenPath(const std::string& device, std::uint32_t baud) {
    baudRate = baud;
    byteSize = kDefaultByteSize;
    stopBits = kStopBitsOne;
    parity = kParityNone;
    return OpenDevice(device);
}

bool CPCUart::OpenDevice(const std::string& device) {
    Close();
    fd_ = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        lastError_ = OpenFailure(error);
        openCause_ = PortOpenCause(device, error);
        return false;
    }
    if (int refused = AcquirePortLock(fd_); refused != 0) {
        close(fd_);
        fd_ = -1;
        lastError_ = OpenFailure(refused);
        openCause_ = PortOpenCause(device, refused);
        return false;
    }
    tcflush(fd_, TCIOFLUSH);
    if (!SetState()) {
        CloseDescriptor();
        openCause_ = device + ": the line settings could not be applied (is it a serial port?)";
        return false;
    }
    lastError_ = kResultOk;
    openCause_.clear();
    open_ = true;
    SetModemLines();
    return true;
}

bool CPCUart::SetState() {
    termios tio{};
    if (fd_ < 0 || tcgetattr(fd_, &tio) != 0) {
        return false;
    }
    if (!ComposeRawLine(tio, byteSize, parity, stopBits, lineFlags) ||
        tcsetattr(fd_, TCSANOW, &tio) != 0) {
        return false;
    }
    return SetSerialSpeed(fd_, baudRate);
}

void CPCUart::SetModemLines() {
    // A pseudo-terminal has no modem lines and refuses both calls; that is not a failure.
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    ioctl(fd_, TIOCMBIC, &dtr);
    ioctl(fd_, TIOCMBIS, &rts);
}

int CPCUart::Close() {
    open_ = false;
    if (fd_ >= 0) {
        int dtr = TIOCM_DTR;
        ioctl(fd_, TIOCMBIC, &dtr);
        tcflush(fd_, TCIOFLUSH);
        CloseDescriptor();
    }
    return 1;
}

void CPCUart::CloseDescriptor() {
    ReleasePortLock(fd_);
    close(fd_);
    fd_ = -1;
}

CloneResult CPCUart::Write(const std::uint8_t* data, std::size_t length) {
    if (fd_ < 0) {
        return kResultPortWrite;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    while (length > 0) {
        ssize_t written = write(fd_, data, length);
        if (written > 0) {
            data += written;
            length -= static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
            return kResultPortWrite;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return kResultPortWrite;
        }
        pollfd pfd{fd_, POLLOUT, 0};
        poll(&pfd, 1, static_cast<int>(left.count()));
    }
    return kResultOk;
}

CloneResult CPCUart::Read(std::uint8_t* data, std::size_t length, std::size_t* count) {
    *count = 0;
    if (fd_ < 0) {
        return kResultPortRead;
    }
    ssize_t got = read(fd_, data, length);
    if (got >= 0) {
        *count = static_cast<std::size_t>(got);
        return kResultOk;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
        return kResultOk;
    }
    return kResultPortRead;
}

std::size_t CPCUart::BytesWaiting() {
    int waiting = 0;
    if (fd_ < 0 || ioctl(fd_, FIONREAD, &waiting) != 0 || waiting < 0) {
        return 0;
    }
    return static_cast<std::size_t>(waiting);
}

void CPCUart::DropInput() {
    if (fd_ >= 0) tcflush(fd_, TCIFLUSH);
}

void CPCUart::Drain() {
    if (fd_ >= 0) tcdrain(fd_);
}

bool CPCUart::WaitReadable(std::chrono::nanoseconds wait) const {
    const timespec timeout = PollTimeOf(wait);
    pollfd ready{fd_, POLLIN, 0};
    return ::ppoll(&ready, 1, &timeout, nullptr) > 0;
}

}  // namespace orven
