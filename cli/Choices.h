// Options that take one of a fixed set of names: matched in any case, listed as "a|b|c" in --help.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace CLI {
class Option;
}

namespace orven::cli {

// The names in the order a person reads them, each with the value the option stores.
using ChoiceList = std::vector<std::pair<std::string, int>>;

// The model types by number, as --model-type takes them.
extern const ChoiceList kModelTypeChoices;

// "a|b|c".
std::string ChoiceNames(const ChoiceList& choices);

// Makes the option accept only the names (any case) and store their values.
CLI::Option* WithChoices(CLI::Option* option, const ChoiceList& choices);

}  // namespace orven::cli
