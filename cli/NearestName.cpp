#include "cli/NearestName.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace orven::cli {

namespace {

// Letters inserted, deleted or replaced to turn one word into the other, ignoring case.
std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            const std::size_t replaced = diagonal + (same ? 0 : 1);
            diagonal = row[j];
            row[j] = std::min({replaced, row[j] + 1, row[j - 1] + 1});
        }
    }
    return row[b.size()];
}

}  // namespace

std::string NearestName(const std::string& word, const std::vector<std::string>& names) {
    std::string best;
    std::size_t bestDistance = 0;
    for (const std::string& name : names) {
        const std::size_t distance = EditDistance(word, name);
        if (distance > std::max<std::size_t>(2, name.size() / 3) || distance >= name.size()) continue;
        if (best.empty() || distance < bestDistance) best = name, bestDistance = distance;
    }
    return best;
}

}  // namespace orven::cli
