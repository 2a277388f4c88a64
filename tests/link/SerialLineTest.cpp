#include "link/SerialLine.h"

#include <gtest/gtest.h>


namespace orven {
namespace {

// A record as a cooked terminal would have it, so every raw-mode change is visible.
termios CookedLine() {
    termios tio{};
    tio.c_iflag = ICRNL | IXON | IXOFF | IXANY | ISTRIP | INPCK;
    tio.c_oflag = OPOST | ONLCR;
    tio.c_lflag = ICANON | ECHO | ECHOE | ISIG | IEXTEN;
    tio.c_cflag = CS7 | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 5;
    return tio;
}

TEST(SerialLineTest, Default8N1IsRawWithoutFlowControl) {
    termios tio = CookedLine();
    ASSERT_TRUE(ComposeRawLine(tio, 8, kParityNone, kStopBitsOne, 0x04));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(tio.c_iflag & (ICRNL | IXON | IXOFF | IXANY | ISTRIP | INPCK), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
}

TEST(SerialLineTest, ByteSizeParityAndStopBitsMap) {
    struct Case {
        std::uint8_t byteSize, parity, stopBits;
        tcflag_t size, parityBits, stop;
    };
    const Case cases[] = {
        {5, kParityNone, kStopBitsOne, CS5, 0, 0},
        {6, kParityOdd, kStopBitsTwo, CS6, PARENB | PARODD, CSTOPB},
        {7, kParityEven, kStopBitsOne, CS7, PARENB, 0},
        {8, kParityMark, kStopBitsTwo, CS8, PARENB | CMSPAR | PARODD, CSTOPB},
        {8, kParitySpace, kStopBitsOne, CS8, PARENB | CMSPAR, 0},
    };
    for (const Case& c : cases) {
        termios tio = CookedLine();
        ASSERT_TRUE(ComposeRawLine(tio, c.byteSize, c.parity, c.stopBits, 0)) << int(c.byteSize);
        EXPECT_EQ(tio.c_cflag & CSIZE, c.size);
        EXPECT_EQ(tio.c_cflag & (PARENB | PARODD | CMSPAR), c.parityBits);
        EXPECT_EQ(tio.c_cflag & CSTOPB, c.stop);
        EXPECT_EQ((tio.c_iflag & INPCK) != 0, c.parity != kParityNone);
    }
}

TEST(SerialLineTest, OnlyTheCtsRtsBitTurnsOnHardwareFlowControl) {
    termios tio = CookedLine();
    ASSERT_TRUE(ComposeRawLine(tio, 8, kParityNone, kStopBitsOne, kLineFlagCtsRts));
    EXPECT_NE(tio.c_cflag & CRTSCTS, 0u);
    ASSERT_TRUE(ComposeRawLine(tio, 8, kParityNone, kStopBitsOne, kLineFlagDsrDtr));
    EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u);
    ASSERT_TRUE(ComposeRawLine(tio, 8, kParityNone, kStopBitsOne, kLineFlagDsrDtr | kLineFlagCtsRts));
    EXPECT_NE(tio.c_cflag & CRTSCTS, 0u);
}

TEST(SerialLineTest, UnsupportedCodesAreRefused) {
    termios tio = CookedLine();
    EXPECT_FALSE(ComposeRawLine(tio, 4, kParityNone, kStopBitsOne, 0));
    EXPECT_FALSE(ComposeRawLine(tio, 9, kParityNone, kStopBitsOne, 0));
    EXPECT_FALSE(ComposeRawLine(tio, 8, 5, kStopBitsOne, 0));
    EXPECT_FALSE(ComposeRawLine(tio, 8, kParityNone, 1, 0));  // one and a half
    EXPECT_FALSE(ComposeRawLine(tio, 8, kParityNone, 3, 0));
}

}  // namespace
}  // namespace orven
