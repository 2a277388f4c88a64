#include "link/CHidDevice.h"

#include "GlobalDef.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

namespace orven {
namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// A USB radio the test can plug, unplug, feed input reports and inspect. Unplugging kills every
// connection opened before, as a real unplug does; plugging in again makes a new device.
class FakeRadio {
public:
    FakeRadio(std::size_t inputLength, std::size_t outputLength)
        : inputLength_(inputLength), outputLength_(outputLength) {}

    void Plug(bool on) {
        std::lock_guard lock(mutex_);
        if (plugged_ != on) {
            plugged_ = on;
            ++generation_;
        }
    }
    void QueueInput(Bytes data) {
        std::lock_guard lock(mutex_);
        inputs_.push_back(std::move(data));
    }
    void FailWrites(bool fail) {
        std::lock_guard lock(mutex_);
        failWrites_ = fail;
    }
    // Every written report is answered with the same report's payload.
    void Echo(bool echo) {
        std::lock_guard lock(mutex_);
        echo_ = echo;
    }
    std::vector<Bytes> Written() {
        std::lock_guard lock(mutex_);
        return written_;
    }
    int Opens() {
        std::lock_guard lock(mutex_);
        return opens_;
    }
    int LiveConnections() {
        std::lock_guard lock(mutex_);
        return live_;
    }

    class Connection : public HidConnection {
    public:
        Connection(FakeRadio& radio, int generation) : radio_(radio), generation_(generation) {}
        ~Connection() override {
            std::lock_guard lock(radio_.mutex_);
            --radio_.live_;
        }
        bool IsAlive() override {
            std::lock_guard lock(radio_.mutex_);
            return Attached();
        }
        std::size_t InputReportLength() const override { return radio_.inputLength_; }
        std::size_t OutputReportLength() const override { return radio_.outputLength_; }

        int Write(const std::uint8_t* report, std::size_t length, int) override {
            std::lock_guard lock(radio_.mutex_);
            if (!Attached() || radio_.failWrites_) {
                return -1;
            }
            radio_.written_.emplace_back(report, report + length);
            if (radio_.echo_) {
                radio_.inputs_.emplace_back(report + 1, report + length);
            }
            return static_cast<int>(length);
        }
        int Read(std::uint8_t* data, std::size_t capacity, int) override {
            std::lock_guard lock(radio_.mutex_);
            if (!Attached()) {
                return -1;
            }
            if (radio_.inputs_.empty()) {
                return 0;  // time-out
            }
            Bytes next = std::move(radio_.inputs_.front());
            radio_.inputs_.pop_front();
            std::size_t n = std::min(capacity, next.size());
            std::copy_n(next.begin(), n, data);
            return static_cast<int>(n);
        }

    private:
        bool Attached() const { return radio_.plugged_ && radio_.generation_ == generation_; }
        FakeRadio& radio_;
        int generation_;
    };

    class Backend : public HidBackend {
    public:
        explicit Backend(FakeRadio& radio) : radio_(radio) {}
        std::unique_ptr<HidConnection> Open(std::uint16_t vendorId, std::uint16_t productId) override {
            std::lock_guard lock(radio_.mutex_);
            if (!radio_.plugged_ || vendorId != kUsbVendorId || productId != kUsbProductId) {
                return nullptr;
            }
            ++radio_.opens_;
            ++radio_.live_;
            return std::make_unique<Connection>(radio_, radio_.generation_);
        }

