// The channel bands, their display names and how a band combo text maps back to a band.
#pragma once

#include <cstdint>
#include <string_view>

namespace orven {

enum class ChannelBand : std::int32_t {
    INT = 0,
    USA = 1,
    CAN = 2,
    Private = 3,
    INT_Narrow = 4,
    USA_Narrow = 5,
    CAN_Narrow = 6,
    WX = 7,
};

inline constexpr int kBandCount = 8;

// "INT", "USA", ..., "WX": the band combo's entry for a band.
std::string_view NameOfBand(ChannelBand band);

// The band a combo text stands for: the first of "INT_N", "USA_N", "CAN_N", "INT", "USA",
// "CAN", "Pri", "WX" that the text contains; INT when none does.
ChannelBand BandOfName(std::string_view text);

// Exact name lookup ("INT_Narrow" -> INT_Narrow); false when the text names no band.
bool ParseBandName(std::string_view text, ChannelBand& band);

}  // namespace orven
