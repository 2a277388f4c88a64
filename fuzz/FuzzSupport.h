// Shared by the fuzz targets: feeding bytes through a file, and rendering a settings document
// every way the program shows one.
#pragma once

#include "model/RadioSettings.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace orven::fuzz {

// Writes the bytes to a scratch file in memory-backed storage and returns its path.
std::string ScratchFile(const char* name, const std::uint8_t* data, std::size_t size);

// Show text, JSON, channel list lines, frequency report and verify text of a document; aborts
// when any of them breaks its own contract.
void RenderEverything(const RadioSettings& settings);

// Stops the run with a message: a broken invariant is a finding.
[[noreturn]] void Fail(const char* what);

}  // namespace orven::fuzz
