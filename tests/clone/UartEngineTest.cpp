#include "clone/CPcUartClone.h"

#include "clone/CloneResult.h"
#include "clone/EngineTestSupport.h"
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

TEST_F(UartEngineTest, HandShakeGetsTheIdentifyReplyAndKeepsThePortOpen) {
    EXPECT_EQ(engine.HandShake(), kResultOk);
    const std::vector<CloneFrame> log = Log();
    ASSERT_EQ(log.size(), 1u);
    const CloneFrame identify = MakeIdentifyFrame();
    EXPECT_EQ(0, std::memcmp(&log[0], &identify, kFrameSize));
    EXPECT_FALSE(PortIsFree());
}

TEST_F(UartEngineTest, SilentLineMeansNoAdaptor) {
    SetFaults([](SimFaults& f) { f.noEcho = true; });
    ExpectResult(engine.HandShake(), kResultNoAdaptor, "Adaptor is not detected!");
    EXPECT_EQ(Counters().frames, 3u) << "three attempts";
    EXPECT_EQ(Counters().identifies, 0u);
}

TEST_F(UartEngineTest, EchoWithoutReplyMeansNoRadio) {
    SetFaults([](SimFaults& f) { f.noRadio = true; });
    ExpectResult(engine.HandShake(), kResultNoRadio, "Radio is not detected!");
    EXPECT_EQ(Counters().frames, 3u);
}

TEST_F(UartEngineTest, ReplyIsFoundAfterNoise) {
    SetFaults([](SimFaults& f) { f.noiseBytes = 9; });
    EXPECT_EQ(engine.HandShake(), kResultOk);
    EXPECT_EQ(Counters().frames, 1u) << "found on the first attempt";
}

TEST_F(UartEngineTest, ReplySplitOverSeveralPollsIsFound) {
    SetFaults([](SimFaults& f) {
        f.replyPieces = 4;
        f.pieceDelay = 6ms;  // the pieces land in different 2 ms polls
    });
    EXPECT_EQ(engine.HandShake(), kResultOk);
    EXPECT_EQ(Counters().frames, 1u);
}

TEST_F(UartEngineTest, StrayDollarHidesTheReplyAndOnlyARetryFindsIt) {
    // "$" then the reply's "$R...": the second '$' does not start a frame.
    SetFaults([](SimFaults& f) { f.strayDollar = true; });
    ExpectResult(engine.HandShake(), kResultNoRadio, "Radio is not detected!");
    EXPECT_EQ(Counters().identifies, 3u) << "the radio answered every time";

    SetFaults([](SimFaults& f) { f.scope.onlyFrame = 4; });  // the next attempt only
    EXPECT_EQ(engine.HandShake(), kResultOk);
    EXPECT_EQ(Counters().frames, 5u);
}

TEST_F(UartEngineTest, BadPrefixOnIdentifyMeansNoRadio) {
    SetFaults([](SimFaults& f) { f.badPrefix = true; });
    ExpectResult(engine.HandShake(), kResultNoRadio, "Radio is not detected!");
    EXPECT_EQ(Counters().frames, 3u);
}

TEST_F(UartEngineTest, BadPrefixOnDataIsAChecksumError) {
    FillPattern(images->read, 3);
    const RadioImage before = images->read;
    ASSERT_EQ(engine.HandShake(), kResultOk);
    SetFaults([](SimFaults& f) { f.badPrefix = true; });
    ExpectResult(engine.ExchangeRead(0x0100, 20), kResultChecksum, "CheckSum Error");
    ExpectResult(engine.ExchangeWrite(0x0100, 20), kResultChecksum, "CheckSum Error");
    EXPECT_EQ(Letters(Log()), "ARRRWWW");
    EXPECT_EQ(images->read, before) << "a refused reply is not copied";
}

TEST_F(UartEngineTest, BadChecksumIsAChecksumError) {
    SetFaults([](SimFaults& f) { f.badChecksum = true; });
    ExpectResult(engine.HandShake(), kResultChecksum, "CheckSum Error");
    SetFaults([](SimFaults& f) { f.badChecksum = false; });
    ASSERT_EQ(engine.HandShake(), kResultOk);
    SetFaults([](SimFaults& f) { f.badChecksum = true; });
    ExpectResult(engine.ExchangeRead(0x0200, 20), kResultChecksum, "CheckSum Error");
    EXPECT_EQ(Letters(Log()), "AAAARRR");
}

