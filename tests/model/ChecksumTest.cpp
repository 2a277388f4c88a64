#include "model/Checksum.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orven {
namespace {

// Bytes count as signed and the sum wraps at 32 bits; every byte of the record counts, the last
// included. The sum of the USA defaults is pinned end to end by the command-line test.
TEST(SettingsChecksum, SumsSignedBytesOfTheWholeRecord) {
    const std::uint8_t bytes[] = {0x01, 0xFF, 0x80, 0x7F};
    EXPECT_EQ(ByteSum(bytes, 3), 0xFFFFFF80u);  // 1 - 1 - 128
    EXPECT_EQ(ByteSum(bytes, -5), 0u);

    RadioSettings s;
    std::memset(&s, 0, sizeof s);
    Bytes(s)[sizeof s - 1] = 0xAB;
    EXPECT_EQ(ChecksumText(SettingsChecksum(s)), "CheckSum=0xFFFFFFAB");
}

}  // namespace
}  // namespace orven
