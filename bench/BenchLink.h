// The simulated radio a benchmark talks to, paced like a real link: behind a pseudo-terminal
// with the line paced at a baud rate ("9600", "115200"), or behind a HID device whose reports
// take a millisecond each ("usb"). The engine under test and the ideal client use the same one.
#pragma once

#include "clone/CloneRunner.h"
#include "link/CHidDevice.h"
#include "sim/SimulatedHidBackend.h"
#include "sim/SimulatedRadioPty.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orven::bench {

using Clock = std::chrono::steady_clock;

// The items of a comma-separated option ("9600,115200,usb"), empty ones left out.
std::vector<std::string> Split(const std::string& text);

inline constexpr std::chrono::milliseconds kUsbReportLatency{1};

// The operations the benchmark times, by name: read, write, verify, backed-up-write.
bool KnownOperation(const std::string& op);

// The frames an operation sends when nothing fails, in order: a read (and a verify) two
// identify frames and the clone range's 77 read frames; a write one identify frame and 77
// write frames of `image`, then the identity read-back (an identify frame and the 3 read
// frames that hold the identities); a backed-up write the read's frames, then the write's
// without its identify frame (the read's identify exchanges stand for it).
std::vector<CloneFrame> OperationFrames(const std::string& op, const RadioImage& image);

class BenchLink {
public:
    // "usb" or a baud rate of the table.
    explicit BenchLink(std::string name);
    BenchLink(const BenchLink&) = delete;
    BenchLink& operator=(const BenchLink&) = delete;

    // Starts the simulated radio; false when the link name is unknown or no pseudo-terminal opens.
    bool Start();

    const std::string& Name() const { return name_; }
    bool Usb() const { return name_ == "usb"; }
    std::uint32_t Baud() const { return baud_; }
    // "9600 baud serial", "USB (1 ms reports)".
    std::string Title() const;
    // What the wire itself needs for these frames: on serial each frame's echo and reply at 10
    // bits a byte, on USB one output and one input report a millisecond each.
    double LineLimitSeconds(std::size_t frames) const;

    // Points a job (and its state's baud index) at this link.
    void Attach(CloneJob& job, AppState& state);
    const std::string& DevicePath() const { return devicePath_; }
    CHidDevice& UsbDevice() { return usb_; }
    // Frames that have reached the simulated radio so far.
    std::uint32_t FramesReceived();

private:
    std::string name_;
    std::uint32_t baud_ = 0;
    SimulatedRadioPty pty_;
    std::string devicePath_;
    CHidDevice usb_;
    std::shared_ptr<SimulatedHidBackend> backend_;
};

}  // namespace orven::bench
