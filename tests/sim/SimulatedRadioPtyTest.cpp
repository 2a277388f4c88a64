// The serial engine tests talk to the radio through this pseudo-terminal for whole transfers;
// what is left here is what they never do: a paced line and a stop while the port is still open.
#include "sim/SimulatedRadioPty.h"

#include "link/CPCUart.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orven {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(SimulatedRadioPtyTest, PacedLineTakesItsTimeAndStopIsPromptWithThePortOpen) {
    SimulatedRadioPty sim;
    ASSERT_TRUE(sim.Start());
    sim.WithRadio([](SimulatedRadio& r) { r.Faults().baud = 4800; });
    CPCUart port;
    ASSERT_TRUE(port.OpenPath(sim.DevicePath(), 9600));
    const CloneFrame identify = MakeIdentifyFrame();
    const auto start = Clock::now();
    ASSERT_EQ(port.Write(FrameBytes(identify), kFrameSize), kResultOk);
    while (port.BytesWaiting() < 2 * kFrameSize && Clock::now() - start < 2s)
        std::this_thread::sleep_for(1ms);
    // Echo and reply, 64 bytes at 2.083 ms each and one more byte time for the first echo.
    EXPECT_EQ(port.BytesWaiting(), 2 * kFrameSize);
    EXPECT_GE(Clock::now() - start, 135ms);

    const auto stopping = Clock::now();
    sim.Stop();
    EXPECT_LT(Clock::now() - stopping, 500ms);
    EXPECT_FALSE(sim.Running());
    EXPECT_TRUE(sim.DevicePath().empty());
    sim.Stop();
}

// A client killed while it holds the port must not leave it in exclusive mode for the next.
TEST(SimulatedRadioPtyTest, APortLeftByAKilledClientOpensAgain) {
    SimulatedRadioPty sim;
    ASSERT_TRUE(sim.Start());
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = open(sim.DevicePath().c_str(), O_RDWR | O_NOCTTY);
        const char held = fd >= 0 && ioctl(fd, TIOCEXCL) == 0 ? 1 : 0;
        [[maybe_unused]] const auto n = write(ready[1], &held, 1);
        pause();
        _exit(0);
    }
    char held = 0;
    ASSERT_EQ(read(ready[0], &held, 1), 1);
    ASSERT_EQ(held, 1);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);

    CPCUart port;
    bool opened = false;
    for (const auto start = Clock::now(); !opened && Clock::now() - start < 2s; std::this_thread::sleep_for(10ms))
        opened = port.OpenPath(sim.DevicePath(), 9600);
    EXPECT_TRUE(opened);
    // While this client holds it, the port stays its own.
    CPCUart second;
    EXPECT_FALSE(second.OpenPath(sim.DevicePath(), 9600));
}

}  // namespace
}  // namespace orven
