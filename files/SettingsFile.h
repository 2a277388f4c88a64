// The settings file (*.dat): the RadioSettings record byte for byte, with no header. A file is
// recognised only by the plausibility of the channels it holds.
#pragma once

#include "GlobalDef.h"
#include "model/RadioSettings.h"
#include "model/SettingsRules.h"

#include <cstddef>
#include <string>

namespace orven {

inline constexpr std::size_t kSettingsFileSize = sizeof(RadioSettings);

// What the status line says once a settings file has been opened, and saved.
inline constexpr const char* kOpenFileOkText = "Open file OK.";
inline constexpr const char* kSaveFileOkText = "Save file OK.";
// Asked before a document with unsaved changes is replaced or closed: Yes saves it first, No drops
// the changes, Cancel keeps the document.
inline constexpr const char* kSaveQuestionTitle = "WARNING";
inline constexpr const char* kSaveQuestionText = "File is modified. Do you want to save?";

// Writes the record atomically. kResultOk or kResultFileWrite (the earlier file stays whole).
CloneResult SaveSettingsFile(const std::string& path, const RadioSettings& settings);

// Reads and checks a file; only a file that passes replaces `out`. kResultOpenFile when the
// path cannot be opened or is a folder, kResultFileRead when reading fails, kResultFileFormat
// when the file is not exactly one record long or fails SettingsPassCheck. On success
// *readOnly (when given) tells whether the file is write-protected.
CloneResult LoadSettingsFile(const std::string& path, RadioSettings& out, bool* readOnly = nullptr);

}  // namespace orven
