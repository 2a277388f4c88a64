// The settings document as readable text, for `orven-cli show`.
#pragma once

#include "model/RadioSettings.h"

#include <string>

namespace orven::cli {

std::string SettingsShowText(const RadioSettings& settings);

}  // namespace orven::cli
