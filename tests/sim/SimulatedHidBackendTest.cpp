#include "sim/SimulatedHidBackend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace orven {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::uint16_t kVid = 0x0483;
constexpr std::uint16_t kPid = 0x5750;

// Report id 0, the frame, zeros up to the report length.
std::vector<std::uint8_t> Report(const CloneFrame& f, std::size_t length = 33) {
    std::vector<std::uint8_t> r(length, 0);
    std::memcpy(r.data() + 1, FrameBytes(f), kFrameSize);
    return r;
}

class SimulatedHidBackendTest : public ::testing::Test {
protected:
    std::unique_ptr<HidConnection> OpenRadio() { return backend.Open(kVid, kPid); }

    static int Send(HidConnection& c, const CloneFrame& f, int timeoutMs = 100) {
        const auto r = Report(f, c.OutputReportLength());
        return c.Write(r.data(), r.size(), timeoutMs);
    }

    SimulatedHidBackend backend;
};

TEST_F(SimulatedHidBackendTest, FrameOutReplyIn) {
    backend.WithRadio([](SimulatedRadio& r) { r.Memory()[0x0105] = 0x3C; });
    auto c = OpenRadio();
    ASSERT_TRUE(c);
    EXPECT_TRUE(c->IsAlive());
    EXPECT_EQ(c->InputReportLength(), 33u);
    EXPECT_EQ(c->OutputReportLength(), 33u);

    EXPECT_EQ(Send(*c, MakeReadFrame(0x0100, 20)), 33);
    std::uint8_t reply[32];
    ASSERT_EQ(c->Read(reply, sizeof reply, 100), 32);
    EXPECT_TRUE(CheckReply(reply, ReplyCheck::Prefix));
    EXPECT_TRUE(CheckReply(reply, ReplyCheck::Checksum));
    EXPECT_EQ(reply[kFrameLetterOffset], 'R');
    EXPECT_EQ(reply[kFrameDataOffset + 5], 0x3C);
    EXPECT_EQ(backend.WithRadio([](SimulatedRadio& r) { return r.Counters().reads; }), 1u);
}

TEST_F(SimulatedHidBackendTest, OnlyTheRadiosIdsOpen) {
    EXPECT_FALSE(backend.Open(kVid, kPid + 1));
    EXPECT_FALSE(backend.Open(kVid + 1, kPid));
    EXPECT_EQ(backend.Opens(), 0u);
}

TEST_F(SimulatedHidBackendTest, SilentRadioTimesOut) {
    backend.WithRadio([](SimulatedRadio& r) { r.Faults().noRadio = true; });
    auto c = OpenRadio();
    ASSERT_TRUE(c);
    EXPECT_EQ(Send(*c, MakeIdentifyFrame()), 33) << "the report itself goes out";
    std::uint8_t reply[32];
    const auto start = Clock::now();
    EXPECT_EQ(c->Read(reply, sizeof reply, 60), 0);
    EXPECT_GE(Clock::now() - start, 60ms);
    EXPECT_TRUE(c->IsAlive());
}

TEST_F(SimulatedHidBackendTest, SlowReplyMissedByOneReadIsThereForTheNext) {
    backend.WithRadio([](SimulatedRadio& r) { r.Faults().replyDelay = 80ms; });
    auto c = OpenRadio();
    ASSERT_EQ(Send(*c, MakeIdentifyFrame()), 33);
    std::uint8_t reply[32];
    EXPECT_EQ(c->Read(reply, sizeof reply, 10), 0);
    EXPECT_EQ(c->Read(reply, sizeof reply, 1000), 32);
    EXPECT_EQ(reply[kFrameLetterOffset], 'A');
}

TEST_F(SimulatedHidBackendTest, UnplugEndsConnectionsUntilReopened) {
    auto old = OpenRadio();
    ASSERT_TRUE(old);
    backend.SetPlugged(false);
    EXPECT_FALSE(old->IsAlive());
    EXPECT_EQ(Send(*old, MakeIdentifyFrame()), -1);
    std::uint8_t reply[32];
    EXPECT_EQ(old->Read(reply, sizeof reply, 10), -1);
    EXPECT_FALSE(OpenRadio());

    backend.SetPlugged(true);
    EXPECT_FALSE(old->IsAlive()) << "the old handle stays dead after replugging";
    auto fresh = OpenRadio();
    ASSERT_TRUE(fresh);
    EXPECT_EQ(Send(*fresh, MakeIdentifyFrame()), 33);
    EXPECT_EQ(fresh->Read(reply, sizeof reply, 100), 32);
    EXPECT_EQ(backend.Opens(), 2u);
}

TEST_F(SimulatedHidBackendTest, UnplugWakesAPendingRead) {
    auto c = OpenRadio();
    std::thread unplug([&] {
        std::this_thread::sleep_for(20ms);
        backend.SetPlugged(false);
    });
    std::uint8_t reply[32];
    const auto start = Clock::now();
    EXPECT_EQ(c->Read(reply, sizeof reply, 5000), -1);
    EXPECT_LT(Clock::now() - start, 2s);
    unplug.join();
}

TEST_F(SimulatedHidBackendTest, LongerReportsArePaddedAndChecked) {
    backend.SetReportLengths(65, 65);
    auto c = OpenRadio();
    ASSERT_EQ(c->InputReportLength(), 65u);
    EXPECT_EQ(Send(*c, MakeIdentifyFrame()), 65);
    std::uint8_t reply[64];
    std::memset(reply, 0xEE, sizeof reply);
    ASSERT_EQ(c->Read(reply, sizeof reply, 100), 64);
    EXPECT_EQ(reply[kFrameLetterOffset], 'A');
    for (std::size_t i = 32; i < 64; ++i) EXPECT_EQ(reply[i], 0) << "byte " << i;

    auto tooLong = Report(MakeIdentifyFrame(), 66);
    EXPECT_EQ(c->Write(tooLong.data(), tooLong.size(), 100), -1);
    auto numbered = Report(MakeIdentifyFrame(), 65);
    numbered[0] = 1;
    EXPECT_EQ(c->Write(numbered.data(), numbered.size(), 100), -1);
}

TEST_F(SimulatedHidBackendTest, LatencyDelaysEveryReport) {
    backend.WithRadio([](SimulatedRadio& r) { r.Faults().usbLatency = 30ms; });
    auto c = OpenRadio();
    std::uint8_t reply[32];
    const auto start = Clock::now();
    ASSERT_EQ(Send(*c, MakeIdentifyFrame()), 33);
    EXPECT_GE(Clock::now() - start, 30ms);
    EXPECT_EQ(c->Read(reply, sizeof reply, 10), 0) << "the reply needs its own 30 ms";
    EXPECT_EQ(c->Read(reply, sizeof reply, 100), 32);

    backend.WithRadio([](SimulatedRadio& r) { r.Faults().usbLatency = 150ms; });
    EXPECT_EQ(Send(*c, MakeIdentifyFrame(), 100), -1) << "slower than the write timeout";
}

}  // namespace
}  // namespace orven
