// What the clone engine tests share: fast timing, a European document with a full private
// list, bounded waiting, and short looks into the simulated radio.
#pragma once

#include "clone/CloneEvent.h"
#include "clone/CloneFrame.h"
#include "clone/CloneResult.h"
#include "clone/CloneTiming.h"
#include "clone/CloneTrace.h"
#include "sim/RecordingProgress.h"
#include "model/AppState.h"
#include "model/ImageCodec.h"
#include "model/RadioImage.h"
#include "model/RadioSettings.h"
#include "sim/SimulatedRadio.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace orven::test {

using namespace std::chrono_literals;

// 2 ms polls: a serial receive takes about 40 ms instead of 400 ms.
inline constexpr CloneTiming kFastTiming{2ms, 20, 30ms};
// The same limits with the fast transfer: a receive ends once the reply is in and the line is quiet.
inline constexpr CloneTiming kFastTransferTiming{2ms, 20, 30ms, true};
// A fast transfer whose longest receive (one second) stands out against the time a test takes.
inline constexpr CloneTiming kLongFastTransferTiming{50ms, 20, 30ms, true};

// 1 + 77: the identify exchange and the chunks of the clone range.
inline constexpr std::uint32_t kChunks = 77;

// A state for the serial link at 9600 baud, tracing and dumps off.
inline AppState SerialState() {
    AppState s = FreshAppState();
    s.modelType = kModelEurInt;
    s.comPort = 1;
    s.baudIndex = 1;
    return s;
}

// An image pair of the test's own, so that an engine leaves the process-wide ones alone.
struct ImagePair {
    RadioImage write{};
    RadioImage read{};
};

// Fills an image with a pattern that has no zero byte, so that copies can be told apart.
inline void FillPattern(RadioImage& image, std::uint8_t seed) {
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(((i * 7 + seed) % 255) + 1);
}

// A European document: 100 private channels with labels of every kind the image can carry
// (two digits, or F L M A C and a digit), TX on the 12.5 kHz grid, RX on the 25 kHz grid,
// usages across the table, all four identities, and bands and steps away from the defaults.
inline std::unique_ptr<RadioSettings> EuropeanDocument() {
    auto s = std::make_unique<RadioSettings>();
    LoadDefaults(*s, kModelEurInt);
    s->txStepIndex = kStep12_5kHz;
    s->rxStepIndex = kStep25kHz;
    s->bandUSA = 0;
    s->bandINTNarrow = 1;
    s->bandWX = 1;
    static const char kLetters[] = "FLMAC";
    for (std::size_t i = 0; i < kMaxPrivateChannels; ++i) {
        ChannelRecord& ch = PrivateChannel(*s, i);
        const std::size_t tens = (i * 13) % 100 / 10;
        ch.label[0] = i % 3 == 0 ? static_cast<char>('0' + tens) : kLetters[i % 5];
        ch.label[1] = static_cast<char>('0' + i % 10);
        ch.usage = static_cast<std::uint8_t>(i % 36);
        ch.txMHz = 156.0 + 0.0125 * static_cast<double>(i * 7 % 160);
        ch.rxMHz = 156.0 + 0.025 * static_cast<double>(i * 3 % 90);
        ch.inUse = 1;
        ch.atisRx = 1;  // what a radio reports for a channel without flags
    }
    CopyText(s->mmsiId, "235012345");
    CopyText(s->atisId, "211987654");
    CopyText(s->nmeaNo, "654321");
    CopyText(s->serialNo, "12345678");
    s->mmsiByUser = 0;
    s->atisByUser = 0;
    return s;
}

// The image a write of the document must leave in the radio.
inline RadioImage EncodedImage(const RadioSettings& settings, const AppState& state) {
    auto copy = std::make_unique<RadioSettings>(settings);
    auto images = std::make_unique<ImagePair>();
    ImageCodec(state, *copy, images->write, images->read).Encode();
    return images->write;
}

