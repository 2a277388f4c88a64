#include "clone/CPcUsbClone.h"

#include "clone/CloneResult.h"
#include "clone/EngineTestSupport.h"
#include "link/CHidDevice.h"
#include "sim/SimulatedHidBackend.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orven {
namespace {

using namespace orven::test;
using Kind = ProgressCall::Kind;

// The USB engine against the simulated radio behind a HID device object of the test's own.
class UsbEngineTest : public ::testing::Test, protected RadioAccess<SimulatedHidBackend> {
protected:
    UsbEngineTest() : RadioAccess(backend) {}

    void SetUp() override {
        engine.SetSettings(settings.get());
        engine.SetAppState(&state);
        engine.SetProgress(&progress);
        engine.SetDirectory(dir.path());
        engine.SetTiming(kFastTiming);
        engine.SetImages(images->write, images->read);
    }

    StopEventReset stopReset;
    TempDir dir;
    SimulatedHidBackend backend;
    CHidDevice device{kUsbVendorId, kUsbProductId, &backend};
    AppState state = [] {
        AppState s = SerialState();
        s.comPort = 0;
        return s;
    }();
    std::unique_ptr<RadioSettings> settings = EuropeanDocument();
    std::unique_ptr<ImagePair> images = std::make_unique<ImagePair>();
    RecordingProgress progress;
    CPcUsbClone engine{device};
};

TEST_F(UsbEngineTest, HandShakeLooksForTheDeviceItself) {
    backend.SetPlugged(false);
    ExpectResult(engine.HandShake(), kResultNoRadio, "Radio is not detected!");
    EXPECT_EQ(Counters().frames, 0u);

    backend.SetPlugged(true);
    EXPECT_EQ(engine.HandShake(), kResultOk);
    EXPECT_EQ(backend.Opens(), 1u);
    EXPECT_EQ(engine.HandShake(), kResultOk);
    EXPECT_EQ(backend.Opens(), 1u) << "a present device is used as it is";
    EXPECT_EQ(Letters(Log()), "AA");
}

// Each faulty exchange is tried three times; a reply without the prefix is the generic error.
TEST_F(UsbEngineTest, ReplyFaultsEndInTheirCodeAfterThreeAttempts) {
    const struct {
        void (*fault)(SimFaults&);
        CloneResult (*exchange)(CPcUsbClone&);
        CloneResult code;
        const char* text;
    } cases[] = {
        {[](SimFaults& f) { f.badPrefix = true; }, [](CPcUsbClone& e) { return e.HandShake(); }, kResultBadPrefix, "Error"},
        {[](SimFaults& f) { f.badPrefix = true; }, [](CPcUsbClone& e) { return e.ExchangeWrite(0x0100, 20); },
         kResultBadPrefix, "Error"},
        {[](SimFaults& f) { f.badChecksum = true; }, [](CPcUsbClone& e) { return e.ExchangeRead(0x0100, 20); },
         kResultChecksum, "CheckSum Error"},
        {[](SimFaults& f) { f.wrongAck = true; }, [](CPcUsbClone& e) { return e.ExchangeWrite(0x0100, 20); },
         kResultWriteError, "Write Error."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        OnlyFault(c.fault);
        ExpectResult(c.exchange(engine), c.code, c.text);
        EXPECT_EQ(Counters().frames, 3u);
    }
}

// The receive step on its own, to see the code of an input report that never comes.
class ExposedUsbClone : public CPcUsbClone {
public:
    using CPcUsbClone::CPcUsbClone;
    using CPcUsbClone::ReceiveReply;
};

TEST_F(UsbEngineTest, MissingInputReportIsATimeOutAndClosesTheDevice) {
    ExposedUsbClone usb(device);
    usb.SetTiming(kFastTiming);
    ASSERT_TRUE(device.FindDevice());
    std::uint8_t reply[kFrameSize];
    ExpectResult(usb.ReceiveReply(nullptr, reply), kResultTimeout, "Communication time out!");
    EXPECT_FALSE(device.IsPresent());
}

// Unlike the serial engine, a transfer announces its range before the handshake.
TEST_F(UsbEngineTest, FailedOrStoppedHandShakeStillAnnouncesTheRange) {
    const std::vector<ProgressCall> announced = {{Kind::SetRange, 0, 76}, {Kind::SetStep, 1, 0}, {Kind::SetPos, 0, 0}};
    SetFaults([](SimFaults& f) { f.badPrefix = true; });
    ExpectResult(engine.ReadRadio(), kResultBadPrefix, "Error");
    EXPECT_EQ(progress.Calls(), announced);
    EXPECT_EQ(Letters(Log()), "AAA") << "no second handshake";

    progress.Clear();
    backend.WithRadio([](SimulatedRadio& r) { r.ClearHistory(); });
    CloneStopEvent.Set();
    ExpectResult(engine.WriteRadio(), kResultUserCancel, "User Cancel.");
    EXPECT_EQ(Letters(Log()), "A") << "the frame goes out before the stop test";
    EXPECT_EQ(progress.Calls(), announced);
}

}  // namespace
}  // namespace orven
