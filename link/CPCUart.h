// One serial port for the serial clone engine: opened by port number or device path, held
// exclusively, set to a raw line (8N1 unless the fields say otherwise) at a chosen speed, with
// DTR low and RTS high as the programming adaptor expects. Writes block up to one second; reads
// take only what has already arrived. It knows nothing of frames.
//
// Used by one thread at a time (the clone worker that owns it); no lock.
#pragma once

#include "GlobalDef.h"
#include "link/CObject.h"
#include "link/PortNames.h"
#include "link/SerialLineCodes.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace orven {

inline constexpr std::uint8_t kDefaultByteSize = 8;
inline constexpr std::uint8_t kDefaultLineFlags = 0x04;  // both handshakes off
inline constexpr std::uint32_t kDefaultBaud = 9600;

// Highest zero-based port index Open accepts.
inline constexpr int kMaxPortIndex = kMaxComPort - 1;

// How long Write may wait in total for the line to take the bytes.
inline constexpr int kWriteTimeoutMs = 1000;

class CPCUart : public CObject {
    ORVEN_RUNTIME_CLASS(CPCUart, CObject)

public:
    CPCUart() = default;
    ~CPCUart() override;
    CPCUart(const CPCUart&) = delete;
    CPCUart& operator=(const CPCUart&) = delete;

    // Open with 8 data bits, no parity, one stop bit.
    bool OpenDefault(int portIndex, std::uint32_t baud);

    // Opens COM(portIndex + 1). The line values are stored in the fields first. On failure the
    // last error says why: kResultPortNotFound (no such port, or index above kMaxPortIndex),
    // kResultPortDenied (held by another program, or no permission), kResultGeneric; a device
    // that opens but will not take the line settings fails with the last error unchanged.
    bool Open(int portIndex, std::uint32_t baud, std::uint8_t byteSize, std::uint8_t stopBits,
              std::uint8_t parity);

    // The same for a device named by path, with 8 data bits, no parity, one stop bit.
    bool OpenPath(const std::string& device, std::uint32_t baud);

    // Applies the line fields and the baud rate to the open port.
    bool SetState();

    // DTR low, both queues dropped, port released. Always 1, also when already closed.
    int Close();

    // All of the bytes, within kWriteTimeoutMs: kResultOk or kResultPortWrite.
    CloneResult Write(const std::uint8_t* data, std::size_t length);

    // What has arrived, up to length bytes, without waiting: kResultOk (count may be 0) or
    // kResultPortRead.
    CloneResult Read(std::uint8_t* data, std::size_t length, std::size_t* count);

    // Bytes received and not yet read; 0 when that cannot be asked.
    std::size_t BytesWaiting();

    // Drops what has arrived and not been read.
    void DropInput();
    // Waits until every byte written has left the port.
    void Drain();

    // Whether there is something to read (or the line hung up) within `wait`, to the
    // nanosecond; a wait of zero or less only looks.
    bool WaitReadable(std::chrono::nanoseconds wait) const;

    CloneResult LastError() const { return lastError_; }
    // Why the last open failed, for the user (see PortOpenCause); empty after a good open.
    const std::string& OpenFailureCause() const { return openCause_; }
    bool IsOpen() const { return open_; }
    // The descriptor, for waiting on readiness; -1 when closed.
    int Handle() const { return fd_; }

    std::uint8_t byteSize = kDefaultByteSize;
    std::uint8_t lineFlags = kDefaultLineFlags;
    std::uint8_t parity = kParityNone;
    std::uint8_t stopBits = kStopBitsOne;
    std::uint32_t baudRate = kDefaultBaud;

private:
    bool OpenDevice(const std::string& device);
    void SetModemLines();
    void CloseDescriptor();

    CloneResult lastError_ = kResultOk;
    std::string openCause_;
    bool open_ = false;
    int fd_ = -1;
};

}  // namespace orven
