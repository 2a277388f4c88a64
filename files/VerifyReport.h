// Comparing the settings on the PC with those read from a radio, and the verify report
// (Verify.txt) that records the comparison.
#pragma once

#include "files/ReportTime.h"
#include "model/RadioSettings.h"

#include <cstdint>
#include <string>

namespace orven {

// Difference flags of a comparison; 0 means equal.
inline constexpr std::int32_t kDiffPrivate = 0x8000;     // a private channel differs
inline constexpr std::int32_t kDiffBandOrStep = 0x4000;  // a band flag or a PLL step differs
inline constexpr std::int32_t kDiffIdentity = 0x2000;    // an identity the PC side programs differs
inline constexpr std::int32_t kVerifyFileError = -1;     // the report could not be written

// Frequencies closer than this are the same channel frequency.
inline constexpr double kFreqMatchToleranceMHz = 0.0001;

// Codes of CompareChannelRecord.
inline constexpr int kChannelEqual = 0;
inline constexpr int kChannelOnlyOnRadio = 1;
inline constexpr int kChannelTxDiffers = 2;
inline constexpr int kChannelRxDiffers = 3;
inline constexpr int kChannelRxOnlyDiffers = 4;
inline constexpr int kChannelLowPowerDiffers = 5;
inline constexpr int kChannelOnlyOnPc = 8;

// Compares one private channel of each side. Only one flag is compared, chosen by the radio's
// flags (rxOnly, else lowPower). The two ATIS flags are not compared: this program never writes
// them, so no write could mend a difference in them. Labels and usages are not compared.
int CompareChannelRecord(const ChannelRecord& radio, const ChannelRecord& pc);

// Compares the private channels, the band flags, the PLL steps and the identities the PC side
// programs (MMSI, ATIS, NMEA2000 number, serial number; not those it leaves for the radio to keep),
// and builds the report text ("\n" line ends, no final line break): each identity that differs
// gets a line after the steps, the radio's value first ("none" when it holds none). Returns 0 or
// kDiffPrivate | kDiffBandOrStep | kDiffIdentity bits.
std::int32_t CompareSettings(const RadioSettings& pc, const RadioSettings& radio, const ReportTime& time,
                             std::string& reportText);

// CompareSettings, with the report written to reportPath (replacing any earlier one);
// kVerifyFileError when it cannot be written.
std::int32_t CompareRadioSettings(const RadioSettings& pc, const RadioSettings& radio, const std::string& reportPath,
                                  const ReportTime& time);

}  // namespace orven
