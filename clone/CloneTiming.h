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
    // Fast transfer: a receive ends as soon as the reply is complete, waiting on the port's
    // readiness instead of fixed polls, and the stop event is only tested (not waited on) before
    // a receive; a byte trailing the reply is watched for afterwards (kFastEchoWatchBytes).
    // Attempts, checks, codes and the longest wait of a receive stay as above. The first failed
    // attempt turns the rest of the operation over to the polled receive (CCloneEngine::FellBack).
    bool fast = false;
};

// How often a fast receive looks at the stop event while the line is silent.
inline constexpr std::chrono::milliseconds kFastStopTestPeriod{5};
// A reply taken at its last byte is watched for a byte trailing it (which makes it
// untrustworthy) until the next frame's echo has come whole: a byte ahead of that echo or inside
// it is such a byte. That echo takes this many byte times. A reply that fell silent between its
// bytes for longer may do so again before a trailing byte, so the receive first waits out the
// part of its longest silence that the echo would not cover.
inline constexpr int kFastEchoWatchBytes = 1 + 32;
// After the last reply of an operation no echo follows: the line must stay quiet for this many bit
// times (a byte and a half, where a byte sent straight after the last comes one byte time later),
// at least kFastMinQuietGap, and longer by the longest silence inside the reply.
inline constexpr int kFastQuietBits = 15;
inline constexpr std::chrono::microseconds kFastMinQuietGap{500};
// A byte on the serial line: start bit, eight data bits, stop bit.
inline constexpr int kLineBitsPerByte = 10;

inline constexpr CloneTiming kProductTiming{};

}  // namespace orven
