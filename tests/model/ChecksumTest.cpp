#include "model/Checksum.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace orven {
namespace {

RadioSettings ZeroSettings() {
    RadioSettings s;
    std::memset(&s, 0, sizeof s);
    return s;
}

TEST(ByteSum, TakesBytesAsSignedAndWrapsAt32Bits) {
    const std::uint8_t bytes[] = {0x01, 0xFF, 0x80, 0x7F};
    EXPECT_EQ(ByteSum(bytes, 4), 0xFFFFFFFFu);  // 1 - 1 - 128 + 127 = -1
    EXPECT_EQ(ByteSum(bytes, 3), 0xFFFFFF80u);  // -128
    EXPECT_EQ(ByteSum(bytes, 0), 0u);
    EXPECT_EQ(ByteSum(bytes, -5), 0u);
    EXPECT_EQ(ByteSum(nullptr, 0), 0u);

    // 17,000,000 * 127 = 2,159,000,000: past the largest signed 32-bit value, 0x80AFB9C0.
    const std::vector<std::uint8_t> many(17'000'000, 0x7F);
    EXPECT_EQ(ByteSum(many.data(), static_cast<long>(many.size())), 0x80AFB9C0u);
}

TEST(SettingsChecksum, SingleBytesAndFullRecords) {
    RadioSettings s = ZeroSettings();
    EXPECT_EQ(ChecksumText(SettingsChecksum(s)), "CheckSum=0x00000000");

    Bytes(s)[1234] = 0xFF;
    EXPECT_EQ(ChecksumText(SettingsChecksum(s)), "CheckSum=0xFFFFFFFF");
    Bytes(s)[1234] = 0x7F;
    EXPECT_EQ(ChecksumText(SettingsChecksum(s)), "CheckSum=0x0000007F");

    // 43816 bytes of -1: 2^32 - 43816 = 0xFFFF54D8. The last byte counts as well.
    std::memset(&s, 0xFF, sizeof s);
    EXPECT_EQ(SettingsChecksum(s), 0xFFFF54D8u);
    s = ZeroSettings();
    Bytes(s)[sizeof s - 1] = 0x05;
    EXPECT_EQ(SettingsChecksum(s), 5u);
}

TEST(SettingsChecksum, UsaDefaultsHaveAFixedValue) {
    RadioSettings s;
    LoadDefaults(s, kModelUsa);
    // "Corvantexia": 67+111+114+118+97+110+116+101+120+105+97 = 1156.
    // "ORVEN": 79+82+86+69+78 = 394.
    // Flags at 1: bandUSA, bandINT, bandCAN, bandPrivate, bandWX, mmsiByUser, rxStepIndex = 7.
    // 1156 + 394 + 7 = 1557 = 0x615.
    EXPECT_EQ(ChecksumText(SettingsChecksum(s)), "CheckSum=0x00000615");
}

TEST(SettingsChecksum, AnyByteChangesIt) {
    RadioSettings base;
    LoadDefaults(base, kModelUsa);
    const std::uint32_t before = SettingsChecksum(base);

    // Reserved words and blocks, a channel's unused words, a flag, a label, a name.
    const std::size_t offsets[] = {
        offsetof(RadioSettings, reserved0),
        offsetof(RadioSettings, reserved1),
        offsetof(RadioSettings, reserved2) + 195,
        offsetof(RadioSettings, channels) + 5 * sizeof(ChannelRecord) +
            offsetof(ChannelRecord, reserved3),
        offsetof(RadioSettings, reserved3) + 63,
        offsetof(RadioSettings, reserved4) + 800,
        offsetof(RadioSettings, bandINTNarrow),
        offsetof(RadioSettings, channels) + 300 * sizeof(ChannelRecord) +
            offsetof(ChannelRecord, label),
        offsetof(RadioSettings, brandName) + 15,
    };
    for (std::size_t at : offsets) {
        RadioSettings s = base;
        Bytes(s)[at] ^= 0x10;
        EXPECT_NE(SettingsChecksum(s), before) << at;
    }
}

TEST(ChecksumText, EightUpperCaseDigits) {
    EXPECT_EQ(ChecksumText(0xABCDEFu), "CheckSum=0x00ABCDEF");
    EXPECT_EQ(ChecksumText(0xFFFF54D8u), "CheckSum=0xFFFF54D8");
}

}  // namespace
}  // namespace orven
