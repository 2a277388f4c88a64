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

    termios LineOf(const CPCUart& uart) {
        termios tio{};
        EXPECT_EQ(tcgetattr(uart.Handle(), &tio), 0);
        return tio;
    }

    // Polls BytesWaiting until `count` bytes are queued (the pty delivers asynchronously).
    std::size_t WaitForBytes(CPCUart& uart, std::size_t count) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        std::size_t waiting = uart.BytesWaiting();
        while (waiting < count && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            waiting = uart.BytesWaiting();
        }
        return waiting;
    }

    Pty pty;
    PortFolderScope folder;
};

TEST_F(CPCUartTest, CarriesItsRuntimeClassName) {
    CPCUart uart;
    EXPECT_STREQ(uart.ClassName(), "CPCUart");
    EXPECT_TRUE(uart.IsKindOf(&CPCUart::classCPCUart));
    EXPECT_TRUE(uart.IsKindOf(&CObject::classCObject));
    CObject plain;
    EXPECT_FALSE(plain.IsKindOf(&CPCUart::classCPCUart));
    EXPECT_STREQ(plain.ClassName(), "CObject");
}

TEST_F(CPCUartTest, OpensByIndexThroughPortFolderAsRaw8N1) {
    CPCUart uart;
    EXPECT_FALSE(uart.IsOpen());
    EXPECT_EQ(uart.Handle(), -1);

    ASSERT_TRUE(uart.OpenDefault(4, 9600));
    EXPECT_TRUE(uart.IsOpen());
    EXPECT_EQ(uart.LastError(), kResultOk);
    EXPECT_EQ(uart.byteSize, 8);
    EXPECT_EQ(uart.lineFlags, 4);

    termios tio = LineOf(uart);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
    EXPECT_EQ(GetSerialSpeed(uart.Handle()), 9600u);
}

// A pty forces 8 data bits without parity, so only stop bits, odd/even and flow control can be
// seen here; the full mapping is tested on the termios record itself.
TEST_F(CPCUartTest, LineFieldsReachTheTty) {
    CPCUart uart;
    ASSERT_TRUE(uart.Open(4, 19200, 7, kStopBitsTwo, kParityOdd));
    EXPECT_EQ(uart.byteSize, 7);
    EXPECT_EQ(uart.stopBits, kStopBitsTwo);
    EXPECT_EQ(uart.parity, kParityOdd);
    termios tio = LineOf(uart);
    EXPECT_EQ(tio.c_cflag & (PARODD | CSTOPB | CRTSCTS), static_cast<tcflag_t>(PARODD | CSTOPB));
    EXPECT_EQ(GetSerialSpeed(uart.Handle()), 19200u);

    uart.parity = kParityEven;
    uart.stopBits = kStopBitsOne;
    uart.lineFlags = kLineFlagCtsRts;
    ASSERT_TRUE(uart.SetState());
    EXPECT_EQ(LineOf(uart).c_cflag & (PARODD | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CRTSCTS));

    uart.byteSize = 9;
    EXPECT_FALSE(uart.SetState());
    uart.Close();

    // A line the tty cannot take fails the open; the error from before stays.
    EXPECT_FALSE(uart.Open(4, 9600, 8, 1, kParityNone));
    EXPECT_FALSE(uart.IsOpen());
    EXPECT_EQ(uart.LastError(), kResultOk);
    // OpenDefault puts the line back to 8N1.
    ASSERT_TRUE(uart.OpenDefault(4, 9600));
    EXPECT_EQ(LineOf(uart).c_cflag & (PARODD | CSTOPB), 0u);
}

TEST_F(CPCUartTest, EveryBaudOfTheTableIsSet) {
    CPCUart uart;
    ASSERT_TRUE(uart.OpenDefault(4, kBaudTable[0]));
    for (std::uint32_t baud : kBaudTable) {
        uart.baudRate = baud;
        ASSERT_TRUE(uart.SetState()) << baud;
        EXPECT_EQ(GetSerialSpeed(uart.Handle()), baud);
    }
    uart.Close();
    ASSERT_TRUE(uart.OpenDefault(4, 56000));
    EXPECT_EQ(GetSerialSpeed(uart.Handle()), 56000u);
}

TEST_F(CPCUartTest, IndexAbove256IsNotFoundWithoutLookingAtTheFolder) {
    folder.Link(258, pty.SlavePath());
    folder.Link(257, pty.SlavePath());
    CPCUart uart;
    EXPECT_FALSE(uart.OpenDefault(257, 9600));
    EXPECT_EQ(uart.LastError(), kResultPortNotFound);
    EXPECT_FALSE(uart.IsOpen());

    // 256 is the last index allowed: COM257.
    EXPECT_TRUE(uart.OpenDefault(256, 9600));
    EXPECT_EQ(uart.LastError(), kResultOk);
}

TEST_F(CPCUartTest, MissingDevicesAreNotFound) {
    folder.Link(6, folder.Dir() + "/nothing-here");
    CPCUart uart;
    EXPECT_FALSE(uart.OpenDefault(5, 9600));  // COM6: dangling link
    EXPECT_EQ(uart.LastError(), kResultPortNotFound);
    EXPECT_FALSE(uart.OpenDefault(39, 9600));  // COM40: nothing names it
    EXPECT_EQ(uart.LastError(), kResultPortNotFound);
    EXPECT_FALSE(uart.OpenPath(folder.Dir() + "/nothing-here", 9600));
    EXPECT_EQ(uart.LastError(), kResultPortNotFound);
    EXPECT_FALSE(uart.IsOpen());
}

