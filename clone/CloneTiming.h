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
    // Fast transfer: a receive ends once the reply is complete and the line has been quiet for
    // a few byte times, waiting on the port's readiness instead of fixed polls, and the stop
    // event is only tested (not waited on) before a receive. Attempts, checks, codes and the
    // longest wait of a receive stay as above.
    bool fast = false;
};

// How often a fast receive looks at the stop event while the line is silent.
inline constexpr std::chrono::milliseconds kFastStopTestPeriod{5};
// The quiet line that ends a fast receive: this many byte times, and at least kFastMinQuietGap.
inline constexpr int kFastQuietBytes = 3;
inline constexpr std::chrono::microseconds kFastMinQuietGap{1000};

inline constexpr CloneTiming kProductTiming{};

}  // namespace orven
