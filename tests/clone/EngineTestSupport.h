// What the clone engine, runner and soak tests share: fast timing, bounded waiting, and one
// fixture: the simulated radio behind a pseudo-terminal and behind a HID device, with an engine of
// the test's link and the European document.
#pragma once

#include "clone/CPcUartClone.h"
#include "clone/CPcUsbClone.h"
#include "clone/CloneEvent.h"
#include "clone/CloneResult.h"
#include "clone/CloneRunner.h"
#include "clone/CloneTrace.h"
#include "link/CHidDevice.h"
#include "model/ImageCodec.h"
#include "sim/RecordingProgress.h"
#include "sim/SimulatedHidBackend.h"
#include "sim/SimulatedRadioPty.h"
#include "support/Documents.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
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

// Fills an image with a pattern that has no zero byte, so that copies can be told apart.
inline void FillPattern(RadioImage& image, std::uint8_t seed) {
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(((i * 7 + seed) % 255) + 1);
}

// The image a write of the document must leave in the radio.
inline RadioImage EncodedImage(const RadioSettings& settings, const AppState& state) {
    auto copy = std::make_unique<RadioSettings>(settings);
    auto images = std::make_unique<std::array<RadioImage, 2>>();
    ImageCodec(state, *copy, (*images)[0], (*images)[1]).Encode();
    return (*images)[0];
}

// Every record of a trace file holds the first 0x50 bytes of each image and a
// "T<h>:<m>:<s>:<ms>" stamp, decimal without leading zeros, or the fallback mark, padded with
// zero bytes. The stamps and marks in order.
inline std::vector<std::string> ExpectTraceRecords(const std::string& path, const RadioImage& write,
                                                   const RadioImage& read) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    EXPECT_EQ(bytes.size() % sizeof(TraceRecord), 0u) << path;
    static const std::regex kStamp("T(0|[1-9][0-9]?):(0|[1-9][0-9]?):(0|[1-9][0-9]?):(0|[1-9][0-9]{0,2})");
    std::vector<std::string> stamps;
    for (std::size_t at = 0; at + sizeof(TraceRecord) <= bytes.size(); at += sizeof(TraceRecord)) {
        TraceRecord r;
        std::memcpy(&r, bytes.data() + at, sizeof r);
        const std::string& stamp = stamps.emplace_back(r.time, strnlen(r.time, sizeof r.time));
        EXPECT_TRUE(stamp == kTraceFallbackMark || std::regex_match(stamp, kStamp)) << stamp;
        EXPECT_EQ(std::string(r.time + stamp.size(), sizeof r.time - stamp.size()),
                  std::string(sizeof r.time - stamp.size(), '\0'));
        EXPECT_EQ(0, std::memcmp(r.writeImage, write.data(), kTraceImageBytes));
        EXPECT_EQ(0, std::memcmp(r.readImage, read.data(), kTraceImageBytes));
    }
    return stamps;
}

// Write options that confirm whatever identities the write puts into the radio.
inline WriteOptions ConfirmingIdentities() {
    WriteOptions options;
    options.confirmIdentityChange = [](const IdentityChanges&) { return true; };
    return options;
}

// Waits until the condition holds or the time is up; the condition's last value.
inline bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = 5000ms) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return condition();
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// The progress calls of a transfer that ends after the given number of chunks.
inline std::vector<ProgressCall> TransferProgress(std::size_t chunks = kChunks) {
    using Kind = ProgressCall::Kind;
    std::vector<ProgressCall> calls = {{Kind::SetRange, 0, 76}, {Kind::SetStep, 1, 0}};
    calls.insert(calls.end(), chunks, ProgressCall{Kind::StepIt, 0, 0});
    calls.push_back({Kind::SetPos, 0, 0});
    return calls;
}

// The progress calls of the read-back of the identity frames every write ends with.
inline std::vector<ProgressCall> IdentityCheckProgress() {
    using Kind = ProgressCall::Kind;
    return {{Kind::SetRange, 0, 3}, {Kind::SetStep, 1, 0}, {Kind::StepIt, 0, 0}, {Kind::StepIt, 0, 0},
            {Kind::StepIt, 0, 0}, {Kind::SetPos, 0, 0}};
}