TEST_F(UartEngineTest, WrongAcknowledgementIsAWriteError) {
    ASSERT_EQ(engine.HandShake(), kResultOk);
    SetFaults([](SimFaults& f) { f.wrongAck = true; });
    ExpectResult(engine.ExchangeWrite(0x0100, 20), kResultWriteError, "Write Error.");
    EXPECT_EQ(Letters(Log()), "AWWW");
    // A read reply is not an acknowledgement: the same fault leaves reads alone.
    EXPECT_EQ(engine.ExchangeRead(0x0100, 20), kResultOk);
}

TEST_F(UartEngineTest, FaultOnTheFirstAttemptOnlyIsRetriedAndTraced) {
    state.traceLog = 1;
    engine.OpenTrace();
    FillPattern(images->write, 1);
    FillPattern(images->read, 2);
    radio.WithRadio([](SimulatedRadio& r) { FillPattern(r.Memory(), 5); });
    SetFaults([](SimFaults& f) {
        f.badChecksum = true;
        f.scope.onlyFrame = 1;
    });
    ASSERT_EQ(engine.HandShake(), kResultOk);
    SetFaults([](SimFaults& f) {
        f.badChecksum = false;
        f.noRadio = true;
        f.scope.onlyFrame = 3;  // the read's first attempt
    });
    ASSERT_EQ(engine.ExchangeRead(0x0140, 20), kResultOk);
    EXPECT_EQ(Letters(Log()), "AARR");

    const RadioImage memory = Memory();
    EXPECT_TRUE(std::equal(memory.begin() + 0x0140, memory.begin() + 0x0154, images->read.begin() + 0x0140));
    engine.CloseTrace();
    // One record per attempt, the failed ones included.
    const auto records = TraceRecordsOf(dir.File(kTraceFileName));
    EXPECT_EQ(records.size(), 4u);
    ExpectTraceRecords(records, images->write, images->read);
}

TEST_F(UartEngineTest, SilenceInTheMiddleOfAReadKeepsWhatArrived) {
    radio.WithRadio([](SimulatedRadio& r) {
        FillPattern(r.Memory(), 9);
        r.Faults().silentAfterFrames = 2 + 10;  // two identifies and ten chunks
    });
    FillPattern(images->read, 4);
    std::memset(settings.get(), 0x5A, sizeof(RadioSettings));
    const auto before = std::make_unique<RadioSettings>(*settings);

    ExpectResult(engine.ReadRadio(), kResultNoRadio, "Radio is not detected!");

    EXPECT_EQ(Letters(Log()), "AA" + std::string(10 + 3, 'R'));
    const RadioImage memory = Memory();
    const std::size_t readEnd = 0x0100 + 10 * 20;
    for (std::size_t a = 0; a < kImageSize; ++a) {
        const std::uint8_t want = a >= 0x0100 && a < readEnd ? memory[a] : 0;
        ASSERT_EQ(images->read[a], want) << "address " << a;
    }
    EXPECT_EQ(0, std::memcmp(settings.get(), before.get(), sizeof(RadioSettings))) << "not decoded";

    std::vector<ProgressCall> expected = {{Kind::SetRange, 0, 76}, {Kind::SetStep, 1, 0}};
    expected.insert(expected.end(), 10, ProgressCall{Kind::StepIt, 0, 0});
    expected.push_back({Kind::SetPos, 0, 0});
    EXPECT_EQ(progress.Calls(), expected);
    EXPECT_TRUE(PortIsFree()) << "the read closes the port";
}

