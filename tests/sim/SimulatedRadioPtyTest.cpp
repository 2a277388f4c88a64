#include "sim/SimulatedRadioPty.h"

#include "link/CPCUart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace orven {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Stream = std::vector<std::uint8_t>;

// The PC end, opened with nothing but POSIX calls.
class PcEnd {
public:
    explicit PcEnd(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY)) {
        termios tio{};
        if (fd_ >= 0 && tcgetattr(fd_, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(fd_, TCSANOW, &tio);
        }
    }
    ~PcEnd() {
        if (fd_ >= 0) close(fd_);
    }
    bool IsOpen() const { return fd_ >= 0; }

    bool Send(const CloneFrame& f) {
        return write(fd_, FrameBytes(f), kFrameSize) == static_cast<ssize_t>(kFrameSize);
    }

    // Reads until `want` bytes came or the deadline passed, then 50 ms more to catch anything
    // that should not be there.
    Stream Receive(std::size_t want, std::chrono::milliseconds deadline) {
        Stream got;
        const auto end = Clock::now() + deadline;
        while (got.size() < want && ReadSome(got, end)) {
        }
        while (ReadSome(got, Clock::now() + 50ms)) {
        }
        return got;
    }

private:
    bool ReadSome(Stream& got, Clock::time_point until) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        pollfd p{fd_, POLLIN, 0};
        if (left <= 0ms || poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
        std::uint8_t buffer[256];
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n <= 0) return false;
        got.insert(got.end(), buffer, buffer + n);
        return true;
    }

    int fd_;
};

Stream Wire(const CloneFrame& f) { return Stream(FrameBytes(f), FrameBytes(f) + kFrameSize); }

class SimulatedRadioPtyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Start());
        ASSERT_FALSE(sim.DevicePath().empty());
    }

    SimulatedRadioPty sim;
    const CloneFrame identify = MakeIdentifyFrame();
};

TEST_F(SimulatedRadioPtyTest, IdentifyGetsEchoAndReplyThroughTheTerminal) {
    PcEnd pc(sim.DevicePath());
    ASSERT_TRUE(pc.IsOpen());
    ASSERT_TRUE(pc.Send(identify));
    const Stream got = pc.Receive(64, 2s);
    ASSERT_EQ(got.size(), 64u);
    EXPECT_EQ(Stream(got.begin(), got.begin() + 32), Wire(identify));
    EXPECT_EQ(got[32], '$');
    EXPECT_EQ(got[39], 'A');
    EXPECT_TRUE(CheckReply(got.data() + 32, ReplyCheck::Checksum));
    EXPECT_EQ(sim.WithRadio([](SimulatedRadio& r) { return r.Counters().identifies; }), 1u);
}

TEST_F(SimulatedRadioPtyTest, FaultsAndMemoryAreReachedWhileItRuns) {
    sim.WithRadio([](SimulatedRadio& r) {
        r.Memory()[0x0100] = 0x99;
        r.Faults().noRadio = true;
    });
    PcEnd pc(sim.DevicePath());
    ASSERT_TRUE(pc.Send(identify));
    EXPECT_EQ(pc.Receive(64, 300ms), Wire(identify)) << "only the echo";

    sim.WithRadio([](SimulatedRadio& r) { r.Faults().noRadio = false; });
    ASSERT_TRUE(pc.Send(MakeReadFrame(0x0100, 1)));
    const Stream got = pc.Receive(64, 2s);
    ASSERT_EQ(got.size(), 64u);
    EXPECT_EQ(got[32 + kFrameDataOffset], 0x99);
}

TEST_F(SimulatedRadioPtyTest, PacedLineTakesItsTime) {
    sim.WithRadio([](SimulatedRadio& r) { r.Faults().baud = 4800; });
    PcEnd pc(sim.DevicePath());
    const auto start = Clock::now();
    ASSERT_TRUE(pc.Send(identify));
    // 64 bytes back at 2.083 ms each, one more byte time for the first echo: 135 ms at least.
    EXPECT_EQ(pc.Receive(64, 2s).size(), 64u);
    EXPECT_GE(Clock::now() - start, 135ms);
}

TEST_F(SimulatedRadioPtyTest, TheSerialPortCodeTalksToIt) {
    for (int round = 0; round < 2; ++round) {  // the port lock is released between opens
        CPCUart port;
        ASSERT_TRUE(port.OpenPath(sim.DevicePath(), 9600)) << "round " << round;
        ASSERT_EQ(port.Write(FrameBytes(identify), kFrameSize), kResultOk);
        Stream got;
        const auto end = Clock::now() + 2s;
        while (got.size() < 64 && Clock::now() < end) {
            std::uint8_t buffer[128];
            std::size_t count = 0;
            const std::size_t waiting = std::min(port.BytesWaiting(), sizeof buffer);
            if (waiting > 0) {
                ASSERT_EQ(port.Read(buffer, waiting, &count), kResultOk);
            }
            got.insert(got.end(), buffer, buffer + count);
            std::this_thread::sleep_for(5ms);
        }
        ASSERT_EQ(got.size(), 64u) << "round " << round;
        EXPECT_EQ(Stream(got.begin(), got.begin() + 32), Wire(identify));
        EXPECT_EQ(got[39], 'A');
        port.Close();
    }
}

TEST_F(SimulatedRadioPtyTest, StopIsPromptAndCanBeRepeated) {
    PcEnd pc(sim.DevicePath());  // an open PC end must not hold the thread up
    const auto start = Clock::now();
    sim.Stop();
    EXPECT_LT(Clock::now() - start, 500ms);
    EXPECT_FALSE(sim.Running());
    EXPECT_TRUE(sim.DevicePath().empty());
    sim.Stop();
}

}  // namespace
}  // namespace orven
