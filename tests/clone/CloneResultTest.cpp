#include "clone/CloneResult.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace orven {
namespace {

std::string Lookup(CloneResult code) {
    char buffer[128];
    std::memset(buffer, 'x', sizeof buffer);
    LookupResultText(buffer, sizeof buffer, code);
    return std::string(buffer, strnlen(buffer, sizeof buffer));
}

// The engine and CLI tests see the link texts; these are the file texts and the fallbacks.
TEST(CloneResultText, OwnMessagesAndFallbacksByClass) {
    EXPECT_EQ(Lookup(0x20007), "File Exist.");
    EXPECT_EQ(ResultText(0x40001), "Function Parameter Error");
    for (CloneResult code : {0x10000u, 0x10005u, 0x10010u, 0x10017u, 0x1FFFFu}) EXPECT_EQ(Lookup(code), "Error") << std::hex << code;
    for (CloneResult code : {0x20001u, 0x20008u}) EXPECT_EQ(Lookup(code), "Unknown File Error.") << std::hex << code;
    for (CloneResult code : {0u, 2u, 0x40002u, 0x30001u, 0xFFFFFFFFu}) EXPECT_EQ(Lookup(code), "Unknown Error") << std::hex << code;
}

TEST(CloneResultText, BufferIsZeroedAndCutAtCapacity) {
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    LookupResultText(buffer, sizeof buffer, 1);
    EXPECT_STREQ(buffer, "User Cancel.");
    for (std::size_t i = std::strlen("User Cancel."); i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 0);

    char small[6];
    LookupResultText(small, sizeof small, 0x1000E);
    EXPECT_EQ(std::string(small, sizeof small), "Radio ");  // no terminating zero when cut
}

}  // namespace
}  // namespace orven