TEST_F(UartEngineTest, TraceAndDumpOfAReadThatFailsInTheMiddle) {
    state.traceLog = 1;
    state.dumpImages = 1;
    engine.OpenTrace();
    FillPattern(images->write, 6);  // a read leaves the write image alone
    radio.WithRadio([](SimulatedRadio& r) {
        FillPattern(r.Memory(), 8);
        r.Faults().silentAfterFrames = 2 + 3;
    });

    ASSERT_EQ(engine.ReadRadio(), kResultNoRadio);

    // 2 identifies, 3 good chunks, 3 attempts at the fourth.
    const auto records = TraceRecordsOf(dir.File(kTraceFileName));
    EXPECT_EQ(records.size(), 8u);
    ExpectTraceRecords(records, images->write, images->read);

    const std::vector<std::uint8_t> dump = ReadBytes(dir.File(kReadDumpFileName));
    ASSERT_EQ(dump.size(), kImageSize);
    EXPECT_TRUE(std::equal(dump.begin(), dump.end(), images->read.begin()));
    const RadioImage memory = Memory();
    EXPECT_TRUE(std::equal(memory.begin() + 0x0100, memory.begin() + 0x013C, dump.begin() + 0x0100));
    EXPECT_EQ(dump[0x013C], 0);
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

TEST_F(UartEngineTest, LastChunkCarriesSixteenBytesAndZeroPadding) {
    images->write.fill(0xEE);
    ASSERT_EQ(engine.HandShake(), kResultOk);
    ASSERT_EQ(engine.ExchangeWrite(0x06F0, 16), kResultOk) << "the acknowledgement repeats the zeros";

    const CloneFrame sent = Log().back();
    EXPECT_EQ(sent.letter, kLetterWrite);
    EXPECT_EQ(sent.length, 16);
    EXPECT_EQ(FrameAddress(sent), 0x06F0);
    for (std::size_t i = 0; i < kFrameDataSize; ++i) EXPECT_EQ(sent.data[i], i < 16 ? 0xEE : 0) << i;
    const RadioImage memory = Memory();
    EXPECT_EQ(memory[0x06FF], 0xEE);
    EXPECT_EQ(memory[0x0700], 0) << "nothing beyond the clone range";

    ASSERT_EQ(engine.ExchangeRead(0x06F0, 16), kResultOk);
    EXPECT_EQ(images->read[0x06F0], 0xEE);
    EXPECT_EQ(images->read[0x06FF], 0xEE);
    EXPECT_EQ(images->read[0x0700], 0);
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

    const std::vector<ProgressCall> calls = progress.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.back(), (ProgressCall{Kind::SetPos, 0, 0}));
    EXPECT_GE(progress.Count(Kind::StepIt), 4u) << "the fifth may be cut short by the stop";
    EXPECT_LT(progress.Count(Kind::StepIt), kChunks);
}

TEST_F(UartEngineTest, BaudIndexOutOfRangeIsCorrectedInTheState) {
    state.baudIndex = 9;
    ASSERT_EQ(engine.HandShake(), kResultOk);
    EXPECT_EQ(state.baudIndex, 1);
}

