// The memory of a plausible European radio, so that the simulated radio has something to show
// when it is read before anything was written to it.
#pragma once

#include "model/RadioImage.h"

#include <memory>
#include <string>

namespace orven {

class SimulatedHidBackend;

inline constexpr const char* kDemoMmsi = "211234560";
inline constexpr const char* kDemoAtis = "211234567";  // the radio's ATIS is 9211234567
inline constexpr const char* kDemoNmea = "123456";
inline constexpr const char* kDemoSerial = "20261206";

// Rewrites the whole image: INT and Private bands, a handful of marina and duplex private
// channels, MMSI, ATIS, NMEA2000 number and serial number.
void FillDemoMemory(RadioImage& memory);

// A radio as its maker ships it, for a fleet: the demo memory with this serial number (at most 8
// characters) and no MMSI, ATIS or NMEA2000 number.
void FillNewRadioMemory(RadioImage& memory, const std::string& serial);

// The built-in demo radio as both front ends attach it: a simulated USB radio holding that memory.
std::shared_ptr<SimulatedHidBackend> MakeDemoUsbRadio();

}  // namespace orven
