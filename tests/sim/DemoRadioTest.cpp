#include "sim/DemoRadio.h"

#include "model/AppState.h"
#include "model/ImageCodec.h"
#include "model/RadioSettings.h"

#include <gtest/gtest.h>

#include <memory>

namespace orven {
namespace {

// The MMSI, NMEA and serial numbers are checked end to end by the command-line demo test; what
// it does not see is checked here on the decoded image.
TEST(DemoRadioTest, MemoryHoldsAEuropeanRadioWithDuplexChannels) {
    RadioImage memory;
    memory.fill(0xEE);
    FillDemoMemory(memory);
    AppState state = FreshAppState();
    state.modelType = kModelEurInt;
    auto s = std::make_unique<RadioSettings>();
    RadioImage unused{};
    ASSERT_EQ(ImageCodec(state, *s, unused, memory).Decode(), 0);

    EXPECT_EQ(memory[0x1FFF], 0) << "the whole image is rewritten";
    EXPECT_EQ(s->model, 1);
    EXPECT_EQ(s->bandINT + s->bandPrivate, 2u);
    EXPECT_EQ(s->bandUSA + s->bandCAN + s->bandWX + s->bandUSANarrow + s->bandINTNarrow + s->bandCANNarrow, 0u);
    EXPECT_EQ(s->atisByUser, 0u);
    EXPECT_STREQ(s->atisId, kDemoAtis);
    EXPECT_STREQ(s->mmsiId, kDemoMmsi);
    ASSERT_EQ(PrivateChannelCount(*s), 7u);
    int duplex = 0;
    for (std::size_t i = 0; i < 7; ++i) {
        const ChannelRecord& r = PrivateChannel(*s, i);
        if (r.rxMHz - r.txMHz > 4.59 && r.rxMHz - r.txMHz < 4.61) ++duplex;
        EXPECT_GE(r.txMHz, 136.0);
        EXPECT_LE(r.rxMHz, 174.0);
    }
    EXPECT_EQ(duplex, 2);
}

}  // namespace
}  // namespace orven
