// The document as an editor's fields show it, and the rules by which the fields go back into it:
// the identities as typed, the model, the band switches, the PLL steps and the RX mid frequency.
// The desktop window and the web page both edit through here, so a document edited in either
// becomes the same bytes.
#pragma once

#include "model/ChannelBand.h"
#include "model/IdentityRules.h"
#include "model/PlatformLogi.h"
#include "model/RadioSettings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orven {

// How much of an identity field's text is read: what a buffer of 32 characters holds.
inline constexpr std::size_t kIdentityFieldReadLimit = 31;
// What an identity field says while it is blank or its "entry by user" is ticked: a write then
// keeps what the radio holds.
inline constexpr const char* kKeptByRadioText = "kept by radio";
inline constexpr const char* kKeptByRadioTip =
    "Blank, or with its \"entry by user\" ticked: a write keeps what the radio holds";

// The entries of the RX mid frequency list: the low one (stored as 0) and the high one.
inline constexpr std::size_t kRxMidEntries = 2;

// The band switches a user turns on and off freely; WX and Private follow the model.
inline constexpr std::array<ChannelBand, 6> kFreeBands = {ChannelBand::USA,        ChannelBand::INT,
                                                          ChannelBand::CAN,        ChannelBand::USA_Narrow,
                                                          ChannelBand::INT_Narrow, ChannelBand::CAN_Narrow};

struct DocumentFields {
    IdentityEntry identities;  // the texts as typed, with the entry-by-user switches
    bool usa = true;           // the model: USA, else Europe
    std::array<bool, kBandCount> bands{};  // every band's switch, by ChannelBand value
    int txStep = kStep6_25kHz;             // entries of the PLL step lists
    int rxStep = kStep6_25kHz;
    int rxMid = 0;                         // entry of the RX mid frequency list
};

// The fields showing the document: an MMSI or ATIS the radio keeps (entry by user) is not shown as
// one to write; a stored step or RX mid index that no entry stands for shows the first entry; the
// WX switch is on for a USA document and Private for a European one.
DocumentFields FieldsOf(const RadioSettings& settings);

// Takes the fields into the document. An emptied MMSI or ATIS field (its "entry by user" not
// ticked) empties the identity; an MMSI or ATIS that is not nine valid digits is not taken
// (the document keeps the one it had); the NMEA2000 number and the serial number are taken as far
// as their slots hold; a step or RX mid entry that is the one the stored value already shows
// leaves the stored value as it is, so a value no entry stands for survives until another is
// picked. WX and Private follow the model.
void TakeFields(RadioSettings& settings, const DocumentFields& fields);

// An MMSI or ATIS typed into its field goes into the document's slot when it is nine valid
// digits; anything else leaves the slot as it was.
void TakeIdentityText(std::string_view typed, char (&slot)[60]);

// The fields after the model was switched: WX on for USA, Private on for Europe.
void SwitchModel(DocumentFields& fields, bool usa);

// What an editor says under the MMSI and ATIS as they are typed: their kind, MID and country, and
// the warnings the two deserve for the model chosen. Nothing of a number the radio keeps (entry
// by user).
struct IdentityNotes {
    std::string mmsi;  // "ship station, MID 211, Germany"; empty for anything but nine digits
    std::string atis;
    std::vector<std::string> warnings;
};
IdentityNotes NotesOf(const IdentityEntry& entry, bool europeanModel);

// How the serial number and the NMEA2000 number are stepped by one: their digits as the radio
// counts them.
inline constexpr std::size_t kNmeaDigits = kNmeaTextLength;
inline constexpr std::size_t kSerialDigits = kSerialTextLimit;
// The highest value a step up reaches.
inline constexpr std::uint32_t kStepMaximum = 90000000;
// The text after one step up or down: only a text of digits alone is stepped, keeping its width
// with leading zeros and staying within `digits` digits (and kStepMaximum) and above 0; nothing
// when it cannot be stepped.
std::optional<std::string> SteppedDigits(std::string_view text, bool up, std::size_t digits);

// The refusal of a text typed into a field that takes printable ASCII only: "The serial number
// holds ... at position 3: only printable ASCII characters can be stored."; nothing when it may
// be stored. `what` names the field as the sentence begins.
std::optional<std::string> FieldTextRefusal(std::string_view what, std::string_view text);
// The fields that take printable ASCII only, as such a refusal names them.
inline constexpr const char* kNmeaFieldName = "The NMEA2000 number";
inline constexpr const char* kSerialFieldName = "The serial number";
inline constexpr const char* kBrandFieldName = "The brand name";
inline constexpr const char* kModelNameFieldName = "The model name";

}  // namespace orven
