// What the window says of an MMSI or ATIS number: its kind, MID and country as the model decodes
// them, for the labels beside the identity fields.
#pragma once

#include <QString>

#include <string>

namespace orven::ui {

// "ship station, MID 211, Germany"; empty for anything that is not nine digits.
QString MmsiDescription(const std::string& mmsi);
// "ATIS, MID 211, Germany" for the last nine digits of an ATIS; empty as above.
QString AtisDescription(const std::string& lastNine);

}  // namespace orven::ui
