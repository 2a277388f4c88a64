// The text a user sees for a CloneResult (the codes themselves are in GlobalDef.h).
#pragma once

#include "GlobalDef.h"

#include <cstddef>
#include <string>

namespace orven {

// Fills text (capacity bytes, all zeroed first) with the code's message; a message longer than
// capacity is cut without a terminating zero.
void LookupResultText(char* text, std::size_t capacity, CloneResult code);

// The same message as a string.
std::string ResultText(CloneResult code);

}  // namespace orven
