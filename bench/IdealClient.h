// The ideal client: the floor a clone engine is measured against. It sends the same frames as
// the engine, on the same simulated radio, but knows where each reply ends: it stops reading at
// the reply's last byte (on serial the 64th byte back, echo included) and sends the next frame
// at once. It checks nothing, retries nothing and gives up on the first failure.
#pragma once

#include "bench/BenchLink.h"

#include <optional>
#include <vector>

namespace orven::bench {

// The whole run, from opening the port to closing it; nothing when an exchange failed.
std::optional<Clock::duration> RunIdealClient(BenchLink& link, const std::vector<CloneFrame>& frames);

// Each exchange alone, from sending its frame to its reply's last byte.
std::optional<std::vector<Clock::duration>> IdealExchanges(BenchLink& link, const CloneFrame& frame, int count);

}  // namespace orven::bench