    private:
        FakeRadio& radio_;
    };

private:
    std::mutex mutex_;
    const std::size_t inputLength_;
    const std::size_t outputLength_;
    bool plugged_ = false;
    int generation_ = 0;
    bool failWrites_ = false;
    bool echo_ = false;
    int opens_ = 0;
    int live_ = 0;
    std::deque<Bytes> inputs_;
    std::vector<Bytes> written_;
};

Bytes Sequence(std::size_t n, std::uint8_t first) {
    Bytes b(n);
    std::iota(b.begin(), b.end(), first);
    return b;
}

TEST(CHidDeviceTest, FindsOnlyAPluggedDeviceWithItsIds) {
    FakeRadio radio(33, 33);
    FakeRadio::Backend backend(radio);
    CHidDevice device(kUsbVendorId, kUsbProductId, &backend);
    EXPECT_FALSE(device.FindDevice());
    EXPECT_FALSE(device.Found());
    EXPECT_FALSE(device.IsPresent());

    radio.Plug(true);
    EXPECT_TRUE(device.FindDevice());
    EXPECT_TRUE(device.Found());
    EXPECT_TRUE(device.IsPresent());

    // Searching again replaces the connection rather than adding one.
    EXPECT_TRUE(device.FindDevice());
    EXPECT_EQ(radio.LiveConnections(), 1);

    CHidDevice other(0x1234, kUsbProductId, &backend);
    EXPECT_FALSE(other.FindDevice());

    device.CloseHandles();
    EXPECT_FALSE(device.Found());
    EXPECT_FALSE(device.IsPresent());
    EXPECT_EQ(radio.LiveConnections(), 0);
}

TEST(CHidDeviceTest, WithoutBackendNothingIsFound) {
    CHidDevice device(kUsbVendorId, kUsbProductId);
    EXPECT_FALSE(device.FindDevice());
    EXPECT_FALSE(device.IsPresent());
}

// A device found on a fake radio with the given report lengths.
class HidFixture {
public:
    HidFixture(std::size_t inputLength, std::size_t outputLength)
        : radio(inputLength, outputLength), device(kUsbVendorId, kUsbProductId) {
        device.SetBackend(std::make_shared<FakeRadio::Backend>(radio));
        radio.Plug(true);
    }
    FakeRadio radio;
    CHidDevice device;
};

TEST(CHidDeviceTest, ReadReportReturnsTheDataAfterTheReportId) {
    HidFixture f(33, 33);
    ASSERT_TRUE(f.device.FindDevice());
    f.radio.QueueInput(Sequence(32, 1));
    Bytes buf(32, 0xEE);
    EXPECT_EQ(f.device.ReadReport(buf.data(), buf.size(), 100), 1);
    EXPECT_EQ(buf, Sequence(32, 1));

    // Asking for more than the report holds: the rest of the caller's bytes are zeroed.
    f.radio.QueueInput(Sequence(32, 101));
    Bytes wide(40, 0xEE);
    EXPECT_EQ(f.device.ReadReport(wide.data(), wide.size(), 100), 1);
    Bytes expected = Sequence(32, 101);
    expected.resize(40, 0x00);
    EXPECT_EQ(wide, expected);

    // A short report from the backend leaves zeros, not the previous report's bytes.
    f.radio.QueueInput(Bytes{0xA1, 0xA2});
    EXPECT_EQ(f.device.ReadReport(buf.data(), buf.size(), 100), 1);
    Bytes shortExpected(32, 0x00);
    shortExpected[0] = 0xA1;
    shortExpected[1] = 0xA2;
    EXPECT_EQ(buf, shortExpected);
    EXPECT_TRUE(f.device.Found());
}

TEST(CHidDeviceTest, ReadReportTakesOnlyLenBytesOfALongerReport) {
    HidFixture f(65, 65);
    ASSERT_TRUE(f.device.FindDevice());
    f.radio.QueueInput(Sequence(64, 0));
    Bytes buf(48, 0xEE);
    EXPECT_EQ(f.device.ReadReport(buf.data(), 32, 100), 1);
    Bytes expected = Sequence(32, 0);
    expected.resize(48, 0xEE);  // beyond len the caller's buffer is not touched
    EXPECT_EQ(buf, expected);
}

TEST(CHidDeviceTest, WriteReportPadsToTheOutputReportLength) {
    const Bytes payload = Sequence(32, 0x40);
    Bytes sent33 = {0x00};
    sent33.insert(sent33.end(), payload.begin(), payload.end());

    HidFixture f33(33, 33);
    ASSERT_TRUE(f33.device.FindDevice());
    EXPECT_EQ(f33.device.WriteReport(payload.data(), payload.size(), 100), 1);
    ASSERT_EQ(f33.radio.Written().size(), 1u);
    EXPECT_EQ(f33.radio.Written()[0], sent33);

    HidFixture f65(65, 65);
    ASSERT_TRUE(f65.device.FindDevice());
    EXPECT_EQ(f65.device.WriteReport(payload.data(), payload.size(), 100), 1);
    Bytes sent65 = sent33;
    sent65.resize(65, 0x00);
    ASSERT_EQ(f65.radio.Written().size(), 1u);
    EXPECT_EQ(f65.radio.Written()[0], sent65);

    // A short payload after a long one: no stale bytes from the earlier report.
    const Bytes small = {0x24, 0x52};
    EXPECT_EQ(f65.device.WriteReport(small.data(), small.size(), 100), 1);
    Bytes sentSmall(65, 0x00);
    sentSmall[1] = 0x24;
    sentSmall[2] = 0x52;
    EXPECT_EQ(f65.radio.Written()[1], sentSmall);
}

TEST(CHidDeviceTest, PayloadAbove255IsRefusedWithoutClosing) {
    HidFixture f(256, 256);
    ASSERT_TRUE(f.device.FindDevice());
    Bytes big(256, 0x11);
    EXPECT_EQ(f.device.WriteReport(big.data(), 256, 100), 0);
    EXPECT_TRUE(f.radio.Written().empty());
    EXPECT_TRUE(f.device.Found());

    EXPECT_EQ(f.device.WriteReport(big.data(), 255, 100), 1);
    ASSERT_EQ(f.radio.Written().size(), 1u);
    EXPECT_EQ(f.radio.Written()[0].size(), 256u);
    EXPECT_EQ(f.radio.Written()[0][0], 0x00);
    EXPECT_EQ(f.radio.Written()[0][255], 0x11);
}

TEST(CHidDeviceTest, FailedTransfersCloseTheDeviceUntilFoundAgain) {
    HidFixture f(33, 33);
    ASSERT_TRUE(f.device.FindDevice());

    // Nothing to read: the backend times out.
    Bytes buf(32, 0xEE);
    EXPECT_EQ(f.device.ReadReport(buf.data(), buf.size(), 20), 0);
    EXPECT_EQ(buf, Bytes(32, 0x00));
    EXPECT_FALSE(f.device.Found());
    EXPECT_FALSE(f.device.IsPresent());
    EXPECT_EQ(f.radio.LiveConnections(), 0);

    ASSERT_TRUE(f.device.FindDevice());
    f.radio.FailWrites(true);
    EXPECT_EQ(f.device.WriteReport(buf.data(), buf.size(), 20), 0);
    EXPECT_FALSE(f.device.Found());
    EXPECT_FALSE(f.device.IsPresent());
    EXPECT_EQ(f.radio.LiveConnections(), 0);

    f.radio.FailWrites(false);
    ASSERT_TRUE(f.device.FindDevice());
    EXPECT_EQ(f.device.WriteReport(buf.data(), buf.size(), 20), 1);
    EXPECT_EQ(f.radio.Opens(), 3);
}

TEST(CHidDeviceTest, UnplugAndReplugNeedsANewSearch) {
    HidFixture f(33, 33);
    ASSERT_TRUE(f.device.FindDevice());
    f.radio.Plug(false);
    EXPECT_FALSE(f.device.IsPresent());
    EXPECT_FALSE(f.device.FindDevice());

    f.radio.Plug(true);
    EXPECT_FALSE(f.device.IsPresent());
    EXPECT_TRUE(f.device.FindDevice());
    EXPECT_TRUE(f.device.IsPresent());

    // A transfer on a connection the unplug killed fails and clears the flag.
    f.radio.Plug(false);
    f.radio.Plug(true);
    Bytes buf(32, 0);
    EXPECT_EQ(f.device.ReadReport(buf.data(), buf.size(), 20), 0);
    EXPECT_FALSE(f.device.Found());
}

TEST(CHidDeviceTest, WithoutADeviceTransfersWaitTheTimeOut) {
    HidFixture f(33, 33);
    Bytes buf(32, 0xEE);
    auto start = Clock::now();
    EXPECT_EQ(f.device.ReadReport(buf.data(), buf.size(), 60), 0);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(60));
    EXPECT_EQ(buf, Bytes(32, 0x00));

