#include "link/PortNames.h"

#include "link/LinkTestSupport.h"

#include <gtest/gtest.h>

namespace orven {
namespace {

using test::PortFolderScope;

// An empty port folder leaves the fixed table; the group boundaries are where mistakes hide.
// A folder entry wins over the table and names ports above 32.
TEST(PortNamesTest, FolderEntriesWinOverTheFixedTableOfCom1ToCom32) {
    PortFolderScope folder;
    const std::pair<int, const char*> fixed[] = {
        {8, "/dev/ttyUSB7"}, {9, "/dev/ttyACM0"}, {17, "/dev/ttyS0"}, {32, "/dev/ttyS15"}, {33, ""}, {0, ""}};
    for (const auto& [n, device] : fixed) EXPECT_EQ(ComPortDevice(n), device) << n;

    folder.Link(3, "/dev/null");
    folder.Link(100, "/nowhere/at/all");  // dangling: still names the port
    for (int n : {3, 100}) EXPECT_EQ(ComPortDevice(n), folder.Entry(n)) << n;
}

TEST(PortNamesTest, ComNamesAreReadInAnyCaseWithinTheirRange) {
    const std::pair<const char*, int> names[] = {{"COM1", 1}, {"com32", 32}, {"Com257", 257}, {"COM258", 0},
                                                 {"COM0", 0},  {"COM01", 0},  {"COM+3", 0},    {"COM", 0},
                                                 {"COM3x", 0}, {"XCOM3", 0}};
    for (const auto& [name, n] : names) EXPECT_EQ(ParseComPortName(name), n) << name;
}

}  // namespace
}  // namespace orven
