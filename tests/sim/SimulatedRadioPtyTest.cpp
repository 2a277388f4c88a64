// The serial engine tests talk to the radio through this pseudo-terminal for whole transfers;
// what is left here is what they never do: a paced line and a stop while the port is still open.
// A client killed while it holds the port is the command line's interrupt test.
#include "sim/SimulatedRadioPty.h"

#include "link/CPCUart.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

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

}  // namespace
}  // namespace orven
