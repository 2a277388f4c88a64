#include "sim/DemoRadio.h"

#include "model/AppState.h"
#include "model/ImageCodec.h"
#include "model/RadioIdentities.h"
#include "model/RadioSettings.h"
#include "sim/SimulatedHidBackend.h"

namespace orven {

namespace {

struct DemoChannel {
    const char* label;
    double txMHz;
    double rxMHz;
    std::uint8_t usage;  // into the usage name table
};

// Usage name indexes.
constexpr std::uint8_t kUsagePortOperation = 11;
constexpr std::uint8_t kUsageMarina = 33;
constexpr std::uint8_t kUsageLeisure = 34;
constexpr std::uint8_t kUsageFishing = 35;

constexpr DemoChannel kDemoChannels[] = {
    {"M1", 157.850, 157.850, kUsageMarina},
    {"M2", 161.425, 161.425, kUsageMarina},
    {"L1", 155.500, 155.500, kUsageLeisure},
    {"L2", 155.525, 155.525, kUsageLeisure},
    {"F1", 155.625, 155.625, kUsageFishing},
    // Duplex working channels: the coast station transmits 4.6 MHz above the ship.
    {"C1", 157.000, 161.600, kUsagePortOperation},
    {"C2", 157.025, 161.625, kUsagePortOperation},
};

void AddPrivateChannels(RadioSettings& s) {
    std::size_t i = 0;
    for (const DemoChannel& c : kDemoChannels) {
        ChannelRecord& r = PrivateChannel(s, i++);
        CopyText(r.label, c.label);
        r.txMHz = c.txMHz;
        r.rxMHz = c.rxMHz;
        r.usage = c.usage;
        r.inUse = 1;
    }
}

}  // namespace

void FillDemoMemory(RadioImage& memory) {
    AppState state = FreshAppState();
    state.modelType = kModelEurInt;
    RadioSettings s;
    LoadDefaults(s, kModelEurInt);
    s.bandINT = 1;
    s.bandPrivate = 1;
    s.bandUSA = 0;
    s.atisByUser = 0;
    s.mmsiByUser = 0;
    CopyText(s.mmsiId, kDemoMmsi);
    CopyText(s.atisId, kDemoAtis);
    CopyText(s.nmeaNo, kDemoNmea);
    CopyText(s.serialNo, kDemoSerial);
    AddPrivateChannels(s);

    RadioImage unused{};
    ImageCodec(state, s, memory, unused).Encode();
}

std::shared_ptr<SimulatedHidBackend> MakeDemoUsbRadio() {
    auto radio = std::make_shared<SimulatedHidBackend>();
    radio->WithRadio([](SimulatedRadio& r) { FillDemoMemory(r.Memory()); });
    return radio;
}

void FillNewRadioMemory(RadioImage& memory, const std::string& serial) {
    FillDemoMemory(memory);
    for (const IdentityKind kind : kRadioIdentities) ClearIdentityBytes(kind, memory);
    serial.copy(reinterpret_cast<char*>(&memory[kAddrSerialNo]), kSerialBytes);
}

}  // namespace orven
