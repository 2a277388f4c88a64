#include "model/UsageNameTable.h"

namespace orven {

namespace {
// Each name is stored in a 20-byte slot, NUL-padded.
constexpr char kUsageNameTable[kUsageNameCount][20] = {
    "                ", "  162.550000Mhz ", "  162.400000Mhz ", "  162.475000Mhz ",
    "  162.425000Mhz ", "  162.450000Mhz ", "  162.500000Mhz ", "  162.525000Mhz ",
    "  161.650000Mhz ", "  161.775000Mhz ", "  163.275000Mhz ", " PORT OPERATION ",
    " PORT OPERAT/VTS", " BOAT OPERATION ", "    INTER-SHIP  ", "INTERSHIP/SAFETY",
    "      PLEASURE  ", "      DISTRESS  ", "         DSC    ", "       CALLING  ",
    " NON-COMMERCIAL ", "     COMMERCIAL ", " COMMERCIAL/VTS ", " COMMERCIAL FISH",
    "     GREAT LAKE ", "     GOVERNMENT ", "   UNAUTHORIZED ", "STATE CONTROLLED",
    "    COAST GUARD ", "COAST GUARD/SAR ", " CORRESPONDENCE ", "BRIDGE TO BRIDGE",
    "  ENVIRONMENTAL ", "       MARINA   ", "      LEISURE   ", "      FISHING   ",
};
}  // namespace

std::string_view UsageName(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= kUsageNameCount) index = 0;
    return std::string_view(kUsageNameTable[index]);
}

}  // namespace orven
