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

// Texts from both ends of each message table, so that a row out of place shows, and the
// fallbacks of each class and of an unknown one.
TEST(CloneResultText, MessagesAndFallbacksByClass) {
    const std::pair<CloneResult, const char*> cases[] = {
        {1, "User Cancel."}, {0x10003, "Write Error."}, {0x10011, "CheckSum Error"},
        {0x10016, "COM Port Access is denied."}, {0x20002, "Open File Error."}, {0x20007, "File Exist."},
        {0x40001, "Function Parameter Error"}, {0x10000, "Error"}, {0x10005, "Error"}, {0x10010, "Error"},
        {0x10017, "Error"}, {0x1FFFF, "Error"}, {0x20001, "Unknown File Error."}, {0x20008, "Unknown File Error."},
        {0, "Unknown Error"}, {2, "Unknown Error"}, {0x40002, "Unknown Error"}, {0x30001, "Unknown Error"},
        {0xFFFFFFFF, "Unknown Error"},
    };
    for (const auto& [code, text] : cases) EXPECT_EQ(Lookup(code), text) << std::hex << code;
}

}  // namespace
}  // namespace orven
