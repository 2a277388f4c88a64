#include "bench/BenchLink.h"

#include "clone/CCloneEngine.h"
#include "model/RadioIdentities.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedHidBackend.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace orven::bench {

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty()) items.push_back(item);
    return items;
}

bool KnownOperation(const std::string& op) {
    return op == "read" || op == "write" || op == "verify" || op == "backed-up-write";
}

namespace {

void AddRange(std::vector<CloneFrame>& frames, bool write, const RadioImage& image,
              ChunkSpan span = {kCloneFirst, kCloneLast + 1u}) {
    for (std::uint32_t a = span.start; a < span.end; a += kChunkSize) {
        const auto address = static_cast<std::uint16_t>(a);
        const auto length = static_cast<std::uint8_t>(std::min<std::uint32_t>(kChunkSize, span.end - a));
        frames.push_back(write ? MakeWriteFrame(address, image.data() + a, length) : MakeReadFrame(address, length));
    }
}

}  // namespace

std::vector<CloneFrame> OperationFrames(const std::string& op, const RadioImage& image) {
    std::vector<CloneFrame> frames;
    const bool reads = op != "write";
    const bool writes = op == "write" || op == "backed-up-write";
    if (reads) {
        frames = {MakeIdentifyFrame(), MakeIdentifyFrame()};
        AddRange(frames, false, image);
    }
    if (writes) {
        if (!reads) frames.push_back(MakeIdentifyFrame());
        AddRange(frames, true, image);
        frames.push_back(MakeIdentifyFrame());
        AddRange(frames, false, image, ChunksHolding(kIdentityBytesFirst, kIdentityBytesLast));
    }
    return frames;
}

BenchLink::BenchLink(std::string name) : name_(std::move(name)), usb_(kUsbVendorId, kUsbProductId) {}

bool BenchLink::Start() {
    if (Usb()) {
        backend_ = std::make_shared<SimulatedHidBackend>();
        backend_->WithRadio([](SimulatedRadio& r) {
            FillDemoMemory(r.Memory());
            r.Faults().usbLatency = kUsbReportLatency;
        });
        usb_.SetBackend(backend_);
        return true;
    }
    const auto [end, ec] = std::from_chars(name_.data(), name_.data() + name_.size(), baud_);
    if (ec != std::errc() || end != name_.data() + name_.size()) return false;
    if (std::find(kBaudTable.begin(), kBaudTable.end(), baud_) == kBaudTable.end()) return false;
    pty_.WithRadio([baud = baud_](SimulatedRadio& r) {
        FillDemoMemory(r.Memory());
        r.Faults().baud = baud;
    });
    if (!pty_.Start()) return false;
    devicePath_ = pty_.DevicePath();
    return true;
}

std::string BenchLink::Title() const { return Usb() ? "USB (1 ms reports)" : name_ + " baud serial"; }

double BenchLink::LineLimitSeconds(std::size_t frames) const {
    const double perFrame = Usb() ? 2 * std::chrono::duration<double>(kUsbReportLatency).count()
                                  : 2 * kFrameSize * double{kLineBitsPerByte} / baud_;
    return static_cast<double>(frames) * perFrame;
}

std::uint32_t BenchLink::FramesReceived() {
    const auto frames = [](SimulatedRadio& r) { return r.Counters().frames; };
    return Usb() ? backend_->WithRadio(frames) : pty_.WithRadio(frames);
}

void BenchLink::Attach(CloneJob& job, AppState& state) {
    if (Usb()) {
        state.comPort = 0;
        job.hidDevice = &usb_;
        return;
    }
    job.serialDevice = devicePath_;
    state.baudIndex = static_cast<int>(std::find(kBaudTable.begin(), kBaudTable.end(), baud_) - kBaudTable.begin());
}

}  // namespace orven::bench
