#include "clone/CPcUartClone.h"

#include "clone/CloneResult.h"
#include "clone/EngineTestSupport.h"
#include "files/Paths.h"
#include "link/CPCUart.h"
#include "sim/SimulatedRadioPty.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <thread>

namespace orven {
namespace {

using namespace orven::test;
using Kind = ProgressCall::Kind;

// The serial engine against the simulated adaptor and radio behind a real pseudo-terminal.
class UartEngineTest : public ::testing::Test, protected RadioAccess<SimulatedRadioPty> {
protected:
    UartEngineTest() : RadioAccess(radio) {}

    void SetUp() override {
        ASSERT_TRUE(radio.Start());
        Prepare(engine);
    }

    void Prepare(CPcUartClone& e) {
        e.SetDevicePath(radio.DevicePath());
        e.SetSettings(settings.get());
        e.SetAppState(&state);
        e.SetProgress(&progress);
        e.SetDirectory(dir.path());
        e.SetTiming(kFastTiming);
        e.SetImages(images->write, images->read);
    }

    // Whether another program could take the port now.
    bool PortIsFree() {
        CPCUart probe;
        return probe.OpenPath(radio.DevicePath(), 9600);
    }

    StopEventReset stopReset;
    TempDir dir;
    SimulatedRadioPty radio;
    AppState state = SerialState();
    std::unique_ptr<RadioSettings> settings = EuropeanDocument();
    std::unique_ptr<ImagePair> images = std::make_unique<ImagePair>();
    RecordingProgress progress;
    CPcUartClone engine;  // last, so that it lets go of the port before the radio stops
};

// What each fault ends in, and after how many attempts, with the polled receive and with the
// fast transfer. A refused read reply is not copied; a read reply is not an acknowledgement, so
// a changed acknowledgement leaves reads alone.
TEST_F(UartEngineTest, ReplyFaultsEndInTheirCodeAfterThreeAttempts) {
    enum class On { HandShake, Read, Write };
    struct Case {
        const char* what;
        void (*fault)(SimFaults&);
        On on;
        CloneResult code;
    };
    const Case cases[] = {
        {"silent line", [](SimFaults& f) { f.noEcho = true; }, On::HandShake, kResultNoAdaptor},
        {"echo without reply", [](SimFaults& f) { f.noRadio = true; }, On::HandShake, kResultNoRadio},
        // "$" then the reply's "$R...": the second '$' does not start a frame.
        {"stray dollar", [](SimFaults& f) { f.strayDollar = true; }, On::HandShake, kResultNoRadio},
        {"bad prefix", [](SimFaults& f) { f.badPrefix = true; }, On::HandShake, kResultNoRadio},
        {"bad checksum", [](SimFaults& f) { f.badChecksum = true; }, On::HandShake, kResultChecksum},
        {"noise before the reply", [](SimFaults& f) { f.noiseBytes = 9; }, On::HandShake, kResultOk},
        // Pauses inside the reply are longer than a poll and than the quiet gap.
        {"reply in pieces", [](SimFaults& f) { f.replyPieces = 4, f.pieceDelay = 6ms; }, On::HandShake, kResultOk},
        {"bad prefix on a read", [](SimFaults& f) { f.badPrefix = true; }, On::Read, kResultChecksum},
        {"bad prefix on a write", [](SimFaults& f) { f.badPrefix = true; }, On::Write, kResultChecksum},
        {"bad checksum on a read", [](SimFaults& f) { f.badChecksum = true; }, On::Read, kResultChecksum},
        {"changed acknowledgement", [](SimFaults& f) { f.wrongAck = true; }, On::Write, kResultWriteError},
        {"read under a changed acknowledgement", [](SimFaults& f) { f.wrongAck = true; }, On::Read, kResultOk},
    };
    FillPattern(images->read, 3);
    for (const CloneTiming& timing : {kFastTiming, kFastTransferTiming}) {
        engine.SetTiming(timing);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (timing.fast ? ", fast transfer" : ", polled receive"));
            OnlyFault([](SimFaults&) {});
            if (c.on != On::HandShake) {
                ASSERT_EQ(engine.HandShake(), kResultOk);
            }
            const RadioImage before = images->read;
            OnlyFault(c.fault);
            const CloneResult result = c.on == On::HandShake ? engine.HandShake()
                                       : c.on == On::Read    ? engine.ExchangeRead(0x0100, 20)
                                                             : engine.ExchangeWrite(0x0100, 20);
            EXPECT_EQ(result, c.code) << ResultText(result);
            EXPECT_EQ(Counters().frames, c.code == kResultOk ? 1u : 3u);
            if (c.code != kResultOk) {
                EXPECT_EQ(images->read, before);
            }
        }
    }
}

