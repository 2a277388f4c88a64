// A wait as ppoll() takes it, to the nanosecond: a wait rounded up to whole milliseconds, as poll()
// takes it, would outlast a fast receive's quiet gap, or deliver a paced byte late, by most of a
// millisecond -- more than a byte time at any speed above 9600 baud.
#pragma once

#include <chrono>
#include <ctime>

namespace orven {

// A negative wait, a deadline already passed, is none: ppoll() only looks.
inline timespec PollTimeOf(std::chrono::nanoseconds wait) {
    if (wait < wait.zero()) wait = wait.zero();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
    return {static_cast<time_t>(seconds.count()), static_cast<long>((wait - seconds).count())};
}

}  // namespace orven
