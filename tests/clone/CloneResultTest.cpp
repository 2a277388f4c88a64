#include "clone/CloneResult.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace orven {
namespace {

std::string Lookup(CloneResult code, std::size_t capacity = 128) {
    std::vector<char> buffer(capacity + 1, 'x');
    LookupResultText(buffer.data(), capacity, code);
    return std::string(buffer.data(), strnlen(buffer.data(), capacity));
}

TEST(CloneResultText, EveryCodeWithAMessageOfItsOwn) {
    const std::vector<std::pair<CloneResult, const char*>> table = {
        {1, "User Cancel."},
        {0x10002, "Read Error."},
        {0x10003, "Write Error."},
        {0x10004, "Verify Error."},
        {0x1000B, "Read from Comp Port Error."},
        {0x1000C, "Write to Comp Port Error."},
        {0x1000D, "Adaptor is not detected!"},
        {0x1000E, "Radio is not detected!"},
        {0x1000F, "Communication time out!"},
        {0x10011, "CheckSum Error"},
        {0x10012, "Invalid Data"},
        {0x10013, "Radio and PC software are not matched."},
        {0x10014, "Open Comp Port Error."},
        {0x10015, "The system cannot find the COM Port specified."},
        {0x10016, "COM Port Access is denied."},
        {0x20002, "Open File Error."},
        {0x20003, "Read from File Error."},
        {0x20004, "Write to File Error."},
        {0x20005, "Unknown File Format."},
        {0x20006, "File Read Only."},
        {0x20007, "File Exist."},
        {0x40001, "Function Parameter Error"},
    };
    for (const auto& [code, text] : table) {
        EXPECT_EQ(Lookup(code), text) << std::hex << code;
        EXPECT_EQ(ResultText(code), text) << std::hex << code;
    }
}

TEST(CloneResultText, FallbacksByClass) {
    for (CloneResult code : {0x10000u, 0x10001u, 0x10005u, 0x1000Au, 0x10010u, 0x10017u, 0x1FFFFu})
        EXPECT_EQ(Lookup(code), "Error") << std::hex << code;
    for (CloneResult code : {0x20000u, 0x20001u, 0x20008u, 0x2FFFFu})
        EXPECT_EQ(Lookup(code), "Unknown File Error.") << std::hex << code;
    for (CloneResult code : {0u, 2u, 0x40000u, 0x40002u, 0x30001u, 0x80001u, 0xFFFFFFFFu})
        EXPECT_EQ(Lookup(code), "Unknown Error") << std::hex << code;
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
