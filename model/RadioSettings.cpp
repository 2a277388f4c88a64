#include "model/RadioSettings.h"

#include "GlobalDef.h"

#include <cstring>

namespace orven {

namespace {
// Indexed by ChannelBand.
constexpr std::uint32_t RadioSettings::*kBandFlags[kBandCount] = {
    &RadioSettings::bandINT,       &RadioSettings::bandUSA,       &RadioSettings::bandCAN,
    &RadioSettings::bandPrivate,   &RadioSettings::bandINTNarrow, &RadioSettings::bandUSANarrow,
    &RadioSettings::bandCANNarrow, &RadioSettings::bandWX,
};
}  // namespace

std::uint32_t& BandFlag(RadioSettings& s, ChannelBand band) {
    return s.*kBandFlags[static_cast<int>(band) & 7];
}

std::uint32_t BandFlag(const RadioSettings& s, ChannelBand band) {
    return s.*kBandFlags[static_cast<int>(band) & 7];
}

std::size_t PrivateChannelCount(const RadioSettings& s) {
    std::size_t n = 0;
    while (n < kMaxPrivateChannels) {
        const ChannelRecord& r = PrivateChannel(s, n);
        if (r.inUse == 0 || HasLongLabel(r)) break;
        ++n;
    }
    return n;
}

void CopyText(char* slot, std::size_t size, const char* text) {
    if (size == 0) return;
    std::memset(slot, 0, size);
    if (text) std::strncpy(slot, text, size - 1);
}

void LoadDefaults(RadioSettings& s, int modelType) {
    std::memset(&s, 0, sizeof s);
    s.model = modelType;
    s.txStepIndex = kStep6_25kHz;
    s.rxStepIndex = kStep12_5kHz;
    CopyText(s.brandName, kDefaultBrandName);
    CopyText(s.modelName, kModelName);
    s.mmsiByUser = 1;
    s.bandINT = 1;
    s.bandPrivate = 1;
    s.bandUSA = 1;
    switch (modelType) {
    case kModelUsa:
        s.bandCAN = 1;
        s.bandWX = 1;
        s.atisByUser = 0;
        break;
    case kModelEurInt:
        s.atisByUser = 1;
        break;
    default:
        s.bandCAN = 1;
        s.atisByUser = 1;
        break;
    }
}

}  // namespace orven
