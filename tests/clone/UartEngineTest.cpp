// The serial engine's receive against the simulated adaptor and radio behind a real
// pseudo-terminal: what arrives late, spoiled or not at all, and how long a receive waits.
#include "clone/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orven {
namespace {

using namespace orven::test;

using UartEngineTest = OnLink<Link::Serial>;

// The first reply to chunk 1 comes after its fast receive gave up, and after the retry (in the
// polled receive the transfer then falls back to) has taken the chunk: it lands after the echo of
// chunk 2, which the radio does not answer, and must not be taken for chunk 2's reply.
TEST_F(UartEngineTest, LateReplyToAnotherChunkIsNotTakenForThisOne) {
    engine->SetTiming(CloneTiming{25ms, 20, 30ms, true});  // half-second receives
    SetPlan([](std::uint32_t frame) {
        SimFaults f;
        if (frame == 2) f.replyDelay = 1200ms;  // frame 1 is the identify exchange
        if (frame == 4) f.noRadio = true;
        return f;
    });
    RadioImage memory{};
    FillPattern(memory, 3);
    OnRadio([&](SimulatedRadio& r) { r.Memory() = memory; });
    ASSERT_EQ(engine->HandShake(), kResultOk);

    EXPECT_EQ(engine->ReadRange(0x0100, 40), kResultOk);
    EXPECT_TRUE(std::equal(memory.begin() + 0x0100, memory.begin() + 0x0128, readImage.begin() + 0x0100));
    EXPECT_EQ(Counters().frames, 5u) << "chunk 2 refused the late reply once";
}

// Chunk data whose checksum byte is 0x00: a repeated zero inside the reply shifts the data by
// one and still passes the checksum. Only the byte left over after the frame gives it away, also
// when it comes after the rest: after it takes a complete frame, a fast transfer waits for a
// quiet line a byte and a half long (3.1 ms at 4800 baud) and as long again as the longest
// silence between bytes of the reply: here each byte comes 4 ms after the one before, 1.9 ms
// more than its byte time, so the receive waits 5 ms for the byte that comes 4 ms later.
TEST_F(UartEngineTest, ReplyWithARepeatedByteIsRefusedEvenWhenItsChecksumPasses) {
    OnRadio([](SimulatedRadio& r) {
        std::fill(r.Memory().begin() + 0x0100, r.Memory().begin() + 0x0114, 0x00);
        r.Memory()[0x0105] = 0x47;  // the XOR of 'R', 20 and the address 0x0100
    });
    // pieces 33: one byte at a time, the left-over byte too.
    const struct { const char* what; CloneTiming timing; std::size_t pieces; } cases[] = {
        {"polled receive", kFastTiming, 1}, {"fast transfer", kFastTransferTiming, 1},
        {"fast transfer, reply paused between bytes", kLongFastTransferTiming, 33}};
    state.baudIndex = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        engine->SetTiming(c.timing);
        SetPlan([pieces = c.pieces](std::uint32_t frame) {
            SimFaults f;
            if (frame == 2) f.lineFault = {LineFault::Kind::Duplicate, kFrameDataOffset};
            if (frame == 2) f.replyPieces = pieces, f.pieceDelay = 4ms;
            return f;
        });
        OnRadio([](SimulatedRadio& r) { r.ClearHistory(); });
        readImage.fill(0xEE);
        ASSERT_EQ(engine->HandShake(), kResultOk);
        EXPECT_EQ(engine->ExchangeRead(0x0100, 20), kResultOk);
        EXPECT_EQ(readImage[0x0105], 0x47);
        EXPECT_EQ(readImage[0x0106], 0x00);
        EXPECT_EQ(Counters().frames, 3u) << "the spoiled reply was refused once";
    }
}

// A radio deaf for 40 ms after each reply misses the frames of a fast transfer, which follow its
// replies at once: the first miss turns the rest of the transfer over to the polled receive, whose
// pauses it hears, and the trace marks the place. (That the polled receive never falls back, nor a
// fast transfer that meets no failure, the engine tests of every fault show.)
TEST_F(UartEngineTest, FastTransferFallsBackForARadioThatNeedsAPauseAfterItsReply) {
    RadioImage memory{};
    FillPattern(memory, 5);
    OnRadio([&](SimulatedRadio& r) {
        r.Memory() = memory;
        r.Faults().minFrameGap = 40ms;
    });
    state.traceLog = 1;
    engine->SetTiming(CloneTiming{5ms, 20, 30ms, true});  // receives of 100 ms
    engine->OpenTrace();
    ASSERT_EQ(engine->HandShake(), kResultOk);
    EXPECT_EQ(engine->ReadRange(0x0100, 60), kResultOk);
    engine->CloseTrace();

    EXPECT_TRUE(std::equal(memory.begin() + 0x0100, memory.begin() + 0x013C, readImage.begin() + 0x0100));
    EXPECT_EQ(Counters().frames, 1u + 1u + 3u) << "the identify exchange, a missed frame and three chunks";
    EXPECT_TRUE(engine->FellBack());
    const std::vector<std::string> stamps = ExpectTraceRecords(dir.File(kTraceFileName), writeImage, readImage);
    ASSERT_EQ(stamps.size(), 1u + 1u + 3u + 1u);
    EXPECT_EQ(std::count(stamps.begin(), stamps.end(), kTraceFallbackMark), 1);
    EXPECT_EQ(stamps[2], kTraceFallbackMark) << "after the missed frame's attempt";
}

