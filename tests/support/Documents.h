// The settings documents and channels the tests build, on the heap where they are whole records.
#pragma once

#include "model/PlatformLogi.h"
#include "model/RadioSettings.h"

#include <memory>

namespace orven::test {

// The defaults of a model, as File > Load Default starts them.
inline std::unique_ptr<RadioSettings> Defaults(int modelType) {
    auto s = std::make_unique<RadioSettings>();
    LoadDefaults(*s, modelType);
    return s;
}

inline ChannelRecord InUseChannel(const char* label, double tx, double rx) {
    ChannelRecord r{};
    CopyText(r.label, label);
    r.txMHz = tx;
    r.rxMHz = rx;
    r.inUse = 1;
    return r;
}

// A European document: 100 private channels with labels of every kind the image can carry
// (two digits, or F L M A C and a digit), TX on the 12.5 kHz grid, RX on the 25 kHz grid,
// usages across the table, all four identities, and bands and steps away from the defaults.
inline std::unique_ptr<RadioSettings> EuropeanDocument() {
    auto s = Defaults(kModelEurInt);
    s->txStepIndex = kStep12_5kHz;
    s->rxStepIndex = kStep25kHz;
    s->bandUSA = s->mmsiByUser = s->atisByUser = 0;
    s->bandINTNarrow = s->bandWX = 1;
    for (std::size_t i = 0; i < kMaxPrivateChannels; ++i) {
        ChannelRecord& ch = PrivateChannel(*s, i);
        ch.label[0] = i % 3 == 0 ? static_cast<char>('0' + (i * 13) % 100 / 10) : "FLMAC"[i % 5];
        ch.label[1] = static_cast<char>('0' + i % 10);
        ch.usage = static_cast<std::uint8_t>(i % 36);
        ch.txMHz = 156.0 + 0.0125 * static_cast<double>(i * 7 % 160);
        ch.rxMHz = 156.0 + 0.025 * static_cast<double>(i * 3 % 90);
        ch.inUse = ch.atisRx = 1;  // what a radio reports for a channel without flags
    }
    CopyText(s->mmsiId, "235012345");
    CopyText(s->atisId, "211987654");
    CopyText(s->nmeaNo, "654321");
    CopyText(s->serialNo, "12345678");
    return s;
}

}  // namespace orven::test
