#include "link/PortNames.h"

#include "link/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace orven {
namespace {

using test::PortFolderScope;

// An empty port folder leaves the fixed table; the group boundaries are where mistakes hide.
// A folder entry of any kind wins over the table and names ports above 32.
TEST(PortNamesTest, FolderEntriesWinOverTheFixedTableOfCom1ToCom32) {
    PortFolderScope folder;
    const std::pair<int, const char*> fixed[] = {
        {1, "/dev/ttyUSB0"}, {8, "/dev/ttyUSB7"}, {9, "/dev/ttyACM0"}, {16, "/dev/ttyACM7"},
        {17, "/dev/ttyS0"},  {32, "/dev/ttyS15"}, {33, ""},            {257, ""},
        {0, ""},             {-1, ""}};
    for (const auto& [n, device] : fixed) EXPECT_EQ(ComPortDevice(n), device) << n;
    EXPECT_EQ(ComPortName(10), "COM10");  // the user's name, whatever the device

    folder.Link(3, "/dev/null");
    folder.Link(100, "/nowhere/at/all");  // dangling: still names the port
    { std::ofstream(folder.Entry(20)) << "not a device"; }
    for (int n : {3, 100, 20}) EXPECT_EQ(ComPortDevice(n), folder.Entry(n)) << n;
    EXPECT_EQ(ComPortDevice(4), "/dev/ttyUSB3");
    EXPECT_EQ(ComPortDevice(101), "");
}

TEST(PortNamesTest, PortFolderComesFromVariableElseHome) {
    PortFolderScope folder;  // restores the variable afterwards
    EXPECT_EQ(PortFolder(), folder.Dir());

    std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", "/home/tester", 1);
    setenv(kPortDirVariable, "", 1);
    EXPECT_EQ(PortFolder(), "/home/tester/.config/orven/ports");
    unsetenv(kPortDirVariable);
    EXPECT_EQ(PortFolder(), "/home/tester/.config/orven/ports");
    unsetenv("HOME");
    EXPECT_EQ(PortFolder(), "");
    EXPECT_EQ(ComPortDevice(5), "/dev/ttyUSB4");
    if (!savedHome.empty()) setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
}  // namespace orven
