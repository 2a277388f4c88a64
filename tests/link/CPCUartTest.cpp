// The serial engine tests move whole transfers, every byte value both ways, through this class
// over a pseudo-terminal; what is left here is how a port is found, set up, refused and let go.
#include "link/CPCUart.h"

#include "GlobalDef.h"
#include "link/LinkTestSupport.h"
#include "link/PortNames.h"
#include "link/SerialSpeed.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sys/file.h>

namespace orven {
namespace {

using test::PortFolderScope;
using test::Pty;

// A pseudo-terminal reachable as COM5 (port index 4).
class CPCUartTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok());
        folder.Link(5, pty.SlavePath());
    }

    Pty pty;
    PortFolderScope folder;
};

TEST_F(CPCUartTest, PortsThatAreNotThereAreNotFound) {
    folder.Link(6, folder.Dir() + "/nothing-here");    // COM6, index 5: a dangling link
    folder.Link(258, pty.SlavePath());                 // index 257: never looked for
    { std::ofstream(folder.Entry(7)) << "plain file"; }  // COM7, index 6: not a terminal
    CPCUart uart;
    for (int index : {257, 39, 5}) {
        EXPECT_FALSE(uart.OpenDefault(index, 9600)) << index;
        EXPECT_EQ(uart.LastError(), kResultPortNotFound) << index;
    }
    EXPECT_EQ(uart.OpenFailureCause(), folder.Entry(6) + ": no such device");

    // A file that is not a terminal fails to open and is let go: its lock is free.
    EXPECT_FALSE(uart.OpenDefault(6, 9600));
    EXPECT_FALSE(uart.IsOpen());
    EXPECT_NE(uart.OpenFailureCause().find("line settings"), std::string::npos) << uart.OpenFailureCause();
    int fd = open(folder.Entry(7).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    close(fd);
}

TEST_F(CPCUartTest, APortHeldElsewhereIsDeniedAndScansAbsent) {
    EXPECT_TRUE(ScanComPorts()[4]);
    EXPECT_TRUE(ScanComPorts()[4]) << "the scan gives the port back";

    CPCUart second;
    {
        CPCUart first;
        ASSERT_TRUE(first.OpenDefault(4, 9600));
        EXPECT_FALSE(second.OpenDefault(4, 9600));
        EXPECT_EQ(second.LastError(), kResultPortDenied);
        EXPECT_FALSE(ScanComPorts()[4]);
    }
    EXPECT_TRUE(ScanComPorts()[4]) << "destruction let go of the port";

    // Another program's lock counts as well (which program, Check Connection's tests show).
    const int other = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(second.OpenDefault(4, 9600));
    EXPECT_EQ(second.LastError(), kResultPortDenied);
    EXPECT_EQ(second.OpenFailureCause(), folder.Entry(5) + ": in use by another program");
    close(other);
    EXPECT_TRUE(second.OpenDefault(4, 9600));
    EXPECT_TRUE(second.OpenFailureCause().empty());
}

TEST_F(CPCUartTest, WriteGivesUpAfterAboutOneSecondAndAHungUpLineFails) {
    CPCUart uart;
    ASSERT_TRUE(uart.OpenDefault(4, 9600));
    // Nobody reads the master, so the pty's buffers fill and stay full.
    std::vector<std::uint8_t> flood(1 << 20, 0x55);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(uart.Write(flood.data(), flood.size()), kResultPortWrite);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(900));
    EXPECT_LT(elapsed, std::chrono::milliseconds(3000));

    pty.CloseMaster();
    std::uint8_t byte = 0x41;
    EXPECT_EQ(uart.Write(&byte, 1), kResultPortWrite) << "hung-up line";
    EXPECT_EQ(uart.Close(), 1);
    std::size_t count = 7;
    EXPECT_EQ(uart.Read(&byte, 1, &count), kResultPortRead);
    EXPECT_EQ(count, 0u);
}

}  // namespace
}  // namespace orven