TEST_F(CPCUartTest, APortHeldByAnotherOpenIsDeniedAndScansAbsent) {
    CPCUart first;
    ASSERT_TRUE(first.OpenDefault(4, 9600));

    CPCUart second;
    EXPECT_FALSE(second.OpenDefault(4, 9600));
    EXPECT_EQ(second.LastError(), kResultPortDenied);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_FALSE(second.OpenPath(pty.SlavePath(), 9600));
    EXPECT_EQ(second.LastError(), kResultPortDenied);
    EXPECT_FALSE(ScanComPorts()[4]);

    EXPECT_EQ(first.Close(), 1);
    EXPECT_TRUE(ScanComPorts()[4]);
    EXPECT_TRUE(second.OpenDefault(4, 9600));
    EXPECT_EQ(second.LastError(), kResultOk);
}

TEST_F(CPCUartTest, AnotherProgramsLockCountsAsInUse) {
    int other = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);

    CPCUart uart;
    EXPECT_FALSE(uart.OpenDefault(4, 9600));
    EXPECT_EQ(uart.LastError(), kResultPortDenied);
    EXPECT_FALSE(ScanComPorts()[4]);
    close(other);
    EXPECT_TRUE(uart.OpenDefault(4, 9600));
}

TEST_F(CPCUartTest, BytesTravelBothWays) {
    CPCUart uart;
    ASSERT_TRUE(uart.OpenDefault(4, 115200));
    EXPECT_EQ(uart.BytesWaiting(), 0u);

    // Bytes a cooked line would alter: CR, LF, XON/XOFF, NUL, 0xFF.
    const std::vector<std::uint8_t> out = {'$', 'R', 'E', 'Z', '\r', '\n', 0x11, 0x13, 0x00, 0xFF};
    EXPECT_EQ(uart.Write(out.data(), out.size()), kResultOk);
    EXPECT_EQ(pty.ReadMaster(out.size()), out);

    const std::vector<std::uint8_t> in = {0x24, 0x0D, 0x0A, 0x03, 0x7F, 0x00, 0x11, 0xA5};
    ASSERT_EQ(write(pty.Master(), in.data(), in.size()), static_cast<ssize_t>(in.size()));
    ASSERT_EQ(WaitForBytes(uart, in.size()), in.size());

    std::vector<std::uint8_t> got(in.size() + 4, 0xEE);
    std::size_t count = 99;
    EXPECT_EQ(uart.Read(got.data(), got.size(), &count), kResultOk);
    ASSERT_EQ(count, in.size());
    got.resize(count);
    EXPECT_EQ(got, in);

    // Nothing waiting: a read returns at once with no bytes.
    EXPECT_EQ(uart.BytesWaiting(), 0u);
    count = 99;
    EXPECT_EQ(uart.Read(got.data(), got.size(), &count), kResultOk);
    EXPECT_EQ(count, 0u);
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

TEST_F(CPCUartTest, HungUpLineFailsWrites) {
    CPCUart uart;
    ASSERT_TRUE(uart.OpenDefault(4, 9600));
    pty.CloseMaster();
    const std::uint8_t byte = 0x41;
    EXPECT_EQ(uart.Write(&byte, 1), kResultPortWrite);
}

TEST_F(CPCUartTest, NonTtyFailsToOpenKeepingTheLastError) {
    { std::ofstream(folder.Entry(7)) << "plain file"; }
    CPCUart uart;
    EXPECT_FALSE(uart.OpenDefault(300, 9600));
    ASSERT_EQ(uart.LastError(), kResultPortNotFound);

    EXPECT_FALSE(uart.OpenDefault(6, 9600));
    EXPECT_FALSE(uart.IsOpen());
    EXPECT_EQ(uart.Handle(), -1);
    EXPECT_EQ(uart.LastError(), kResultPortNotFound);

    ASSERT_TRUE(uart.OpenDefault(4, 9600));
    uart.Close();
    EXPECT_FALSE(uart.OpenDefault(6, 9600));
    EXPECT_EQ(uart.LastError(), kResultOk);

    // The failed open let go of the file: its lock is free.
    int fd = open(folder.Entry(7).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    close(fd);
}

TEST_F(CPCUartTest, CloseIsRepeatableAndStopsTransfers) {
    CPCUart uart;
    EXPECT_EQ(uart.Close(), 1);
    ASSERT_TRUE(uart.OpenDefault(4, 9600));
    EXPECT_EQ(uart.Close(), 1);
    EXPECT_EQ(uart.Close(), 1);
    EXPECT_FALSE(uart.IsOpen());
    EXPECT_EQ(uart.Handle(), -1);

    std::uint8_t byte = 0;
    std::size_t count = 7;
    EXPECT_EQ(uart.Write(&byte, 1), kResultPortWrite);
    EXPECT_EQ(uart.Read(&byte, 1, &count), kResultPortRead);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(uart.BytesWaiting(), 0u);
}

TEST_F(CPCUartTest, DestructionReleasesThePort) {
    {
        CPCUart uart;
        ASSERT_TRUE(uart.OpenDefault(4, 9600));
    }
    CPCUart again;
    EXPECT_TRUE(again.OpenDefault(4, 9600));
}

}  // namespace
}  // namespace orven
