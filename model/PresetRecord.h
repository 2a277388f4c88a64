// One entry of a built-in channel table: a band the radio holds itself, or a country's set of
// private channels that the model wizard copies into the Private block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace orven {

struct PresetRecord {
    std::uint8_t position;   // place in its table from 0; a table ends where this breaks the count
    std::uint16_t number;    // channel number; from 100 up a preset number encodes a letter label
    std::uint16_t txValue;   // TX in 6.25 kHz units (TX MHz = value * 0.00625); 0 receive-only
    std::uint16_t rxValue;   // RX as (RX MHz - 19.65) / 0.0125
    std::uint8_t usage;      // index into the usage name table
};

static_assert(std::is_trivially_copyable_v<PresetRecord> && std::is_standard_layout_v<PresetRecord>);
static_assert(sizeof(PresetRecord) == 10);
static_assert(offsetof(PresetRecord, position) == 0);
static_assert(offsetof(PresetRecord, number) == 2);
static_assert(offsetof(PresetRecord, txValue) == 4);
static_assert(offsetof(PresetRecord, rxValue) == 6);
static_assert(offsetof(PresetRecord, usage) == 8);

// The RX value is counted from this many 12.5 kHz steps (19.65 MHz).
inline constexpr int kPresetRxBase = 1572;

}  // namespace orven
