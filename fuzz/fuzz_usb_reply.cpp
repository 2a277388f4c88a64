// Any sequence of input reports as the radio's replies to a USB read and write: the engine
// ends with one of its documented codes and never accepts a reply that fails its checks.
#include "clone/CPcUsbClone.h"
#include "clone/CloneEvent.h"
#include "sim/RecordingProgress.h"
#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

using namespace orven;

class ReplayConnection : public HidConnection {
public:
    ReplayConnection(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool IsAlive() override { return true; }
    std::size_t InputReportLength() const override { return 33; }
    std::size_t OutputReportLength() const override { return 33; }
    int Write(const std::uint8_t*, std::size_t length, int) override { return static_cast<int>(length); }
    int Read(std::uint8_t* out, std::size_t capacity, int) override {
        if (offset_ >= size_) return 0;
        const std::size_t n = std::min({capacity, kFrameSize, size_ - offset_});
        std::memcpy(out, data_ + offset_, n);
        offset_ += n;
        return static_cast<int>(n);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

class ReplayBackend : public HidBackend {
public:
    ReplayBackend(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::unique_ptr<HidConnection> Open(std::uint16_t, std::uint16_t) override {
        return std::make_unique<ReplayConnection>(data_, size_);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

bool Documented(CloneResult r) {
    return r == kResultOk || r == kResultNoRadio || r == kResultTimeout || r == kResultBadPrefix ||
           r == kResultChecksum || r == kResultWriteError;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const bool write = data[0] & 1;
    CHidDevice device(kUsbVendorId, kUsbProductId);
    device.SetBackend(std::make_shared<ReplayBackend>(data + 1, size - 1));
    auto writeImage = std::make_unique<RadioImage>();
    auto readImage = std::make_unique<RadioImage>();
    auto settings = std::make_unique<RadioSettings>();
    LoadDefaults(*settings, kModelEurInt);
    AppState state = FreshAppState();
    RecordingProgress progress;

    CloneStopEvent.Reset();
    CPcUsbClone engine(device);
    engine.SetImages(*writeImage, *readImage);
    engine.SetSettings(settings.get());
    engine.SetAppState(&state);
    engine.SetProgress(&progress);
    engine.SetTiming(CloneTiming{std::chrono::milliseconds(0), 1, std::chrono::milliseconds(0)});
    const CloneResult result = write ? engine.WriteRadio() : engine.ReadRadio();
    if (!Documented(result)) fuzz::Fail("an undocumented result code");
    if (result == kResultOk && !write) fuzz::RenderEverything(*settings);
    if (result == kResultOk && progress.Count(ProgressCall::Kind::StepIt) != 77) fuzz::Fail("success without 77 steps");
    return 0;
}
