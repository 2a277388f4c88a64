#include "model/ChannelBand.h"

#include <array>
#include <utility>

namespace orven {

namespace {
constexpr std::array<std::string_view, kBandCount> kNames = {
    "INT", "USA", "CAN", "Private", "INT_Narrow", "USA_Narrow", "CAN_Narrow", "WX"};

// Narrow names first: "INT_Narrow" also contains "INT".
constexpr std::array<std::pair<std::string_view, ChannelBand>, kBandCount> kMatchOrder = {{
    {"INT_N", ChannelBand::INT_Narrow},
    {"USA_N", ChannelBand::USA_Narrow},
    {"CAN_N", ChannelBand::CAN_Narrow},
    {"INT", ChannelBand::INT},
    {"USA", ChannelBand::USA},
    {"CAN", ChannelBand::CAN},
    {"Pri", ChannelBand::Private},
    {"WX", ChannelBand::WX},
}};
}  // namespace

std::string_view NameOfBand(ChannelBand band) {
    const auto i = static_cast<std::size_t>(band);
    return i < kNames.size() ? kNames[i] : std::string_view{};
}

ChannelBand BandOfName(std::string_view text) {
    for (const auto& [key, band] : kMatchOrder)
        if (text.find(key) != std::string_view::npos) return band;
    return ChannelBand::INT;
}

bool ParseBandName(std::string_view text, ChannelBand& band) {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i] == text) {
            band = static_cast<ChannelBand>(i);
            return true;
        }
    }
    return false;
}

}  // namespace orven