TEST_F(UartEngineTest, MissingPortIsAnOpenError) {
    engine.SetDevicePath(dir.File("no-such-port"));
    ExpectResult(engine.HandShake(), kResultOpenPort, "Open Comp Port Error.");
    ExpectResult(engine.ReadRadio(), kResultOpenPort, "Open Comp Port Error.");
    ExpectResult(engine.WriteRadio(), kResultOpenPort, "Open Comp Port Error.");
    EXPECT_EQ(progress.Calls(), (std::vector<ProgressCall>{{Kind::SetPos, 0, 0}, {Kind::SetPos, 0, 0}}));
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

TEST_F(UartEngineTest, FastTransferWritesAndReadsTheDocument) {
    engine.SetTiming(kFastTransferTiming);
    ASSERT_EQ(engine.WriteRadio(), kResultOk);
    EXPECT_EQ(progress.Calls(), FullTransferProgress());
    const RadioImage expected = EncodedImage(*settings, state);
    const RadioImage memory = Memory();
    EXPECT_TRUE(std::equal(memory.begin() + kCloneFirst, memory.begin() + kCloneLast + 1,
                           expected.begin() + kCloneFirst));

    auto read = std::make_unique<RadioSettings>();
    engine.SetSettings(read.get());
    progress.Clear();
    ASSERT_EQ(engine.ReadRadio(), kResultOk);
    EXPECT_EQ(progress.Calls(), FullTransferProgress());
    ExpectSameDocument(*read, *settings);
    EXPECT_EQ(Letters(Log()), "A" + std::string(kChunks, 'W') + "AA" + std::string(kChunks, 'R'));
}

TEST_F(UartEngineTest, FastTransferKeepsTheFailureCodes) {
    engine.SetTiming(kFastTransferTiming);
    SetFaults([](SimFaults& f) { f.noEcho = true; });
    ExpectResult(engine.HandShake(), kResultNoAdaptor, "Adaptor is not detected!");
    SetFaults([](SimFaults& f) {
        f.noEcho = false;
        f.noRadio = true;
    });
    ExpectResult(engine.HandShake(), kResultNoRadio, "Radio is not detected!");
    SetFaults([](SimFaults& f) {
        f.noRadio = false;
        f.strayDollar = true;
    });
    ExpectResult(engine.HandShake(), kResultNoRadio, "Radio is not detected!");
    EXPECT_EQ(Counters().frames, 9u) << "three attempts each";

    // Pauses inside a reply are longer than the quiet gap, but the frame is not complete yet.
    SetFaults([](SimFaults& f) {
        f.strayDollar = false;
        f.replyPieces = 4;
        f.pieceDelay = 6ms;
    });
    EXPECT_EQ(engine.HandShake(), kResultOk);
    EXPECT_EQ(Counters().frames, 10u);
}

TEST_F(UartEngineTest, FastTransferHandlesTheReplyFaultsAsTheProductTimingDoes) {
    engine.SetTiming(kFastTransferTiming);
    SetFaults([](SimFaults& f) { f.noiseBytes = 9; });
    EXPECT_EQ(engine.HandShake(), kResultOk);
    EXPECT_EQ(Counters().frames, 1u) << "found after the noise on the first attempt";

    SetFaults([](SimFaults& f) {
        f.noiseBytes = 0;
        f.badChecksum = true;
    });
    ExpectResult(engine.HandShake(), kResultChecksum, "CheckSum Error");
    ExpectResult(engine.ExchangeRead(0x0100, 20), kResultChecksum, "CheckSum Error");

    SetFaults([](SimFaults& f) {
        f.badChecksum = false;
        f.wrongAck = true;
    });
    ExpectResult(engine.ExchangeWrite(0x0100, 20), kResultWriteError, "Write Error.");

    // A bad first attempt is retried and the exchange still succeeds.
    const std::uint32_t seen = Counters().frames;
    SetFaults([seen](SimFaults& f) {
        f.wrongAck = false;
        f.badChecksum = true;
        f.scope.onlyFrame = seen + 1;
    });
    EXPECT_EQ(engine.ExchangeRead(0x0100, 20), kResultOk);
    EXPECT_EQ(Counters().frames, seen + 2);
}

TEST_F(UartEngineTest, FastTransferSilenceInTheMiddleOfAReadKeepsWhatArrived) {
    engine.SetTiming(kFastTransferTiming);
    radio.WithRadio([](SimulatedRadio& r) {
        FillPattern(r.Memory(), 9);
        r.Faults().silentAfterFrames = 2 + 10;  // two identifies and ten chunks
    });
    std::memset(settings.get(), 0x5A, sizeof(RadioSettings));
    const auto before = std::make_unique<RadioSettings>(*settings);

    ExpectResult(engine.ReadRadio(), kResultNoRadio, "Radio is not detected!");
    EXPECT_EQ(Letters(Log()), "AA" + std::string(10 + 3, 'R'));
    const RadioImage memory = Memory();
    EXPECT_TRUE(std::equal(memory.begin() + 0x0100, memory.begin() + 0x0100 + 10 * 20, images->read.begin() + 0x0100));
    EXPECT_EQ(0, std::memcmp(settings.get(), before.get(), sizeof(RadioSettings))) << "not decoded";
}

TEST_F(UartEngineTest, FastReceiveEndsSoonAfterTheReply) {
    engine.SetTiming(kLongFastTransferTiming);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(engine.HandShake(), kResultOk);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms) << "not the one-second longest wait";
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

// The one test on the product's timing: 20 polls of 20 ms per receive, whatever arrives.
TEST_F(UartEngineTest, ProductTimingReceiveLastsAtLeast400ms) {
    engine.SetTiming(CloneTiming{});
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(engine.HandShake(), kResultOk);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 20ms + 400ms) << "the stop test and the twenty polls";
    EXPECT_LT(elapsed, 2s);
}

}  // namespace
}  // namespace orven
