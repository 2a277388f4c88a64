#include "model/Checksum.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace orven {
namespace {

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

// Every byte of the record counts, the first and the last included. The sum of the USA defaults
// is pinned end to end by the command-line checksum test.
TEST(SettingsChecksum, SumsTheWholeRecordShownAsEightHexDigits) {
    RadioSettings s;
    std::memset(&s, 0, sizeof s);
    EXPECT_EQ(ChecksumText(SettingsChecksum(s)), "CheckSum=0x00000000");
    Bytes(s)[0] = 0x7F;
    EXPECT_EQ(ChecksumText(SettingsChecksum(s)), "CheckSum=0x0000007F");
    Bytes(s)[sizeof s - 1] = 0xAB;  // 127 - 85 = 42
    EXPECT_EQ(ChecksumText(SettingsChecksum(s)), "CheckSum=0x0000002A");

    // 43816 bytes of -1: 2^32 - 43816 = 0xFFFF54D8.
    std::memset(&s, 0xFF, sizeof s);
    EXPECT_EQ(ChecksumText(SettingsChecksum(s)), "CheckSum=0xFFFF54D8");
    EXPECT_EQ(ChecksumText(0xABCDEFu), "CheckSum=0x00ABCDEF");
}

}  // namespace
}  // namespace orven
