#include "clone/ReplyCollector.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace orven {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Wire(const CloneFrame& f) { return Bytes(FrameBytes(f), FrameBytes(f) + kFrameSize); }

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A reply whose data holds no '$', so that a missed start cannot be found again inside it.
CloneFrame Reply() {
    CloneFrame f = MakeReadFrame(0x0100, 20);
    for (std::size_t i = 0; i < kFrameDataSize; ++i) f.data[i] = static_cast<std::uint8_t>(0x40 + i);
    SealFrame(f);
    return f;
}

// The identify frame as the adaptor echoes it: it starts with "$R" too.
const Bytes kEcho = Wire(MakeIdentifyFrame());

void Feed(ReplyCollector& c, const Bytes& bytes) { c.Feed(bytes.data(), bytes.size()); }

bool HoldsReply(const ReplyCollector& c) {
    const CloneFrame expected = Reply();
    return c.Complete() && std::memcmp(c.Frame(), FrameBytes(expected), kFrameSize) == 0;
}

// What a collector holds after a stream, fed in one piece and byte by byte.
TEST(ReplyCollectorTest, FindsTheReplyOnlyAfterTheWholeEcho) {
    struct Case { const char* what; Bytes stream; std::size_t echoSize; bool found; };
    const Bytes reply = Wire(Reply());
    const Case cases[] = {
        {"echo then reply: the echo's own \"$R\" is not the reply", kEcho + reply, kFrameSize, true},
        {"one echo byte missing: the echo is never whole", Bytes(kEcho.begin(), kEcho.end() - 1) + reply,
         kFrameSize, false},
        {"no echo to skip", reply, 0, true},
        {"noise, '$' without 'R', a lone 'R'", kEcho + Bytes{0x00, 0xFF, 'R', '$', 'X', 'R', 0x0D} + reply,
         kFrameSize, true},
        // "$$R": the second '$' drops the first and is dropped itself.
        {"second dollar", kEcho + Bytes{'$'} + reply, kFrameSize, false},
        {"a later reply after the second dollar", kEcho + Bytes{'$'} + reply + reply, kFrameSize, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReplyCollector whole(kEcho.data(), c.echoSize, kFrameSize);
        Feed(whole, c.stream);
        EXPECT_EQ(HoldsReply(whole), c.found);
        EXPECT_EQ(whole.Complete(), c.found);

        ReplyCollector pieces(kEcho.data(), c.echoSize, kFrameSize);
        for (std::uint8_t b : c.stream) pieces.Feed(&b, 1);
        EXPECT_EQ(HoldsReply(pieces), c.found);
    }
}

TEST(ReplyCollectorTest, LateReplyBeforeTheEchoIsPassedOver) {
    // A read's echo looks like a reply with zero data; counting the late reply to the previous
    // chunk as "the echo" would make the echo the reply.
    const CloneFrame request = MakeReadFrame(0x0100, 20);
    const Bytes sent = Wire(request);
    CloneFrame late = MakeReadFrame(0x00EC, 20);
    late.data[3] = 0x24;
    SealFrame(late);

    ReplyCollector c(sent.data(), kFrameSize, kFrameSize);
    Feed(c, Wire(late) + Bytes{'$', 'R', 'E'} + sent + Wire(Reply()));
    EXPECT_TRUE(HoldsReply(c));
    EXPECT_FALSE(c.Overrun());
}

// Whether the line began with the whole echo tells whether a byte that trailed the reply before
// came after it; whatever precedes the echo or breaks into it may be such a byte.
TEST(ReplyCollectorTest, TellsWhetherTheEchoCameFirst) {
    struct Case { const char* what; Bytes stream; bool first; bool broken; };
    const Bytes reply = Wire(Reply());
    const Bytes half(kEcho.begin(), kEcho.begin() + 16);
    const Case cases[] = {
        {"echo, then the reply", kEcho + reply, true, false},
        {"nothing yet", {}, false, false},
        {"half of the echo so far", half, false, false},
        {"a byte before the echo", Bytes{0x00} + kEcho + reply, false, true},
        // A '$' before the echo's own '$' looks like its start until the second byte.
        {"a dollar before the echo", Bytes{'$'} + kEcho + reply, false, true},
        {"a byte inside the echo", half + Bytes{0x00} + Bytes(kEcho.begin() + 16, kEcho.end()) + reply, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReplyCollector collector(kEcho.data(), kFrameSize, kFrameSize);
        Feed(collector, c.stream);
        EXPECT_EQ(collector.EchoCameFirst(), c.first);
        EXPECT_EQ(collector.EchoBroken(), c.broken);
    }
}

}  // namespace
}  // namespace orven