// The records of a trace file; a size that is not a whole number of records fails the test.
inline std::vector<TraceRecord> TraceRecordsOf(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    EXPECT_EQ(bytes.size() % sizeof(TraceRecord), 0u) << path;
    std::vector<TraceRecord> records(bytes.size() / sizeof(TraceRecord));
    if (!records.empty()) std::memcpy(records.data(), bytes.data(), records.size() * sizeof(TraceRecord));
    return records;
}

// Every record holds the first 0x50 bytes of each image and a "T<h>:<m>:<s>:<ms>" stamp,
// decimal without leading zeros, padded with zero bytes.
inline void ExpectTraceRecords(const std::vector<TraceRecord>& records, const RadioImage& write,
                               const RadioImage& read) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE("trace record " + std::to_string(i));
        const TraceRecord& r = records[i];
        const std::string stamp(r.time, strnlen(r.time, sizeof r.time));
        static const std::regex kStamp("T(0|[1-9][0-9]?):(0|[1-9][0-9]?):(0|[1-9][0-9]?):(0|[1-9][0-9]{0,2})");
        EXPECT_TRUE(std::regex_match(stamp, kStamp)) << stamp;
        for (std::size_t k = stamp.size(); k < sizeof r.time; ++k) EXPECT_EQ(r.time[k], '\0');
        EXPECT_EQ(0, std::memcmp(r.writeImage, write.data(), kTraceImageBytes));
        EXPECT_EQ(0, std::memcmp(r.readImage, read.data(), kTraceImageBytes));
    }
}

// Waits until the condition holds or the time is up; the condition's last value.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The letters of the frames a radio received, in order: "AWWR".
inline std::string Letters(const std::vector<CloneFrame>& log) {
    std::string letters;
    for (const CloneFrame& f : log) letters += static_cast<char>(f.letter);
    return letters;
}

// The progress calls of a transfer that ends after the given number of chunks.
inline std::vector<ProgressCall> TransferProgress(std::size_t chunks = kChunks) {
    using Kind = ProgressCall::Kind;
    std::vector<ProgressCall> calls = {{Kind::SetRange, 0, 76}, {Kind::SetStep, 1, 0}};
    calls.insert(calls.end(), chunks, ProgressCall{Kind::StepIt, 0, 0});
    calls.push_back({Kind::SetPos, 0, 0});
    return calls;
}

// The engines wait on the process-wide stop event, which starts out set.
class StopEventReset {
public:
    StopEventReset() { CloneStopEvent.Reset(); }
    ~StopEventReset() { CloneStopEvent.Reset(); }
};

// A result code and the text a user sees for it.
inline void ExpectResult(CloneResult got, CloneResult want, const char* text) {
    EXPECT_EQ(got, want) << ResultText(got);
    EXPECT_EQ(ResultText(got), text);
}

// A simulated radio's faults, counters, frame log and memory, reached through the lock of the
// host it runs behind (pseudo-terminal or HID backend).
template <class Host>
class RadioAccess {
protected:
    explicit RadioAccess(Host& host) : host_(host) {}

    template <class F>
    void SetFaults(F&& f) {
        host_.WithRadio([&](SimulatedRadio& r) { f(r.Faults()); });
    }
    // A fresh log and counters, and only the given fault.
    void OnlyFault(void (*fault)(SimFaults&)) {
        host_.WithRadio([&](SimulatedRadio& r) {
            r.ClearHistory();
            r.Faults() = SimFaults{};
            fault(r.Faults());
        });
    }
    void SetPlan(FramePlan plan) {
        host_.WithRadio([&](SimulatedRadio& r) { r.SetFramePlan(std::move(plan)); });
    }
    SimCounters Counters() { return host_.WithRadio([](SimulatedRadio& r) { return r.Counters(); }); }
    std::vector<CloneFrame> Log() { return host_.WithRadio([](SimulatedRadio& r) { return r.Log(); }); }
    RadioImage Memory() { return host_.WithRadio([](SimulatedRadio& r) { return r.Memory(); }); }

private:
    Host& host_;
};

}  // namespace orven::test
