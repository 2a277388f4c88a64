// What the model wizard builds: a model type's default document, with a European country's
// private channels in its Private block.
#pragma once

#include "model/RadioSettings.h"

#include <cstddef>
#include <string>
#include <vector>

namespace orven {

// The wizard's preview shows at most this many private channels.
inline constexpr std::size_t kMaxPreviewRows = 30;

// Empties all 100 Private records, then fills them from the country's preset table (0..7; any
// other value, "None" included, leaves the block empty).
void LoadCountryPresets(RadioSettings& settings, int country);

// The defaults of the model type; for a European type (non-zero) also the country's presets.
void BuildModelDocument(RadioSettings& settings, int modelType, int country);

// The wizard's preview rows of the Private block.
std::vector<std::string> PresetPreviewLines(const RadioSettings& settings);

}  // namespace orven
