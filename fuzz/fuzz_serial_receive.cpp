// Any byte stream after a sent frame, split over polls as the input says: the collector finds
// a frame only after the echo and only one starting with '$','R', and never overruns.
#include "clone/ReplyCollector.h"
#include "fuzz/FuzzSupport.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orven;
    if (size < 2) return 0;
    const std::size_t echo = data[0] % 40;   // the echo count the caller expects
    const std::size_t split = 1 + data[1] % 16;  // bytes per poll
    data += 2;
    size -= 2;
    ReplyCollector collector(echo, kFrameSize);
    std::size_t fed = 0;
    std::size_t firstDollarAfterEcho = size;
    for (std::size_t i = echo; i < size; ++i)
        if (data[i] == '$') { firstDollarAfterEcho = i; break; }
    while (fed < size) {
        const std::size_t chunk = std::min(split, size - fed);
        collector.Feed(data + fed, chunk);
        fed += chunk;
    }
    if (collector.AnyByte() != (size > 0)) fuzz::Fail("AnyByte disagrees with the input");
    if (collector.Complete()) {
        const std::uint8_t* f = collector.Frame();
        if (f[0] != '$' || f[1] != 'R') fuzz::Fail("a frame that does not start with $R");
        if (size < echo + kFrameSize) fuzz::Fail("a frame completed from fewer bytes than echo and frame");
        if (firstDollarAfterEcho == size) fuzz::Fail("a frame without any '$' after the echo");
    }
    return 0;
}
