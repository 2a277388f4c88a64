#include "link/SerialLine.h"

namespace orven {
namespace {

bool ApplyByteSize(termios& tio, std::uint8_t byteSize) {
    tcflag_t size = 0;
    switch (byteSize) {
    case 5: size = CS5; break;
    case 6: size = CS6; break;
    case 7: size = CS7; break;
    case 8: size = CS8; break;
    default: return false;
    }
    tio.c_cflag = (tio.c_cflag & ~CSIZE) | size;
    return true;
}

bool ApplyParity(termios& tio, std::uint8_t parity) {
    tio.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    // A parity-checked line should report bad characters, not pass them as data.
    tio.c_iflag = parity == kParityNone ? (tio.c_iflag & ~INPCK) : (tio.c_iflag | INPCK);
    switch (parity) {
    case kParityNone: return true;
    case kParityOdd: tio.c_cflag |= PARENB | PARODD; return true;
    case kParityEven: tio.c_cflag |= PARENB; return true;
    case kParityMark: tio.c_cflag |= PARENB | CMSPAR | PARODD; return true;
    case kParitySpace: tio.c_cflag |= PARENB | CMSPAR; return true;
    default: return false;
    }
}

bool ApplyStopBits(termios& tio, std::uint8_t stopBits) {
    switch (stopBits) {
    case kStopBitsOne: tio.c_cflag &= ~CSTOPB; return true;
    case kStopBitsTwo: tio.c_cflag |= CSTOPB; return true;
    default: return false;
    }
}

}  // namespace

bool ComposeRawLine(termios& tio, std::uint8_t byteSize, std::uint8_t parity,
                    std::uint8_t stopBits, std::uint8_t lineFlags) {
    cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cflag |= CLOCAL | CREAD;
    if (!ApplyByteSize(tio, byteSize) || !ApplyParity(tio, parity) ||
        !ApplyStopBits(tio, stopBits)) {
        return false;
    }
    // The DSR/DTR handshake bit has no termios counterpart and is ignored.
    if (lineFlags & kLineFlagCtsRts) {
        tio.c_cflag |= CRTSCTS;
    } else {
        tio.c_cflag &= ~CRTSCTS;
    }
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return true;
}

}  // namespace orven
