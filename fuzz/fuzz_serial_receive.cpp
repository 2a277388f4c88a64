// Any byte stream after a sent frame, split over polls as the input says: the collector finds
// a frame only after a whole echo of the sent frame and only one starting with '$','R', counts
// what follows it, never overruns, and says the echo came first only when the input starts with it.
#include "clone/ReplyCollector.h"
#include "fuzz/FuzzSupport.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orven;
    if (size < 2) return 0;
    const std::size_t echo = data[0] % (kFrameSize + 1);  // the echo count the caller expects
    const std::size_t split = 1 + data[1] % 16;           // bytes per poll
    data += 2;
    size -= 2;
    const CloneFrame sent = MakeReadFrame(0x0100, 20);
    const std::uint8_t* sentBytes = FrameBytes(sent);
    ReplyCollector collector(sentBytes, echo, kFrameSize);
    std::size_t fed = 0;
    while (fed < size) {
        const std::size_t chunk = std::min(split, size - fed);
        collector.Feed(data + fed, chunk);
        fed += chunk;
    }
    if (collector.AnyByte() != (size > 0)) fuzz::Fail("AnyByte disagrees with the input");
    // Unbroken, the echo is what the input starts with, as far as it goes.
    const bool startsWithEcho = std::equal(data, data + std::min(size, echo), sentBytes);
    if (!collector.EchoBroken() && !startsWithEcho) fuzz::Fail("an unbroken echo the input does not start with");
    if (collector.EchoCameFirst() && (size < echo || !startsWithEcho)) fuzz::Fail("the echo came first, but not in the input");
    if (collector.Overrun() && !collector.Complete()) fuzz::Fail("an overrun without a frame");
    if (!collector.Complete()) return 0;
    const std::uint8_t* f = collector.Frame();
    if (f[0] != '$' || f[1] != 'R') fuzz::Fail("a frame that does not start with $R");
    if (size < echo + kFrameSize) fuzz::Fail("a frame completed from fewer bytes than echo and frame");
    const std::uint8_t* found = std::search(data, data + size, sentBytes, sentBytes + echo);
    if (found == data + size && echo > 0) fuzz::Fail("a frame without the whole echo before it");
    return 0;
}
