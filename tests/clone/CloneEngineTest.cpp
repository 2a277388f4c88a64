// What both clone engines do alike, run on each link against the simulated radio, and what the
// USB engine alone does. The serial receive has its own file.
#include "clone/EngineTestSupport.h"

#include "files/Paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>

namespace orven {
namespace {

using namespace orven::test;
using Kind = ProgressCall::Kind;

class CloneEngineTest : public EngineFixture, public ::testing::WithParamInterface<Link> {
protected:
    CloneEngineTest() : EngineFixture(GetParam()) {}
};
INSTANTIATE_TEST_SUITE_P(Links, CloneEngineTest, ::testing::Values(Link::Serial, Link::Usb), LinkName);

// What each fault ends in, and after how many attempts, with the polled receive and with the
// fast transfer, which falls back to the polled receive at its first failed attempt. A refused
// read reply is not copied; a read reply is not an acknowledgement, so a changed acknowledgement
// leaves reads alone. Line faults exist on the serial link only.
TEST_P(CloneEngineTest, ReplyFaultsEndInTheirCodeAfterThreeAttempts) {
    enum class On { HandShake, Read, Write };
    struct Case { const char* what; void (*fault)(SimFaults&); On on; CloneResult serial; std::optional<CloneResult> usb; };
    const Case cases[] = {
        {"silent line", [](SimFaults& f) { f.noEcho = true; }, On::HandShake, kResultNoAdaptor, {}},
        {"echo without reply", [](SimFaults& f) { f.noRadio = true; }, On::HandShake, kResultNoRadio, {}},
        // "$" then the reply's "$R...": the second '$' does not start a frame.
        {"stray dollar", [](SimFaults& f) { f.strayDollar = true; }, On::HandShake, kResultNoRadio, {}},
        {"noise before the reply", [](SimFaults& f) { f.noiseBytes = 9; }, On::HandShake, kResultOk, {}},
        // Pauses inside the reply are longer than a poll and than the quiet gap.
        {"reply in pieces", [](SimFaults& f) { f.replyPieces = 4, f.pieceDelay = 6ms; }, On::HandShake, kResultOk, {}},
        {"bad prefix", [](SimFaults& f) { f.badPrefix = true; }, On::HandShake, kResultNoRadio, kResultBadPrefix},
        {"bad checksum", [](SimFaults& f) { f.badChecksum = true; }, On::HandShake, kResultChecksum, kResultChecksum},
        {"bad prefix on a read", [](SimFaults& f) { f.badPrefix = true; }, On::Read, kResultChecksum, kResultBadPrefix},
        {"bad prefix on a write", [](SimFaults& f) { f.badPrefix = true; }, On::Write, kResultChecksum, kResultBadPrefix},
        {"bad checksum on a read", [](SimFaults& f) { f.badChecksum = true; }, On::Read, kResultChecksum, kResultChecksum},
        {"changed acknowledgement", [](SimFaults& f) { f.wrongAck = true; }, On::Write, kResultWriteError, kResultWriteError},
        {"read under a changed acknowledgement", [](SimFaults& f) { f.wrongAck = true; }, On::Read, kResultOk, kResultOk},
    };
    FillPattern(readImage, 3);
    for (const CloneTiming& timing : {kFastTiming, kFastTransferTiming}) {
        for (const auto& c : cases) {
            const CloneResult code = Serial() ? c.serial : c.usb.value_or(kResultOk);
            if (!Serial() && !c.usb) continue;
            SCOPED_TRACE(std::string(c.what) + (timing.fast ? ", fast transfer" : ", polled receive"));
            engine->SetTiming(timing);
            OnlyFault([](SimFaults&) {});
            if (c.on != On::HandShake) {
                ASSERT_EQ(engine->HandShake(), kResultOk);
            }
            const RadioImage before = readImage;
            OnlyFault(c.fault);
            const CloneResult result = c.on == On::HandShake ? engine->HandShake()
                                       : c.on == On::Read    ? engine->ExchangeRead(0x0100, 20)
                                                             : engine->ExchangeWrite(0x0100, 20);
            EXPECT_EQ(result, code) << ResultText(result);
            EXPECT_EQ(engine->FailureCause(), "");  // the echo came whole: the words of the code are right
            EXPECT_EQ(Counters().frames, code == kResultOk ? 1u : 3u);
            EXPECT_EQ(engine->FellBack(), timing.fast && code != kResultOk);
            if (code != kResultOk) {
                EXPECT_EQ(readImage, before);
            }
        }
    }
}

// An adaptor that garbles the echo of some frames (a byte of it comes back changed): on the serial
// link that attempt fails and the frame goes again, in the product's polls after the first failure;
// garbled every time, the exchange fails. A frame garbled right after a reply taken at its last
// byte cannot show that nothing trailed that reply, so its exchange is done again too. The USB link
// has no echo to garble.
TEST_P(CloneEngineTest, AnAdaptorThatGarblesEchoesCostsRetriesNotData) {
    RadioImage memory{};
    FillPattern(memory, 7);
    for (const CloneTiming& timing : {kFastTiming, kFastTransferTiming}) {
        SCOPED_TRACE(timing.fast ? "fast transfer" : "polled receive");
        engine->SetTiming(timing);
        OnlyFault([](SimFaults& f) { f.garbledEchoByte = 20; });
        const CloneResult identify = engine->HandShake();
        EXPECT_EQ(identify, Serial() ? kResultNoRadio : kResultOk) << ResultText(identify);
        // The radio may well be there: the cause names the line.
        EXPECT_EQ(engine->FailureCause().find("the adaptor's echo did not come back as sent"),
                  Serial() ? 0u : std::string::npos);
        EXPECT_EQ(Counters().frames, Serial() ? 3u : 1u);

        engine->SetTiming(timing);
        OnlyFault([](SimFaults& f) {
            f.garbledEchoByte = 0;  // the '$' itself
            f.scope.everyFrame = 3;
        });
        OnRadio([&](SimulatedRadio& r) { r.Memory() = memory; });
        readImage.fill(0);
        ASSERT_EQ(engine->HandShake(), kResultOk);
        ASSERT_EQ(engine->ReadRange(0x0100, 10 * kChunkSize), kResultOk);
        EXPECT_TRUE(std::equal(memory.begin() + 0x0100, memory.begin() + 0x01C8, readImage.begin() + 0x0100));
        EXPECT_EQ(Counters().frames > 11u, Serial()) << Counters().frames << " frames for eleven exchanges";
        EXPECT_EQ(engine->FellBack(), Serial() && timing.fast);
    }
}

// The radio falls silent after ten chunks: the read fails, keeps the ten chunks and nothing
// else, decodes nothing, traces every attempt and the fallback after the first failed one, dumps
// what it has and lets go of the link. A missing USB report closes the device, so the attempts
// after it cannot even send.
TEST_P(CloneEngineTest, SilenceInTheMiddleOfAReadKeepsWhatArrived) {
    state.traceLog = state.dumpImages = 1;
    engine->SetTiming(kFastTransferTiming);
    engine->OpenTrace();
    FillPattern(writeImage, 6);  // a read leaves the write image alone
    std::memset(settings.get(), 0x5A, sizeof(RadioSettings));
    const auto before = std::make_unique<RadioSettings>(*settings);
    OnRadio([](SimulatedRadio& r) {
        FillPattern(r.Memory(), 9);
        r.Faults().silentAfterFrames = 2 + 10;  // two identifies and ten chunks
    });

    ExpectResult(engine->ReadRadio(), kResultNoRadio, "Radio is not detected!");

    const std::size_t attemptsAtSilence = Serial() ? 3 : 1;
    EXPECT_EQ(Letters(), "AA" + std::string(10 + attemptsAtSilence, 'R'));
    const RadioImage memory = Memory();
    for (std::size_t a = 0; a < kImageSize; ++a)
        ASSERT_EQ(readImage[a], a >= 0x0100 && a < 0x0100 + 10 * 20 ? memory[a] : 0) << "address " << a;
    EXPECT_EQ(0, std::memcmp(settings.get(), before.get(), sizeof(RadioSettings))) << "not decoded";
    EXPECT_EQ(progress.Calls(), TransferProgress(10));
    EXPECT_TRUE(Serial() ? PortIsFree() : !device.IsPresent()) << "the read let go of the link";
    const std::vector<std::string> stamps = ExpectTraceRecords(dir.File(kTraceFileName), writeImage, readImage);
    EXPECT_EQ(stamps.size(), 12 + attemptsAtSilence + 1);
    EXPECT_EQ(std::count(stamps.begin(), stamps.end(), kTraceFallbackMark), 1);
    EXPECT_EQ(stamps.at(13), kTraceFallbackMark);
    const std::vector<std::uint8_t> dump = ReadBytes(dir.File(kReadDumpFileName));
    EXPECT_TRUE(std::equal(dump.begin(), dump.end(), readImage.begin(), readImage.end()));
    EXPECT_FALSE(std::filesystem::exists(dir.File(kWriteDumpFileName)));
}

// A write whose handshake fails sends nothing more, yet dumps the encoded image and traces the
// attempts; only the USB engine announces the range first. A stop already asked for ends the
// next operation after its first frame.
TEST_P(CloneEngineTest, FailedOrStoppedHandShakeSendsNothingMore) {
    state.traceLog = state.dumpImages = 1;
    engine->OpenTrace();
    OnlyFault([](SimFaults& f) { f.badPrefix = true; });
    EXPECT_EQ(engine->WriteRadio(), Serial() ? kResultNoRadio : kResultBadPrefix);

    const RadioImage expected = EncodedImage(*settings, state);
    EXPECT_EQ(writeImage, expected);
    const std::vector<std::uint8_t> dump = ReadBytes(dir.File(kWriteDumpFileName));
    EXPECT_TRUE(std::equal(dump.begin(), dump.end(), expected.begin(), expected.end()));
    EXPECT_EQ(ExpectTraceRecords(dir.File(kTraceFileName), writeImage, readImage).size(), 3u);
    EXPECT_EQ(Letters(), "AAA");
    std::vector<ProgressCall> announced = {{Kind::SetRange, 0, 76}, {Kind::SetStep, 1, 0}, {Kind::SetPos, 0, 0}};
    if (Serial()) announced.erase(announced.begin(), announced.begin() + 2);
    EXPECT_EQ(progress.Calls(), announced);
    EXPECT_TRUE(!Serial() || PortIsFree());

    progress.Clear();
    OnlyFault([](SimFaults&) {});
    CloneStopEvent.Set();
    ExpectResult(engine->ReadRadio(), kResultUserCancel, "User Cancel.");
    // The frame goes out before the stop test; closing the serial port may drop it unsent.
    EXPECT_TRUE(Serial() ? Letters().size() <= 1 : Letters() == "A") << Letters();
    EXPECT_EQ(progress.Calls(), announced);
}

TEST_P(CloneEngineTest, StopDuringAWriteEndsItAtOnce) {
    std::atomic<std::uint32_t> framesAtStop{0};
    std::thread stopper([&] {
        WaitUntil([&] { return Counters().writes >= 5; }, 20s);
        OnRadio([&](SimulatedRadio& r) {
            // Under the radio's lock: no frame can arrive between the count and the stop.
            framesAtStop = r.Counters().frames;
            CloneStopEvent.Set();
        });
    });
    const CloneResult result = engine->WriteRadio();
    stopper.join();

    ExpectResult(result, kResultUserCancel, "User Cancel.");
    EXPECT_TRUE(!Serial() || PortIsFree()) << "the write closed the port";
    std::this_thread::sleep_for(100ms);  // time for anything still on the line to arrive
    const std::uint32_t frames = Counters().frames;
    EXPECT_GE(frames, framesAtStop.load());
    EXPECT_LE(frames, framesAtStop + 1) << "at most the frame already on its way";
    ASSERT_FALSE(progress.Calls().empty());
    EXPECT_EQ(progress.Calls().back(), (ProgressCall{Kind::SetPos, 0, 0}));
    EXPECT_GE(progress.Count(Kind::StepIt), 4u) << "the fifth may be cut short by the stop";
    EXPECT_LT(progress.Count(Kind::StepIt), kChunks);
}

TEST_P(CloneEngineTest, IncompleteSetUpAndBadRangesSendNothing) {
    auto bare = MakeEngine();
    bare->SetProgress(nullptr);
    EXPECT_EQ(bare->WriteRadio(), kResultBadParameter);
    EXPECT_EQ(bare->ReadRadio(), kResultBadParameter);
    EXPECT_TRUE(progress.Calls().empty());

    EXPECT_EQ(engine->WriteRange(0x2000, 1), kResultBadParameter);
    EXPECT_EQ(engine->ReadRange(0x1FF0, 0x11), kResultBadParameter);
    EXPECT_EQ(engine->ReadRange(0x0100, 0), kResultOk);
    EXPECT_TRUE(Letters().empty());
    EXPECT_TRUE(!Serial() || PortIsFree()) << "no port was opened";
}

using UsbEngineTest = OnLink<Link::Usb>;

TEST_F(UsbEngineTest, HandShakeLooksForTheDeviceItself) {
    backend.SetPlugged(false);
    ExpectResult(engine->HandShake(), kResultNoRadio, "Radio is not detected!");
    EXPECT_EQ(Counters().frames, 0u);

    backend.SetPlugged(true);
    EXPECT_EQ(engine->HandShake(), kResultOk);
    EXPECT_EQ(engine->HandShake(), kResultOk);
    EXPECT_EQ(backend.Opens(), 1u) << "a present device is used as it is";
    EXPECT_EQ(Letters(), "AA");
}

}  // namespace
}  // namespace orven
