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
    // a byte and a half or so, waiting on the port's readiness instead of fixed polls, and the
    // stop event is only tested (not waited on) before a receive. Attempts, checks, codes and the
    // longest wait of a receive stay as above. The first failed attempt turns the rest of the
    // operation over to the polled receive (CCloneEngine::FellBack).
    bool fast = false;
};

// How often a fast receive looks at the stop event while the line is silent.
inline constexpr std::chrono::milliseconds kFastStopTestPeriod{5};
// The quiet line that ends a fast receive once the reply is complete, so that a byte trailing it
// (which makes it untrustworthy) is still seen: this many bit times (a byte and a half, where a
// byte sent straight after the last comes one byte time later), and at least kFastMinQuietGap.
// It grows by the longest silence between bytes of the reply: a line that fell silent there may
// do so again before a trailing byte.
inline constexpr int kFastQuietBits = 15;
inline constexpr std::chrono::microseconds kFastMinQuietGap{500};
// A byte on the serial line: start bit, eight data bits, stop bit.
inline constexpr int kLineBitsPerByte = 10;

inline constexpr CloneTiming kProductTiming{};

}  // namespace orven
