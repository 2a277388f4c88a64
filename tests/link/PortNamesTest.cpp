#include "link/PortNames.h"

#include "link/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace orven {
namespace {

using test::PortFolderScope;
using test::Pty;

// An empty port folder leaves the fixed table; the group boundaries are where mistakes hide.
TEST(PortNamesTest, FixedTableCoversCom1ToCom32) {
    PortFolderScope folder;
    EXPECT_EQ(ComPortDevice(1), "/dev/ttyUSB0");
    EXPECT_EQ(ComPortDevice(8), "/dev/ttyUSB7");
    EXPECT_EQ(ComPortDevice(9), "/dev/ttyACM0");
    EXPECT_EQ(ComPortDevice(16), "/dev/ttyACM7");
    EXPECT_EQ(ComPortDevice(17), "/dev/ttyS0");
    EXPECT_EQ(ComPortDevice(32), "/dev/ttyS15");
    EXPECT_EQ(ComPortDevice(33), "");
    EXPECT_EQ(ComPortDevice(257), "");
    EXPECT_EQ(ComPortDevice(0), "");
    EXPECT_EQ(ComPortDevice(-1), "");
    EXPECT_EQ(ComPortName(10), "COM10");  // the user's name, whatever the device
}

TEST(PortNamesTest, FolderEntryWinsOverTableAndNamesHighPorts) {
    PortFolderScope folder;
    folder.Link(3, "/dev/null");
    folder.Link(100, "/nowhere/at/all");  // dangling: still names the port
    { std::ofstream(folder.Entry(20)) << "not a device"; }

    EXPECT_EQ(ComPortDevice(3), folder.Entry(3));
    EXPECT_EQ(ComPortDevice(100), folder.Entry(100));
    EXPECT_EQ(ComPortDevice(20), folder.Entry(20));
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
    if (!savedHome.empty()) {
        setenv("HOME", savedHome.c_str(), 1);
    }
}

TEST(PortNamesTest, ScanMarksOpenablePortsAndSkipsMissingOnes) {
    Pty pty;
    ASSERT_TRUE(pty.Ok());
    PortFolderScope folder;
    folder.Link(5, pty.SlavePath());
    folder.Link(6, "/nowhere/at/all");

    auto present = ScanComPorts();
    EXPECT_TRUE(present[4]);
    EXPECT_FALSE(present[5]);

    // The scan must give the port back: a second scan finds it free again.
    EXPECT_TRUE(ScanComPorts()[4]);
}

}  // namespace
}  // namespace orven
