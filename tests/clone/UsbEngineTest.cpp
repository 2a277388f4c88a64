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
    AppState state = UsbState();
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
    enum class Exchange { HandShake, Read, Write };
    struct Case {
        void (*fault)(SimFaults&);
        Exchange exchange;
        CloneResult code;
        const char* text;
    };
    const auto badPrefix = [](SimFaults& f) { f.badPrefix = true; };
    const auto badChecksum = [](SimFaults& f) { f.badChecksum = true; };
    const Case cases[] = {
        {badPrefix, Exchange::HandShake, kResultBadPrefix, "Error"},
        {badPrefix, Exchange::Read, kResultBadPrefix, "Error"},
        {badPrefix, Exchange::Write, kResultBadPrefix, "Error"},
        {badChecksum, Exchange::HandShake, kResultChecksum, "CheckSum Error"},
        {badChecksum, Exchange::Read, kResultChecksum, "CheckSum Error"},
        {[](SimFaults& f) { f.wrongAck = true; }, Exchange::Write, kResultWriteError, "Write Error."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + std::string(" on exchange ") + std::to_string(static_cast<int>(c.exchange)));
        backend.WithRadio([&](SimulatedRadio& r) {
            r.ClearHistory();
            r.Faults() = SimFaults{};
            c.fault(r.Faults());
        });
        const CloneResult result = c.exchange == Exchange::HandShake ? engine.HandShake()
                                   : c.exchange == Exchange::Read    ? engine.ExchangeRead(0x0100, 20)
                                                                     : engine.ExchangeWrite(0x0100, 20);
        ExpectResult(result, c.code, c.text);
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
    ExpectResult(usb.ReceiveReply(reply), kResultTimeout, "Communication time out!");
    EXPECT_FALSE(device.IsPresent());
}

TEST_F(UsbEngineTest, RadioFallingSilentInAReadClosesTheDeviceUntilTheNextHandShake) {
    state.traceLog = 1;
    engine.OpenTrace();
    backend.WithRadio([](SimulatedRadio& r) {
        FillPattern(r.Memory(), 3);
        r.Faults().silentAfterFrames = 2 + 5;
    });

    // The sixth chunk's first attempt times out and closes the device; the second attempt
    // cannot send any more and ends the read.
    ExpectResult(engine.ReadRadio(), kResultNoRadio, "Radio is not detected!");
    EXPECT_EQ(Letters(Log()), "AA" + std::string(6, 'R'));
    EXPECT_FALSE(device.IsPresent());

    std::vector<ProgressCall> expected = {{Kind::SetRange, 0, 76}, {Kind::SetStep, 1, 0}};
    expected.insert(expected.end(), 5, ProgressCall{Kind::StepIt, 0, 0});
    expected.push_back({Kind::SetPos, 0, 0});
    EXPECT_EQ(progress.Calls(), expected);

    const RadioImage memory = Memory();
    EXPECT_TRUE(std::equal(memory.begin() + 0x0100, memory.begin() + 0x0164, images->read.begin() + 0x0100));
    EXPECT_EQ(images->read[0x0164], 0);

    // Every attempt that reached its receive is traced; the one whose send failed is not.
    EXPECT_EQ(TraceRecordsOf(dir.File(kTraceFileName)).size(), 8u);

    SetFaults([](SimFaults& f) { f.silentAfterFrames.reset(); });
    EXPECT_EQ(engine.HandShake(), kResultOk);
    EXPECT_EQ(backend.Opens(), 2u) << "found again";
}

TEST_F(UsbEngineTest, FailedHandShakeStillAnnouncesTheRange) {
    SetFaults([](SimFaults& f) { f.badPrefix = true; });
    const std::vector<ProgressCall> announced = {
        {Kind::SetRange, 0, 76}, {Kind::SetStep, 1, 0}, {Kind::SetPos, 0, 0}};

    ExpectResult(engine.WriteRadio(), kResultBadPrefix, "Error");
    EXPECT_EQ(progress.Calls(), announced);
    EXPECT_EQ(Letters(Log()), "AAA") << "nothing written";
    EXPECT_EQ(Counters().writes, 0u);

    progress.Clear();
    ExpectResult(engine.ReadRadio(), kResultBadPrefix, "Error");
    EXPECT_EQ(progress.Calls(), announced);
    EXPECT_EQ(Letters(Log()), "AAAAAA") << "no second handshake";
}

TEST_F(UsbEngineTest, StopBeforeTheReceiveIsAUserCancel) {
    CloneStopEvent.Set();
    ExpectResult(engine.WriteRadio(), kResultUserCancel, "User Cancel.");
    EXPECT_EQ(Letters(Log()), "A") << "the frame goes out before the stop test";
    EXPECT_EQ(progress.Calls(), (std::vector<ProgressCall>{
                                    {Kind::SetRange, 0, 76}, {Kind::SetStep, 1, 0}, {Kind::SetPos, 0, 0}}));
}

}  // namespace
}  // namespace orven