// A result code and the text a user sees for it.
inline void ExpectResult(CloneResult got, CloneResult want, const char* text) {
    EXPECT_EQ(got, want) << ResultText(got);
    EXPECT_EQ(ResultText(got), text);
}

enum class Link { Serial, Usb };
inline std::string LinkName(const ::testing::TestParamInfo<Link>& info) {
    return info.param == Link::Serial ? "Serial" : "Usb";
}

// The simulated radio behind a pseudo-terminal (serial, COM1 at 9600 baud) and behind a HID
// device object of the test's own (USB), and an engine of the test's link with a European
// document, a state (tracing and dumps off), images, progress and a folder of the test's own; and
// a command runner job over the same, with the process-wide images cleared.
class EngineFixture : public ::testing::Test {
protected:
    explicit EngineFixture(Link link) : link_(link) {
        state.modelType = kModelEurInt;
        state.comPort = link == Link::Serial ? 1 : 0;
        state.baudIndex = 1;
    }

    void SetUp() override {
        ASSERT_TRUE(pty.Start());
        CloneStopEvent.Reset();  // the engines wait on it, and it starts out set
        engine = MakeEngine();
        job.state = &state;
        job.progress = &progress;
        job.workDir = dir.path();
        job.timing = kFastTiming;
        job.serialDevice = state.comPort == 0 ? "" : pty.DevicePath();
        job.hidDevice = &device;
        WriteImage.fill(0);
        ReadImage.fill(0);
    }
    void TearDown() override { CloneStopEvent.Reset(); }

    std::unique_ptr<CCloneEngine> MakeEngine() {
        std::unique_ptr<CCloneEngine> e;
        if (link_ == Link::Serial) {
            auto uart = std::make_unique<CPcUartClone>();
            uart->SetDevicePath(pty.DevicePath());
            e = std::move(uart);
        } else {
            e = std::make_unique<CPcUsbClone>(device);
        }
        e->SetSettings(settings.get());
        e->SetAppState(&state);
        e->SetProgress(&progress);
        e->SetDirectory(dir.path());
        e->SetTiming(kFastTiming);
        e->SetImages(writeImage, readImage);
        return e;
    }

    // f(SimulatedRadio&) under the lock of the radio behind the link (the test's by default).
    template <class F>
    auto OnRadio(F&& f, std::optional<Link> link = {}) {
        return link.value_or(link_) == Link::Serial ? pty.WithRadio(f) : backend.WithRadio(f);
    }
    // A fresh log and counters, and only the given fault.
    void OnlyFault(void (*fault)(SimFaults&)) {
        OnRadio([&](SimulatedRadio& r) {
            r.ClearHistory();
            r.Faults() = SimFaults{};
            fault(r.Faults());
        });
    }
    void SetPlan(FramePlan plan) {
        OnRadio([&](SimulatedRadio& r) { r.SetFramePlan(std::move(plan)); });
    }
    SimCounters Counters(std::optional<Link> link = {}) {
        return OnRadio([](SimulatedRadio& r) { return r.Counters(); }, link);
    }
    RadioImage Memory() { return OnRadio([](SimulatedRadio& r) { return r.Memory(); }); }
    // The letters of the frames the radio received, in order: "AWWR".
    std::string Letters() {
        std::string letters;
        for (const CloneFrame& f : OnRadio([](SimulatedRadio& r) { return r.Log(); }))
            letters += static_cast<char>(f.letter);
        return letters;
    }
    // Whether another program could take the serial port now.
    bool PortIsFree() {
        CPCUart probe;
        return probe.OpenPath(pty.DevicePath(), 9600);
    }
    bool Serial() const { return link_ == Link::Serial; }

    Link link_;
    TempDir dir;
    SimulatedRadioPty pty;
    SimulatedHidBackend backend;
    CHidDevice device{kUsbVendorId, kUsbProductId, &backend};
    AppState state = FreshAppState();
    std::unique_ptr<RadioSettings> settings = EuropeanDocument();
    RadioImage writeImage{};
    RadioImage readImage{};
    RecordingProgress progress;
    CloneJob job;
    std::unique_ptr<CCloneEngine> engine;  // last, so that it lets go of the port before the radio stops
};

// The fixture on one link, for the test suites of that link alone.
template <Link kLink>
class OnLink : public EngineFixture {
protected:
    OnLink() : EngineFixture(kLink) {}
};

}  // namespace orven::test