    start = Clock::now();
    EXPECT_EQ(f.device.WriteReport(buf.data(), buf.size(), 60), 0);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(60));
    EXPECT_TRUE(f.radio.Written().empty());
}

TEST(CHidDeviceTest, WaitingOnAMissingDeviceDoesNotBlockOtherCallers) {
    HidFixture f(33, 33);
    std::atomic<bool> started{false};
    std::thread worker([&] {
        Bytes buf(32);
        started = true;
        f.device.ReadReport(buf.data(), buf.size(), 500);
    });
    while (!started) {
        std::this_thread::yield();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto start = Clock::now();
    EXPECT_TRUE(f.device.FindDevice());
    EXPECT_TRUE(f.device.IsPresent());
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(200));
    worker.join();
}

// The detection timer and a clone worker on one object: the timer searches whenever the device
// is not present while the worker exchanges reports and the radio is plugged in and out.
TEST(CHidDeviceTest, DetectionAndTransfersCanRunTogether) {
    HidFixture f(33, 33);
    f.radio.Echo(true);
    std::atomic<bool> stop{false};
    std::atomic<int> exchanges{0};
    std::atomic<int> corrupt{0};

    std::thread timer([&] {
        while (!stop) {
            if (!f.device.IsPresent()) {
                f.device.FindDevice();
            }
            f.device.Found();
        }
    });
    std::thread worker([&] {
        for (int i = 0; i < 3000; ++i) {
            Bytes out = Sequence(32, static_cast<std::uint8_t>(i));
            Bytes in(32, 0xEE);
            if (f.device.WriteReport(out.data(), out.size(), 1) == 1 &&
                f.device.ReadReport(in.data(), in.size(), 1) == 1) {
                ++exchanges;
                // Another exchange's echo may be read after a reconnect, but never a mix.
                if (in != Sequence(32, in[0])) {
                    ++corrupt;
                }
            }
        }
    });
    for (int i = 0; i < 50; ++i) {
        f.radio.Plug(i % 2 == 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    f.radio.Plug(true);
    worker.join();
    stop = true;
    timer.join();

    EXPECT_GT(exchanges.load(), 0);
    EXPECT_EQ(corrupt.load(), 0);
    EXPECT_LE(f.radio.LiveConnections(), 1);
}

}  // namespace
}  // namespace orven
