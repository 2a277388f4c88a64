// Editing the private channel list: which channel a list button works on or why it refuses,
// where a new channel goes and how a removed one's gap closes, and the channel setup form (two
// name characters, a usage, the TX frequency and the mode; RX follows from TX and the mode). The
// desktop window and the web page both edit the list through here.
#pragma once

#include "model/ChannelBand.h"
#include "model/ChannelRecord.h"
#include "model/RadioSettings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orven {

// The refusals of the list's buttons.
inline constexpr const char* kOnlyPrivateText = "Only Private Channel Can be Modified!";
inline constexpr const char* kSelectFirstText = "Please Select a Channel First!";
inline constexpr const char* kChannelLimitText = "Channel Number Limit!";
inline constexpr const char* kNoChannelText = "NO Channel!";
inline constexpr const char* kSelectChannelText = "Please Select a Channel!";
inline constexpr const char* kReadOnlyListText = "UI Read Only!";

// What a list button does with the band shown, the row selected (-1 for none) and the number of
// channels listed: the refusal, or the row it works on (for Add, the row the new channel follows;
// -1 for the first of an empty list).
struct ListAction {
    std::optional<std::string> refusal;
    int row = -1;
};
ListAction EditAction(ChannelBand band, int selected);
// A double-click edits too, unless the list is read-only for this run; elsewhere than on a
// channel it does nothing (no refusal, row -1).
ListAction DoubleClickAction(ChannelBand band, int selected, bool readOnly);
ListAction AddAction(ChannelBand band, int selected, int count);
ListAction RemoveAction(ChannelBand band, int selected, int count);

// Puts `added` directly after private channel `row` of a run of `count` (at the start of an empty run).
void InsertPrivate(RadioSettings& settings, int count, int row, const ChannelRecord& added);
// Closes the gap of channel `row` in a run of `count`; the vacated last record keeps its fields
// but is no longer in use.
void RemovePrivate(RadioSettings& settings, int count, int row);

// A new channel starts out simplex on this frequency.
inline constexpr double kNewChannelMHz = 157.85;

enum class ChannelMode { DuplexPlus, Simplex, DuplexMinus };

// The channel setup form: list entries (-1 when none is chosen, and the record keeps what it had)
// and the TX text as typed.
struct ChannelForm {
    int nameFirst = -1;
    int nameSecond = -1;
    int usage = -1;
    std::string tx;
    ChannelMode mode = ChannelMode::Simplex;
};

// The choices of the form's lists: the label's first character, its second (a digit), the usages.
std::vector<std::string> NameChoices(bool first);
std::vector<std::string> UsageChoices();

// The record of a new channel before the form is filled in, and the form showing a record.
ChannelRecord NewChannelRecord();
ChannelForm FormOf(const ChannelRecord& record);
// The form of a new channel: its frequency, simplex, nothing chosen in the lists.
ChannelForm NewChannelForm();

// A frequency as the form reads it: the decimal number at the start of the text (leading blanks
// skipped, anything after the number ignored), 0 when there is none; and as it shows one, "%8.5f".
double ReadFrequency(std::string_view text);
std::string FrequencyText(double mhz);
double RxFor(ChannelMode mode, double txMHz);
// What the form's RX field shows for its TX and mode.
std::string RxText(const ChannelForm& form);

// The TX frequency's refusal as the form says it when the field is left; nothing when it passes.
std::optional<std::string> TxRefusal(const ChannelForm& form);
// Why the form cannot be taken (the TX frequency, or the RX its mode gives); nothing when it can.
std::optional<std::string> FormRefusal(const ChannelForm& form);
// Stores the form into the record: TX, RX from TX and the mode, and the entries chosen.
void StoreForm(const ChannelForm& form, ChannelRecord& record);

}  // namespace orven
