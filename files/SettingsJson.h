// The settings document as JSON, with stable key names, and back: what `orven-cli show --json`
// prints and `from-json` reads, and what the web edition shows.
#pragma once

#include "model/RadioSettings.h"

#include <nlohmann/json.hpp>

#include <string>

namespace orven {

nlohmann::ordered_json SettingsToJson(const RadioSettings& settings);

// Builds settings from JSON, starting from the defaults of its "modelType". Returns false with
// a message naming the offending key when the input is not a valid document; `settings` is
// written only on success.
bool SettingsFromJson(const nlohmann::json& doc, RadioSettings& settings, std::string& error);

}  // namespace orven
