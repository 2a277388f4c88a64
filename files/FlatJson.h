// The small records the archive keeps (an entry's record, a line of the programming log): one
// JSON object of string values, written on one line and read back field by field. A line that is
// not such an object is told apart, never guessed at.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orven {

using FlatFields = std::vector<std::pair<std::string, std::string>>;

// {"key": "value", ...} in the given order, on one line, without a line end. Texts are escaped
// so that any byte string survives: control characters and bytes above 0x7E as \u00XX.
std::string FlatJsonLine(const FlatFields& fields);

// The fields of such a line (white space around the tokens allowed); nothing for anything else.
std::optional<std::map<std::string, std::string>> ParseFlatJson(std::string_view line);

}  // namespace orven
