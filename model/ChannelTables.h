// The channel tables compiled into the program: the seven built-in bands the radio holds itself
// (shown, never cloned) and the eight European country presets of the model wizard.
#pragma once

#include "model/ChannelBand.h"
#include "model/PresetRecord.h"

#include <cstddef>
#include <span>
#include <string_view>

namespace orven {

// The most entries a band table walk shows, and the most a country preset walk copies.
inline constexpr std::size_t kMaxBandEntries = 128;
inline constexpr std::size_t kMaxPresetEntries = 50;

// The model wizard's country list: 0 "All" ... 7 "Belgium" each have a preset table; 8 "None".
inline constexpr int kCountryCount = 9;
inline constexpr int kCountryNone = 8;

// The leading entries of a table whose positions run 0, 1, 2, ..., at most limit of them.
std::span<const PresetRecord> WalkTable(std::span<const PresetRecord> table, std::size_t limit);

// The walked table of a built-in band; empty for Private (and for a value that is no band).
std::span<const PresetRecord> TableOfBand(ChannelBand band);

// The walked preset table of a wizard country 0..7; empty for "None" and any other value.
std::span<const PresetRecord> PresetTable(int country);

// The wizard's entry text of a country 0..8; empty for any other value.
std::string_view CountryName(int country);

}  // namespace orven
