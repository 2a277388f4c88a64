// The known name a mistyped word most likely meant, for "did you mean ...?".
#pragma once

#include <string>
#include <vector>

namespace orven::cli {

// The name fewest single-letter edits away from `word` (any case), when that is close enough to
// be a typo: at most two edits, or a third of a longer name's letters; empty otherwise.
std::string NearestName(const std::string& word, const std::vector<std::string>& names);

}  // namespace orven::cli
