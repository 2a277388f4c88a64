// A simulated radio with its programming adaptor: 8 KiB of memory that answers identify, read
// and write frames, plus the fault switches that make it misbehave. Not thread-safe: the hosts
// that run it on a thread (pseudo-terminal, HID backend) guard it with their own lock.
#pragma once

#include "clone/CloneFrame.h"
#include "model/RadioImage.h"
#include "sim/SimFaults.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace orven {

// What the radio puts in the data of its identify reply.
inline constexpr char kSimIdentity[] = "ORVEN SIMULATED";

struct SimCounters {
    std::uint32_t frames = 0;      // frames that reached the adaptor, whatever became of them
    std::uint32_t identifies = 0;  // identify frames the radio answered
    std::uint32_t reads = 0;       // read frames the radio answered
    std::uint32_t writes = 0;      // write frames the radio stored
};

// One frame's fate: whether it is echoed, the reply that goes back (faults applied) and how
// the reply is delivered.
struct SimExchange {
    std::uint32_t frameNumber = 0;
    bool echo = true;
    std::optional<CloneFrame> reply;
    std::size_t noiseBytes = 0;
    bool strayDollar = false;
    std::size_t pieces = 1;
    std::chrono::milliseconds pieceDelay{0};
    std::chrono::milliseconds lastBytePause{0};
    std::chrono::milliseconds replyDelay{0};
    LineFault lineFault;
};

class SimulatedRadio {
public:
    SimulatedRadio();

    RadioImage& Memory() { return memory_; }
    const RadioImage& Memory() const { return memory_; }

    SimFaults& Faults() { return faults_; }
    const SimFaults& Faults() const { return faults_; }
    // Gives every frame its own faults; an empty plan returns to Faults() and its scope.
    void SetFramePlan(FramePlan plan) { plan_ = std::move(plan); }

    const SimCounters& Counters() const { return counters_; }
    // Every frame that reached the adaptor, in order.
    const std::vector<CloneFrame>& Log() const { return log_; }
    // Forgets counters and log (not memory or faults).
    void ClearHistory();

    // The radio taken off the adaptor's cable: the adaptor still echoes every frame, nothing
    // answers. The memory stays with the radio.
    void Unplug() { present_ = false; }
    // A radio put on the cable: this memory (another radio's, or the same one again), a fresh
    // history; the faults stay with the adaptor and the line.
    void PlugIn(const RadioImage& memory);
    // The same when `frames` more frames have reached the adaptor: another radio is on the cable
    // from the next frame on, as a dealer swapping radios in the middle of a transfer would have it.
    void PlugInAfter(std::uint32_t frames, const RadioImage& memory);
    bool Present() const { return present_; }

    // The radio proper, without faults: its answer to one 32-byte frame, or nothing for a
    // frame with a bad prefix or checksum, an unknown letter, a length outside 1..20 or an
    // address range beyond the memory. A write is stored before it is acknowledged.
    std::optional<CloneFrame> Answer(const std::uint8_t* frame32);

    // One frame through adaptor and radio with the faults applied; numbers and logs it. A frame
    // the radio did not hear is echoed (as the faults allow) and never answered.
    SimExchange Exchange(const std::uint8_t* frame32, bool heard = true);

    // Whether the adaptor echoes the bytes of the frame now arriving (the next to be numbered).
    bool EchoesNextFrame() const;
    // How the adaptor echoes the byte at offset `at` of the frame now arriving.
    std::uint8_t EchoOfNextFrame(std::uint8_t byte, std::size_t at) const;

private:
    std::optional<CloneFrame> AnswerIdentify();
    std::optional<CloneFrame> AnswerRead(const CloneFrame& frame);
    std::optional<CloneFrame> AnswerWrite(const CloneFrame& frame);
    // The per-frame faults that frame n meets, or nothing when it meets none.
    std::optional<SimFaults> FaultsOf(std::uint32_t frameNumber) const;
    bool IsSilent(std::uint32_t frameNumber) const;
    static void Spoil(const SimFaults& faults, CloneFrame& reply);

    RadioImage memory_{};
    SimFaults faults_;
    FramePlan plan_;
    SimCounters counters_;
    std::vector<CloneFrame> log_;
    bool present_ = true;
    std::optional<std::pair<std::uint32_t, RadioImage>> swap_;  // at which frame number, and whose memory
};

}  // namespace orven
