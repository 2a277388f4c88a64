// The document: the decoded settings of one radio. Its layout is the settings file format.
#pragma once

#include "model/ChannelBand.h"
#include "model/ChannelRecord.h"
#include "model/PlatformLogi.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>

namespace orven {

struct RadioSettings {
    std::uint32_t reserved0[2];
    std::uint32_t atisByUser;   // the ATIS identity is not programmed by the PC
    std::uint32_t bandUSA;
    std::uint32_t bandINT;
    std::uint32_t bandCAN;
    std::uint32_t bandPrivate;
    std::uint32_t bandUSANarrow;
    std::uint32_t bandINTNarrow;
    std::uint32_t bandCANNarrow;
    std::uint32_t bandWX;
    std::int32_t model;         // 0 USA, non-zero Europe
    std::uint32_t reserved1;
    std::uint32_t mmsiByUser;   // the MMSI is not programmed by the PC
    std::int32_t txStepIndex;   // 0 6.25 kHz, 1 12.5 kHz, 2 25 kHz
    std::int32_t rxStepIndex;
    std::uint8_t reserved2[196];
    std::int32_t rxMidIndex;    // 0 19.65 MHz, non-zero 38.85 MHz
    ChannelRecord channels[kChannelSlots];
    std::uint8_t reserved3[64];
    char atisId[60];            // last 9 of the 10 ATIS digits
    char mmsiId[60];
    char nmeaNo[60];
    char serialNo[60];
    std::uint8_t reserved4[1616];
    char modelName[16];
    char brandName[16];
};

static_assert(std::is_trivially_copyable_v<RadioSettings> && std::is_standard_layout_v<RadioSettings>);
static_assert(sizeof(RadioSettings) == 43816);
static_assert(offsetof(RadioSettings, reserved0) == 0);
static_assert(offsetof(RadioSettings, atisByUser) == 8);
static_assert(offsetof(RadioSettings, bandUSA) == 12);
static_assert(offsetof(RadioSettings, bandINT) == 16);
static_assert(offsetof(RadioSettings, bandCAN) == 20);
static_assert(offsetof(RadioSettings, bandPrivate) == 24);
static_assert(offsetof(RadioSettings, bandUSANarrow) == 28);
static_assert(offsetof(RadioSettings, bandINTNarrow) == 32);
static_assert(offsetof(RadioSettings, bandCANNarrow) == 36);
static_assert(offsetof(RadioSettings, bandWX) == 40);
static_assert(offsetof(RadioSettings, model) == 44);
static_assert(offsetof(RadioSettings, reserved1) == 48);
static_assert(offsetof(RadioSettings, mmsiByUser) == 52);
static_assert(offsetof(RadioSettings, txStepIndex) == 56);
static_assert(offsetof(RadioSettings, rxStepIndex) == 60);
static_assert(offsetof(RadioSettings, reserved2) == 64);
static_assert(offsetof(RadioSettings, rxMidIndex) == 260);
static_assert(offsetof(RadioSettings, channels) == 264);
static_assert(offsetof(RadioSettings, reserved3) == 41864);
static_assert(offsetof(RadioSettings, atisId) == 41928);
static_assert(offsetof(RadioSettings, mmsiId) == 41988);
static_assert(offsetof(RadioSettings, nmeaNo) == 42048);
static_assert(offsetof(RadioSettings, serialNo) == 42108);
static_assert(offsetof(RadioSettings, reserved4) == 42168);
static_assert(offsetof(RadioSettings, modelName) == 43784);
static_assert(offsetof(RadioSettings, brandName) == 43800);

// The record's bytes, exactly as the settings file and the checksum see them.
inline std::span<const std::uint8_t, sizeof(RadioSettings)> Bytes(const RadioSettings& s) {
    return std::span<const std::uint8_t, sizeof(RadioSettings)>(
        reinterpret_cast<const std::uint8_t*>(&s), sizeof(RadioSettings));
}
inline std::span<std::uint8_t, sizeof(RadioSettings)> Bytes(RadioSettings& s) {
    return std::span<std::uint8_t, sizeof(RadioSettings)>(reinterpret_cast<std::uint8_t*>(&s),
                                                          sizeof(RadioSettings));
}

// Private channel i (from 0) is store slot 300 + i.
inline ChannelRecord& PrivateChannel(RadioSettings& s, std::size_t i) {
    return s.channels[kPrivateFirstSlot + i];
}
inline const ChannelRecord& PrivateChannel(const RadioSettings& s, std::size_t i) {
    return s.channels[kPrivateFirstSlot + i];
}

// Number of private channels: the run of in-use slots from 300, ended by the first unused slot
// or by a label with a third character.
std::size_t PrivateChannelCount(const RadioSettings& s);

// The on/off switch of a band.
std::uint32_t& BandFlag(RadioSettings& s, ChannelBand band);
std::uint32_t BandFlag(const RadioSettings& s, ChannelBand band);

// Fills the record with the defaults of a model type (every byte zero first).
void LoadDefaults(RadioSettings& s, int modelType);

// Copies text into a fixed slot: at most size - 1 characters, the rest of the slot zeroed.
void CopyText(char* slot, std::size_t size, const char* text);
template <std::size_t N>
void CopyText(char (&slot)[N], const char* text) { CopyText(slot, N, text); }

}  // namespace orven
