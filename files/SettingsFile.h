// The settings file (*.dat): the RadioSettings record byte for byte, with no header. A file is
// recognised only by the plausibility of the channels it holds.
#pragma once

#include "GlobalDef.h"
#include "model/RadioSettings.h"

#include <cstddef>
#include <string>

namespace orven {

inline constexpr std::size_t kSettingsFileSize = sizeof(RadioSettings);

// Labels an in-use channel may have, in characters.
inline constexpr std::size_t kMinLabelLength = 2;
inline constexpr std::size_t kMaxLabelLength = 3;
// A TX frequency at or below this marks a receive-only channel and is not range-checked.
inline constexpr double kReceiveOnlyTxMHz = 0.0001;

// Writes the record atomically. kResultOk or kResultFileWrite (the earlier file stays whole).
CloneResult SaveSettingsFile(const std::string& path, const RadioSettings& settings);

// Reads and checks a file; only a file that passes replaces `out`. kResultOpenFile when the
// path cannot be opened or is a folder, kResultFileRead when reading fails, kResultFileFormat
// when the file is not exactly one record long or fails SettingsPassCheck. On success
// *readOnly (when given) tells whether the file is write-protected.
CloneResult LoadSettingsFile(const std::string& path, RadioSettings& out, bool* readOnly = nullptr);

// True when every in-use slot of the channel store has a label of 2 or 3 characters, an RX
// frequency within the radio's range and a TX frequency within it or receive-only. Unused slots
// are not looked at; NaN frequencies fail.
bool SettingsPassCheck(const RadioSettings& settings);

}  // namespace orven