// Chunk data that a repeated zero shifts by one without breaking the checksum: zeros but for the
// XOR of 'R', the length and the address, five bytes in.
void MakeShiftable(RadioImage& memory, std::uint16_t address) {
    std::fill(memory.begin() + address, memory.begin() + address + kChunkSize, 0x00);
    memory[address + 5u] = static_cast<std::uint8_t>('R' ^ kChunkSize ^ (address & 0xFF) ^ (address >> 8));
}

// A fast transfer takes each reply at its last byte. A repeated zero inside one, which leaves its
// checksum whole, is still found by the byte left over after it: in the middle of a read by the
// next frame, even when that byte comes five byte times late (ahead of the frame's echo, or inside
// it), after the last chunk by the quiet gap at the end. The chunk is read again, and the rest of
// the read falls back; when that fails too, its data does not stay in the image.
TEST_F(UartEngineTest, AReplyTakenAtItsLastByteIsReadAgainWhenAByteTrailsIt) {
    const struct {
        const char* what;
        std::uint32_t frame;  // frame 1 is the identify exchange
        std::chrono::milliseconds late;
        bool silentAfter;
    } cases[] = {
        {"the middle chunk, its byte at once", 3, 0ms, false},
        {"the middle chunk, its byte late", 3, 5ms, false},
        {"the last chunk, its byte at once", 4, 0ms, false},
        {"the middle chunk, its byte late, and the radio silent after it", 3, 5ms, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto address = static_cast<std::uint16_t>(0x0100 + (c.frame - 2) * kChunkSize);
        engine = MakeEngine();
        engine->SetTiming(CloneTiming{10ms, 20, 30ms, true});  // receives of 200 ms
        RadioImage memory{};
        FillPattern(memory, 4);
        MakeShiftable(memory, address);
        OnRadio([&](SimulatedRadio& r) {
            r.Memory() = memory;
            r.Faults().baud = 9600;  // as the state says: the echo that shows a trailing byte takes 34 ms
            r.ClearHistory();
        });
        SetPlan([&c](std::uint32_t frame) {
            SimFaults f;
            if (frame == c.frame) f.lineFault = {LineFault::Kind::Duplicate, kFrameDataOffset};
            if (frame == c.frame) f.lastBytePause = c.late;
            f.noRadio = c.silentAfter && frame > c.frame;
            return f;
        });
        readImage.fill(0);
        ASSERT_EQ(engine->HandShake(), kResultOk);
        const CloneResult result = engine->ReadRange(0x0100, 3 * kChunkSize);
        EXPECT_TRUE(engine->FellBack());
        std::vector<std::uint16_t> asked;
        for (const CloneFrame& f : OnRadio([](SimulatedRadio& r) { return r.Log(); })) asked.push_back(FrameAddress(f));
        if (c.silentAfter) {
            ExpectResult(result, kResultNoRadio, "Radio is not detected!");
            EXPECT_TRUE(std::equal(memory.begin() + 0x0100, memory.begin() + address, readImage.begin() + 0x0100));
            EXPECT_TRUE(std::all_of(readImage.begin() + address, readImage.end(), [](std::uint8_t b) { return b == 0; }));
            EXPECT_EQ(std::count(asked.begin(), asked.end(), address), 3) << "every attempt";
            continue;
        }
        EXPECT_EQ(result, kResultOk) << ResultText(result);
        EXPECT_TRUE(std::equal(memory.begin() + 0x0100, memory.begin() + 0x013C, readImage.begin() + 0x0100));
        EXPECT_EQ(std::count(asked.begin(), asked.end(), address), 2) << "the chunk was read again";
        EXPECT_EQ(asked.back(), 0x0128) << "and the read went on in order";
    }
}

TEST_F(UartEngineTest, FastReceiveOnASilentLineStopsWhenAsked) {
    engine->SetTiming(kLongFastTransferTiming);
    OnlyFault([](SimFaults& f) { f.noRadio = true; });
    std::chrono::steady_clock::time_point stoppedAt;
    std::thread stopper([&] {
        WaitUntil([&] { return Counters().frames >= 1; });
        stoppedAt = std::chrono::steady_clock::now();
        CloneStopEvent.Set();
    });
    const CloneResult result = engine->HandShake();
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
    engine->SetTiming(CloneTiming{});
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(engine->HandShake(), kResultOk);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 20ms + 400ms) << "the stop test and the twenty polls";
    EXPECT_LT(elapsed, 2s);
    EXPECT_EQ(state.baudIndex, 1);

    engine->SetTiming(kLongFastTransferTiming);
    start = std::chrono::steady_clock::now();
    ASSERT_EQ(engine->HandShake(), kResultOk);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms) << "not the one-second longest wait";
}

}  // namespace
}  // namespace orven