// The radio falls silent after ten chunks: the read fails, keeps the ten chunks and nothing
// else, decodes nothing, traces every attempt, dumps what it has and closes the port.
TEST_F(UartEngineTest, SilenceInTheMiddleOfAReadKeepsWhatArrived) {
    state.traceLog = 1;
    state.dumpImages = 1;
    engine.SetTiming(kFastTransferTiming);
    engine.OpenTrace();
    FillPattern(images->write, 6);  // a read leaves the write image alone
    std::memset(settings.get(), 0x5A, sizeof(RadioSettings));
    const auto before = std::make_unique<RadioSettings>(*settings);
    radio.WithRadio([](SimulatedRadio& r) {
        FillPattern(r.Memory(), 9);
        r.Faults().silentAfterFrames = 2 + 10;  // two identifies and ten chunks
    });

    ExpectResult(engine.ReadRadio(), kResultNoRadio, "Radio is not detected!");

    EXPECT_EQ(Letters(Log()), "AA" + std::string(10 + 3, 'R'));
    const RadioImage memory = Memory();
    for (std::size_t a = 0; a < kImageSize; ++a)
        ASSERT_EQ(images->read[a], a >= 0x0100 && a < 0x0100 + 10 * 20 ? memory[a] : 0) << "address " << a;
    EXPECT_EQ(0, std::memcmp(settings.get(), before.get(), sizeof(RadioSettings))) << "not decoded";
    EXPECT_EQ(progress.Calls(), TransferProgress(10));
    EXPECT_TRUE(PortIsFree()) << "the read closes the port";

    // 2 identifies, 10 good chunks, 3 attempts at the eleventh.
    const auto records = TraceRecordsOf(dir.File(kTraceFileName));
    EXPECT_EQ(records.size(), 15u);
    ExpectTraceRecords(records, images->write, images->read);
    const std::vector<std::uint8_t> dump = ReadBytes(dir.File(kReadDumpFileName));
    EXPECT_TRUE(std::equal(dump.begin(), dump.end(), images->read.begin(), images->read.end()));
    EXPECT_FALSE(std::filesystem::exists(dir.File(kWriteDumpFileName)));
}

TEST_F(UartEngineTest, WriteDumpsTheEncodedImageEvenWhenNoRadioAnswers) {
    state.traceLog = 1;
    state.dumpImages = 1;
    engine.OpenTrace();
    SetFaults([](SimFaults& f) { f.noRadio = true; });

    ExpectResult(engine.WriteRadio(), kResultNoRadio, "Radio is not detected!");

    const RadioImage expected = EncodedImage(*settings, state);
    EXPECT_EQ(images->write, expected);
    const std::vector<std::uint8_t> dump = ReadBytes(dir.File(kWriteDumpFileName));
    ASSERT_EQ(dump.size(), kImageSize);
    EXPECT_TRUE(std::equal(dump.begin(), dump.end(), expected.begin()));
    EXPECT_EQ(TraceRecordsOf(dir.File(kTraceFileName)).size(), 3u);
    EXPECT_EQ(Letters(Log()), "AAA") << "nothing written after a failed handshake";
    EXPECT_EQ(progress.Calls(), (std::vector<ProgressCall>{{Kind::SetPos, 0, 0}}))
        << "the serial engine announces no range without a radio";
    EXPECT_TRUE(PortIsFree());
}

TEST_F(UartEngineTest, StopDuringAWriteEndsItAtOnce) {
    std::atomic<std::uint32_t> framesAtStop{0};
    std::thread stopper([&] {
        WaitUntil([&] { return Counters().writes >= 5; }, 20s);
        radio.WithRadio([&](SimulatedRadio& r) {
            // Under the radio's lock: no frame can arrive between the count and the stop.
            framesAtStop = r.Counters().frames;
            CloneStopEvent.Set();
        });
    });
    const CloneResult result = engine.WriteRadio();
    stopper.join();

    ExpectResult(result, kResultUserCancel, "User Cancel.");
    EXPECT_TRUE(PortIsFree()) << "the write closed the port";
    std::this_thread::sleep_for(100ms);  // time for anything still on the line to arrive
    const std::uint32_t frames = Counters().frames;
    EXPECT_GE(frames, framesAtStop.load());
    EXPECT_LE(frames, framesAtStop + 1) << "at most the frame already on its way";
    EXPECT_LT(frames, 1 + kChunks);

    ASSERT_FALSE(progress.Calls().empty());
    EXPECT_EQ(progress.Calls().back(), (ProgressCall{Kind::SetPos, 0, 0}));
    EXPECT_GE(progress.Count(Kind::StepIt), 4u) << "the fifth may be cut short by the stop";
    EXPECT_LT(progress.Count(Kind::StepIt), kChunks);
}

