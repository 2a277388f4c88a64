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
#include <termios.h>

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

    static tcflag_t ControlFlags(const CPCUart& uart) {
        termios tio{};
        EXPECT_EQ(tcgetattr(uart.Handle(), &tio), 0);
        return tio.c_cflag;
    }

    Pty pty;
    PortFolderScope folder;
};

// A pty forces 8 data bits without parity, so only stop bits, odd/even and flow control can be
// seen on it; the full mapping is tested on the termios record itself.
TEST_F(CPCUartTest, OpensByIndexAsARawLineWithTheFieldsAndSpeedItIsGiven) {
    CPCUart uart;
    EXPECT_STREQ(uart.ClassName(), "CPCUart");
    EXPECT_TRUE(uart.IsKindOf(&CObject::classCObject));
    EXPECT_FALSE(CObject().IsKindOf(&CPCUart::classCPCUart));

    ASSERT_TRUE(uart.OpenDefault(4, kBaudTable[0]));
    EXPECT_EQ(uart.LastError(), kResultOk);
    EXPECT_EQ(ControlFlags(uart) & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD),
              static_cast<tcflag_t>(CS8 | CLOCAL | CREAD));
    for (std::uint32_t baud : kBaudTable) {
        uart.baudRate = baud;
        ASSERT_TRUE(uart.SetState()) << baud;
        EXPECT_EQ(GetSerialSpeed(uart.Handle()), baud);
    }
    uart.Close();

    ASSERT_TRUE(uart.Open(4, 56000, 7, kStopBitsTwo, kParityOdd));
    EXPECT_EQ(ControlFlags(uart) & (PARODD | CSTOPB | CRTSCTS), static_cast<tcflag_t>(PARODD | CSTOPB));
    EXPECT_EQ(GetSerialSpeed(uart.Handle()), 56000u);
    uart.parity = kParityEven;
    uart.stopBits = kStopBitsOne;
    uart.lineFlags = kLineFlagCtsRts;
    ASSERT_TRUE(uart.SetState());
    EXPECT_EQ(ControlFlags(uart) & (PARODD | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CRTSCTS));
    uart.byteSize = 9;
    EXPECT_FALSE(uart.SetState());
    uart.Close();

    // A line the tty cannot take fails the open; the error from before stays.
    EXPECT_FALSE(uart.Open(4, 9600, 8, 1, kParityNone));
    EXPECT_FALSE(uart.IsOpen());
    EXPECT_EQ(uart.LastError(), kResultOk);
    // OpenDefault puts the line back to 8N1.
    ASSERT_TRUE(uart.OpenDefault(4, 9600));
    EXPECT_EQ(ControlFlags(uart) & (PARODD | CSTOPB), 0u);
}

TEST_F(CPCUartTest, PortsThatAreNotThereAreNotFound) {
    folder.Link(6, folder.Dir() + "/nothing-here");    // COM6, index 5: a dangling link
    folder.Link(257, pty.SlavePath());                 // index 256: the last one allowed
    folder.Link(258, pty.SlavePath());                 // index 257: never looked for
    { std::ofstream(folder.Entry(7)) << "plain file"; }  // COM7, index 6: not a terminal
    CPCUart uart;
    for (int index : {257, 5, 39}) {
        EXPECT_FALSE(uart.OpenDefault(index, 9600)) << index;
        EXPECT_EQ(uart.LastError(), kResultPortNotFound) << index;
    }

    // A file that is not a terminal fails to open, leaving the last error as it was.
    ASSERT_TRUE(uart.OpenDefault(256, 9600));
    uart.Close();
    EXPECT_FALSE(uart.OpenDefault(6, 9600));
    EXPECT_FALSE(uart.IsOpen());
    EXPECT_EQ(uart.Handle(), -1);
    EXPECT_EQ(uart.LastError(), kResultOk);
    // The failed open let go of the file: its lock is free.
    int fd = open(folder.Entry(7).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    close(fd);
}

TEST_F(CPCUartTest, APortHeldElsewhereIsDeniedAndScansAbsent) {
    folder.Link(6, "/nowhere/at/all");
    EXPECT_TRUE(ScanComPorts()[4]);
    EXPECT_TRUE(ScanComPorts()[4]) << "the scan gives the port back";
    EXPECT_FALSE(ScanComPorts()[5]);

    CPCUart second;
    {
        CPCUart first;
        ASSERT_TRUE(first.OpenDefault(4, 9600));
        EXPECT_FALSE(second.OpenDefault(4, 9600));
        EXPECT_EQ(second.LastError(), kResultPortDenied);
        EXPECT_FALSE(second.OpenPath(pty.SlavePath(), 9600));
        EXPECT_EQ(second.LastError(), kResultPortDenied);
        EXPECT_FALSE(ScanComPorts()[4]);
    }
    EXPECT_TRUE(ScanComPorts()[4]) << "destruction let go of the port";

    // Another program's lock counts as well.
    int other = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(second.OpenDefault(4, 9600));
    EXPECT_EQ(second.LastError(), kResultPortDenied);
    EXPECT_FALSE(ScanComPorts()[4]);
    close(other);
    EXPECT_TRUE(second.OpenDefault(4, 9600));
    EXPECT_EQ(second.LastError(), kResultOk);
}

TEST_F(CPCUartTest, WriteGivesUpAfterAboutOneSecond) {
    CPCUart uart;
    ASSERT_TRUE(uart.OpenDefault(4, 9600));
    // Nobody reads the master, so the pty's buffers fill and stay full.
    std::vector<std::uint8_t> flood(1 << 20, 0x55);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(uart.Write(flood.data(), flood.size()), kResultPortWrite);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(900));
    EXPECT_LT(elapsed, std::chrono::milliseconds(3000));
}

TEST_F(CPCUartTest, HangUpAndCloseStopTransfers) {
    CPCUart uart;
    EXPECT_EQ(uart.Close(), 1);
    ASSERT_TRUE(uart.OpenDefault(4, 9600));
    pty.CloseMaster();
    std::uint8_t byte = 0x41;
    EXPECT_EQ(uart.Write(&byte, 1), kResultPortWrite) << "hung-up line";

    EXPECT_EQ(uart.Close(), 1);
    EXPECT_FALSE(uart.IsOpen());
    EXPECT_EQ(uart.Handle(), -1);
    std::size_t count = 7;
    EXPECT_EQ(uart.Write(&byte, 1), kResultPortWrite);
    EXPECT_EQ(uart.Read(&byte, 1, &count), kResultPortRead);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(uart.BytesWaiting(), 0u);
}

}  // namespace
}  // namespace orven
