#include "sim/DemoRadio.h"

#include "model/AppState.h"
#include "model/ImageCodec.h"
#include "model/RadioSettings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace orven {
namespace {

std::vector<std::uint8_t> At(const RadioImage& m, std::size_t address, std::size_t n) {
    return std::vector<std::uint8_t>(m.begin() + address, m.begin() + address + n);
}

TEST(DemoRadioTest, MemoryHoldsAEuropeanRadio) {
    RadioImage m;
    m.fill(0xEE);
    FillDemoMemory(m);

    EXPECT_EQ(m[0x0000], 0) << "the whole image is rewritten";
    EXPECT_EQ(m[0x1FFF], 0);
    EXPECT_EQ(m[0x0104], 1);
    EXPECT_EQ(m[0x02FD], 1) << "Europe";
    EXPECT_EQ(m[0x02FE], 0x44) << "INT (bit 2) and Private (bit 6)";
    // MMSI 211234560 + "0": pairs 21 12 34 56 00.
    EXPECT_EQ(m[0x0120], 1);
    EXPECT_EQ(At(m, 0x0121, 5), (std::vector<std::uint8_t>{21, 12, 34, 56, 0}));
    // ATIS "9" + 211234567: pairs 92 11 23 45 67.
    EXPECT_EQ(m[0x011A], 1);
    EXPECT_EQ(At(m, 0x011B, 5), (std::vector<std::uint8_t>{92, 11, 23, 45, 67}));
    // NMEA2000 123456 = 0x01E240.
    EXPECT_EQ(At(m, 0x0135, 3), (std::vector<std::uint8_t>{0x40, 0xE2, 0x01}));
    EXPECT_EQ(std::memcmp(m.data() + 0x0138, "20261206", 8), 0);

    EXPECT_EQ(m[0x0226], 7) << "private channels";
    // M1 on 157.850 MHz: code 120 + 1; TX 157.85 * 160 = 25256 = 0x62A8 (6.25 kHz steps);
    // RX (157.85 - 19.65) * 80 = 11056 = 0x2B30 (12.5 kHz steps); usage 33 (marina).
    EXPECT_EQ(At(m, 0x0300, 10),
              (std::vector<std::uint8_t>{0, 121, 0, 0, 0, 0xA8, 0x62, 0x30, 0x2B, 33}));
}

TEST(DemoRadioTest, ReadsBackWithDuplexChannels) {
    RadioImage m{};
    FillDemoMemory(m);
    AppState state = FreshAppState();
    state.modelType = kModelEurInt;
    RadioSettings s;
    RadioImage unused{};
    ImageCodec(state, s, unused, m).Decode();

    EXPECT_STREQ(s.mmsiId, "211234560");
    EXPECT_STREQ(s.serialNo, "20261206");
    ASSERT_EQ(PrivateChannelCount(s), 7u);
    int duplex = 0;
    for (std::size_t i = 0; i < 7; ++i) {
        const ChannelRecord& r = PrivateChannel(s, i);
        if (r.rxMHz - r.txMHz > 4.59 && r.rxMHz - r.txMHz < 4.61) ++duplex;
        EXPECT_GE(r.txMHz, 136.0);
        EXPECT_LE(r.rxMHz, 174.0);
    }
    EXPECT_GE(duplex, 2);
}

}  // namespace
}  // namespace orven
