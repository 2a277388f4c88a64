// The serial engine and soak tests run this link behind a pseudo-terminal in real time with every
// fault, and the pseudo-terminal test paces it; here time is stepped by hand, so that the order of
// every byte can be pinned.
#include "sim/SimulatedSerialLink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace orven {
namespace {

using namespace std::chrono_literals;
using Clock = SimulatedSerialLink::Clock;
using Stream = std::vector<std::uint8_t>;

const Clock::time_point t0 = Clock::time_point{} + 1h;

Stream Wire(const CloneFrame& f) { return Stream(FrameBytes(f), FrameBytes(f) + kFrameSize); }

Stream Join(std::initializer_list<Stream> parts) {
    Stream all;
    for (const Stream& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

class SimulatedSerialLinkTest : public ::testing::Test {
protected:
    SimulatedSerialLinkTest() {
        for (std::size_t a = 0; a < radio.Memory().size(); ++a)
            radio.Memory()[a] = static_cast<std::uint8_t>(a ^ 0x5C);
    }

    void Send(const Stream& bytes, Clock::time_point at) { link.FromPc(bytes.data(), bytes.size(), at); }

    // Everything the PC could have read by `at`.
    Stream Take(Clock::time_point at) {
        Stream out(4096);
        out.resize(link.ToPc(out.data(), out.size(), at));
        return out;
    }

    // The radio's untouched answer to a read of 0x0100..0x0113.
    Stream ReadReply() const {
        CloneFrame f = MakeReadFrame(0x0100, 20);
        std::memcpy(f.data, radio.Memory().data() + 0x0100, 20);
        SealFrame(f);
        return Wire(f);
    }

    SimulatedRadio radio;
    SimulatedSerialLink link{radio};
    const CloneFrame read = MakeReadFrame(0x0100, 20);
};

TEST_F(SimulatedSerialLinkTest, FramesAreFoundAfterGarbageAndAStalePartFrameIsForgotten) {
    const Stream junk = {0x00, 'x', '$', 'R', 'E', 'Z', '$'};
    Send(Join({junk, Wire(read)}), t0);
    EXPECT_EQ(Take(t0), Join({junk, Wire(read), ReadReply()}));
    EXPECT_EQ(radio.Counters().frames, 1u);

    const Stream whole = Wire(read);
    const Stream head(whole.begin(), whole.begin() + 10);
    Send(head, t0 + 10s);
    Send(Wire(read), t0 + 10s + 10ms);  // too soon: its bytes complete the old frame, which is garbled
    EXPECT_EQ(Take(t0 + 11s), Join({head, whole}));
    Send(head, t0 + 20s);
    Send(Wire(read), t0 + 21s);  // after the adaptor's partial-frame timeout
    EXPECT_EQ(Take(t0 + 21s), Join({head, whole, ReadReply()}));
}

TEST_F(SimulatedSerialLinkTest, LateReplyComesAfterItsDelayAndAfterTheEchoOfAFrameSentMeanwhile) {
    radio.Faults().replyDelay = 100ms;
    Send(Wire(read), t0);
    EXPECT_EQ(Take(t0 + 99ms), Wire(read));
    ASSERT_TRUE(link.NextDue());
    EXPECT_EQ(*link.NextDue(), t0 + 100ms);
    EXPECT_EQ(Take(t0 + 100ms), ReadReply());

    Send(Wire(read), t0 + 1s);
    Send(Wire(read), t0 + 1s + 50ms);  // a retry while the first reply is still on its way
    EXPECT_EQ(Take(t0 + 2s), Join({Wire(read), Wire(read), ReadReply(), ReadReply()}));
}

// A radio deaf for 20 ms after each reply it gives: a frame sent sooner is echoed, never
// answered, and does not make the deaf time longer.
TEST_F(SimulatedSerialLinkTest, RadioBusyAfterItsReplyMissesAFrameSentTooSoon) {
    radio.Faults().minFrameGap = 20ms;
    for (const auto& [at, heard] : {std::pair{0ms, true}, {19ms, false}, {20ms, true}, {39ms, false}, {40ms, true}}) {
        SCOPED_TRACE(at.count());
        Send(Wire(read), t0 + at);
        EXPECT_EQ(Take(t0 + at), heard ? Join({Wire(read), ReadReply()}) : Wire(read));
    }
}

// The garbled echo hits the chosen byte of every third frame; the radio hears each frame as it
// was sent and answers it.
TEST_F(SimulatedSerialLinkTest, AGarbledEchoChangesOneByteOfTheChosenFramesAndTheRadioStillAnswers) {
    radio.Faults().garbledEchoByte = 9;
    radio.Faults().scope.everyFrame = 3;
    Stream garbled = Wire(read);
    garbled[9] ^= kGarbledEchoBits;
    for (int frame = 1; frame <= 6; ++frame) {
        SCOPED_TRACE(frame);
        const auto at = t0 + frame * 1s;
        Send(Join({Stream{'$', 0x00}, Wire(read)}), at);  // a broken start first: its '$' is no byte of the frame
        EXPECT_EQ(Take(at), Join({Stream{'$', 0x00}, frame % 3 == 0 ? garbled : Wire(read), ReadReply()}));
    }
    EXPECT_EQ(radio.Counters().reads, 6u);
}

}  // namespace
}  // namespace orven