TEST_F(UartEngineTest, IncompleteSetUpAndBadRangesSendNothing) {
    CPcUartClone bare;
    Prepare(bare);
    bare.SetProgress(nullptr);
    EXPECT_EQ(bare.WriteRadio(), kResultBadParameter);
    EXPECT_EQ(bare.ReadRadio(), kResultBadParameter);
    EXPECT_TRUE(progress.Calls().empty());

    EXPECT_EQ(engine.WriteRange(0x2000, 1), kResultBadParameter);
    EXPECT_EQ(engine.ReadRange(0x1FF0, 0x11), kResultBadParameter);
    EXPECT_EQ(engine.ReadRange(0x0100, 0), kResultOk);
    EXPECT_TRUE(Log().empty());
    EXPECT_TRUE(PortIsFree()) << "no port was opened";
}

// The first reply to chunk 1 comes after its receive gave up, and lands after the echo of
// chunk 2, whose own reply is slow: its data must not be taken for chunk 2's.
TEST_F(UartEngineTest, LateReplyToAnotherChunkIsNotTakenForThisOne) {
    engine.SetTiming(kLongFastTransferTiming);  // one-second receives
    SetPlan([](std::uint32_t frame) {
        SimFaults f;
        if (frame == 2) f.replyDelay = 1250ms;  // frame 1 is the identify exchange
        if (frame == 4) f.replyDelay = 500ms;
        return f;
    });
    RadioImage memory{};
    FillPattern(memory, 3);
    radio.WithRadio([&](SimulatedRadio& r) { r.Memory() = memory; });
    ASSERT_EQ(engine.HandShake(), kResultOk);

    EXPECT_EQ(engine.ReadRange(0x0100, 40), kResultOk);
    EXPECT_TRUE(std::equal(memory.begin() + 0x0100, memory.begin() + 0x0128, images->read.begin() + 0x0100));
    EXPECT_EQ(Counters().frames, 5u) << "chunk 2 refused the late reply once";
}

// Chunk data whose checksum byte is 0x00: a repeated zero inside the reply shifts the data by
// one and still passes the checksum. Only the byte left over after the frame gives it away.
TEST_F(UartEngineTest, ReplyWithARepeatedByteIsRefusedEvenWhenItsChecksumPasses) {
    radio.WithRadio([](SimulatedRadio& r) {
        std::fill(r.Memory().begin() + 0x0100, r.Memory().begin() + 0x0114, 0x00);
        r.Memory()[0x0105] = 0x47;  // the XOR of 'R', 20 and the address 0x0100
    });
    SetPlan([](std::uint32_t frame) {
        SimFaults f;
        if (frame == 2) f.lineFault = {LineFault::Kind::Duplicate, kFrameDataOffset};
        return f;
    });
    for (const CloneTiming& timing : {kFastTiming, kFastTransferTiming}) {
        SCOPED_TRACE(timing.fast ? "fast transfer" : "polled receive");
        engine.SetTiming(timing);
        radio.WithRadio([](SimulatedRadio& r) { r.ClearHistory(); });
        images->read.fill(0xEE);
        ASSERT_EQ(engine.HandShake(), kResultOk);
        EXPECT_EQ(engine.ExchangeRead(0x0100, 20), kResultOk);
        EXPECT_EQ(images->read[0x0105], 0x47);
        EXPECT_EQ(images->read[0x0106], 0x00);
        EXPECT_EQ(Counters().frames, 3u) << "the spoiled reply was refused once";
    }
}

TEST_F(UartEngineTest, FastReceiveOnASilentLineStopsWhenAsked) {
    engine.SetTiming(kLongFastTransferTiming);
    SetFaults([](SimFaults& f) { f.noRadio = true; });
    std::chrono::steady_clock::time_point stoppedAt;
    std::thread stopper([&] {
        WaitUntil([&] { return Counters().frames >= 1; });
        stoppedAt = std::chrono::steady_clock::now();
        CloneStopEvent.Set();
    });
    const CloneResult result = engine.HandShake();
    const auto returnedAt = std::chrono::steady_clock::now();
    stopper.join();

    ExpectResult(result, kResultUserCancel, "User Cancel.");
    EXPECT_LT(returnedAt - stoppedAt, 500ms) << "not the one-second longest wait";
    EXPECT_EQ(Counters().frames, 1u) << "no further attempt";
}

// The product's timing waits out 20 polls of 20 ms per receive, whatever arrives; the fast
// transfer ends soon after the reply. A baud index out of range is corrected in the state.
TEST_F(UartEngineTest, ReceiveTimingAndBaudCorrection) {
    state.baudIndex = 9;
    engine.SetTiming(CloneTiming{});
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(engine.HandShake(), kResultOk);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 20ms + 400ms) << "the stop test and the twenty polls";
    EXPECT_LT(elapsed, 2s);
    EXPECT_EQ(state.baudIndex, 1);

    engine.SetTiming(kLongFastTransferTiming);
    start = std::chrono::steady_clock::now();
    ASSERT_EQ(engine.HandShake(), kResultOk);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms) << "not the one-second longest wait";
}

}  // namespace
}  // namespace orven
