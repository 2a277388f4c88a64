// The text of the channel list: built-in band lines, private channel lines, the band combo.
#pragma once

#include "model/ChannelBand.h"
#include "model/PresetRecord.h"
#include "model/RadioSettings.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orven {

// The most private channels a list shows: the whole Private block.
inline constexpr std::size_t kMaxListedPrivateChannels = kMaxPrivateChannels;

// A table entry's frequencies in units of 100 Hz, by integer arithmetic (TX rounds down).
int DisplayTx(const PresetRecord& entry);
int DisplayRx(const PresetRecord& entry);

// The same in MHz, as the wizard stores them in a channel record.
double PresetTxMHz(const PresetRecord& entry);
double PresetRxMHz(const PresetRecord& entry);

// A private channel label for a preset number: "%02d" below 100, else a letter for number / 10
// (10 F, 11 L, 12 M, 13 A, above C) and the digit number % 10.
std::string PresetLabel(std::uint16_t number);

// The band combo's entries for the ticked bands (indexed by ChannelBand value), in the order
// INT, USA, CAN, INT_Narrow, USA_Narrow, CAN_Narrow, WX, Private.
std::vector<std::string> BandComboEntries(const std::array<bool, kBandCount>& ticked);

// One line per entry of a built-in band's table; none for Private.
std::vector<std::string> BuiltInListLines(ChannelBand band);

// One line per private channel, from slot 300 up to the first slot not in use or whose label has
// a third character.
std::vector<std::string> PrivateListLines(const RadioSettings& settings);

// The list of a band, private or built-in, whatever the band's switch says.
std::vector<std::string> ChannelListLines(const RadioSettings& settings, ChannelBand band);

}  // namespace orven
