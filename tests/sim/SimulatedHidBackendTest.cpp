// The USB engine tests drive this backend through whole transfers; what is left here is what
// they never do: unplugging under an open or waiting connection.
#include "sim/SimulatedHidBackend.h"

#include "GlobalDef.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace orven {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Report id 0, then the frame.
int Send(HidConnection& c, const CloneFrame& f, int timeoutMs = 100) {
    std::vector<std::uint8_t> report(kSimReportLength, 0);
    std::memcpy(report.data() + 1, FrameBytes(f), kFrameSize);
    return c.Write(report.data(), report.size(), timeoutMs);
}

// Only the radio's ids open; an unplug wakes a pending read and ends every open connection for
// good, and the radio can be opened again once it is back.
TEST(SimulatedHidBackendTest, UnplugEndsConnectionsForGoodAndWakesAPendingRead) {
    SimulatedHidBackend backend;
    EXPECT_FALSE(backend.Open(kUsbVendorId, kUsbProductId + 1));
    auto old = backend.Open(kUsbVendorId, kUsbProductId);
    ASSERT_TRUE(old);
    std::thread unplug([&] {
        std::this_thread::sleep_for(20ms);
        backend.SetPlugged(false);
    });
    std::uint8_t reply[kFrameSize];
    const auto start = Clock::now();
    EXPECT_EQ(old->Read(reply, sizeof reply, 5000), -1);
    EXPECT_LT(Clock::now() - start, 2s);
    unplug.join();
    EXPECT_FALSE(old->IsAlive());
    EXPECT_EQ(Send(*old, MakeIdentifyFrame()), -1);
    EXPECT_FALSE(backend.Open(kUsbVendorId, kUsbProductId));

    backend.SetPlugged(true);
    EXPECT_FALSE(old->IsAlive()) << "the old handle stays dead after replugging";
    auto fresh = backend.Open(kUsbVendorId, kUsbProductId);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(Send(*fresh, MakeIdentifyFrame()), static_cast<int>(kSimReportLength));
    EXPECT_EQ(fresh->Read(reply, sizeof reply, 100), static_cast<int>(kFrameSize));
    EXPECT_EQ(backend.Opens(), 2u);
}

}  // namespace
}  // namespace orven
