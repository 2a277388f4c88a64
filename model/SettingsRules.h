// The rules a settings document meets, in one place for everything that edits or accepts one:
// the window and its channel dialog, the command line, the JSON and CSV imports and the settings
// file check.
#pragma once

#include "model/ChannelRecord.h"
#include "model/RadioSettings.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orven {

// Labels an in-use channel of a settings file may have, in characters.
inline constexpr std::size_t kMinLabelLength = 2;
inline constexpr std::size_t kMaxLabelLength = 3;
// A TX frequency at or below this marks a receive-only channel and is not range-checked.
inline constexpr double kReceiveOnlyTxMHz = 0.0001;
// What the radio's label code holds: one of these, then a digit.
inline constexpr std::string_view kLabelFirstCharacters = "0123456789ACFLM";
inline constexpr std::size_t kStorableLabelLength = 2;

// Text slots as the editors limit them, in characters.
inline constexpr std::size_t kNameTextLimit = 12;  // brand and model names
inline constexpr std::size_t kUsageTextLimit = 12;

// Within the radio's 136-174 MHz, or a hair beyond them as a frequency decoded from the radio's
// steps may land; NaN is not.
bool InRadioRange(double mhz);
// A whole number of 6.25 kHz steps.
bool IsOnTxGrid(double mhz);
// What an editor accepts as a TX frequency: in range and on the grid.
bool IsValidTxFrequency(double mhz);
bool IsReceiveOnlyTx(double mhz);
// Two characters the radio's label code can hold ("A1", "07", "M9").
bool IsStorableLabel(std::string_view label);

// The part of a private channel that breaks a rule, and why, in words for the user.
enum class ChannelField { Label, Tx, Rx };
struct ChannelProblem {
    ChannelField field;
    std::string why;
};
// The rules an edited private channel meets: a storable label, TX 0 (receive only) or a valid TX,
// RX within the radio's range. Every problem, label first; then only the first of them.
std::vector<ChannelProblem> EditedChannelProblems(const ChannelRecord& channel);
std::optional<ChannelProblem> CheckEditedChannel(const ChannelRecord& channel);

// The settings file's rule for one in-use slot: a label of 2 or 3 characters, RX in range, TX in
// range or receive-only. Files made elsewhere may hold any label characters.
bool PassesFileCheck(const ChannelRecord& channel);
// Every in-use slot of the store passes; unused slots are not looked at.
bool SettingsPassCheck(const RadioSettings& settings);
// The first in-use slot that fails the file check, said for the user ("private channel 5
// (label "", TX 156.02500 MHz, RX 180.00000 MHz): ..."); nothing when the settings pass.
std::optional<std::string> FileCheckFailure(const RadioSettings& settings);

// The refusal of a text that goes into a settings file or a radio: nothing when every character
// is printable ASCII, else which character (from 1) is not, named as the user typed it.
std::optional<std::string> UnprintableTextRefusal(std::string_view text);

// The dialog texts for a frequency that breaks the rules.
std::string InvalidTxMessage();
std::string InvalidRxMessage();

}  // namespace orven
