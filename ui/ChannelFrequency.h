// How the channel setup dialog reads and shows a channel's frequencies. Numbers are read and
// written with '.' as the decimal point whatever the desktop's locale says, since the texts are
// the program's fixed formats. Which frequencies are valid is the settings rules' to say.
#pragma once

#include <QString>

namespace orven::ui {

// The most characters of an edit field that are read as a frequency.
inline constexpr int kFrequencyTextLimit = 32;

// The decimal number at the start of the text (leading blanks skipped, anything after the number
// ignored); 0 when the text does not start with a number.
double ReadFrequency(const QString& text);

// A frequency as the edits show it: "%8.5f".
QString FrequencyText(double mhz);

}  // namespace orven::ui
