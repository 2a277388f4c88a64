#include "cli/Choices.h"

#include "model/PlatformLogi.h"

#include <CLI/CLI.hpp>

#include <strings.h>

namespace orven::cli {

const ChoiceList kModelTypeChoices = {{"0", kModelUsa}, {"1", kModelEurInt}, {"2", kModelEurIntUsa}};

std::string ChoiceNames(const ChoiceList& choices) {
    std::string names;
    for (const auto& [name, value] : choices) names += (names.empty() ? "" : "|") + name;
    return names;
}

CLI::Option* WithChoices(CLI::Option* option, const ChoiceList& choices) {
    const std::string names = ChoiceNames(choices);
    CLI::Validator choose(
        [choices, names](std::string& input) -> std::string {
            for (const auto& [name, value] : choices)
                if (strcasecmp(input.c_str(), name.c_str()) == 0) return input = std::to_string(value), "";
            return "'" + input + "' is not one of " + names;
        },
        "");
    return option->type_name(names)->transform(choose);
}

}  // namespace orven::cli
