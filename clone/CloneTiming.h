// How long the engines wait. The product's timing is the default: a radio may rely on it.
#pragma once

#include <chrono>

namespace orven {

struct CloneTiming {
    // Each receive poll waits this long on the stop event before it looks at the line.
    std::chrono::milliseconds pollPeriod{20};
    // A serial receive always runs this many polls.
    int pollCount = 20;
    // A USB report transfer gives up after this long.
    std::chrono::milliseconds reportTimeout{100};
};

inline constexpr CloneTiming kProductTiming{};

}  // namespace orven
