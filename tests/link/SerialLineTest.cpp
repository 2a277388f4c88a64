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

// Whatever the fields, the line is raw, reads return at once, the receiver is on and the modem
// status lines are ignored; only the CTS/RTS bit of the flags turns on hardware flow control,
// and a parity-checked line marks bad characters. Codes with no termios form are refused.
TEST(SerialLineTest, FieldsMapOntoARawLine) {
    struct Case { std::uint8_t byteSize, parity, stopBits, flags; tcflag_t size, parityBits, stop, flow; };
    const Case cases[] = {
        {8, kParityNone, kStopBitsOne, 0x04, CS8, 0, 0, 0},
        {6, kParityOdd, kStopBitsTwo, kLineFlagCtsRts, CS6, PARENB | PARODD, CSTOPB, CRTSCTS},
        {7, kParityEven, kStopBitsOne, kLineFlagDsrDtr, CS7, PARENB, 0, 0},
        {8, kParityMark, kStopBitsTwo, kLineFlagDsrDtr | kLineFlagCtsRts, CS8,
         PARENB | CMSPAR | PARODD, CSTOPB, CRTSCTS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.byteSize) << " bits, parity " << int(c.parity));
        termios tio = CookedLine();
        ASSERT_TRUE(ComposeRawLine(tio, c.byteSize, c.parity, c.stopBits, c.flags));
        EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CLOCAL | CREAD),
                  c.size | c.parityBits | c.stop | c.flow | CLOCAL | CREAD);
        EXPECT_EQ(tio.c_iflag & (ICRNL | IXON | IXOFF | IXANY | ISTRIP | INPCK),
                  c.parity == kParityNone ? 0u : static_cast<tcflag_t>(INPCK));
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(tio.c_cc[VMIN], 0);
        EXPECT_EQ(tio.c_cc[VTIME], 0);
    }
    // Byte sizes outside 5..8, parity codes above space, one and a half or three stop bits.
    const std::uint8_t refused[][3] = {{4, kParityNone, kStopBitsOne}, {9, kParityNone, kStopBitsOne},
                                       {8, 5, kStopBitsOne}, {8, kParityNone, 1}};
    for (const auto& r : refused) {
        termios tio = CookedLine();
        EXPECT_FALSE(ComposeRawLine(tio, r[0], r[1], r[2], 0)) << int(r[0]) << int(r[1]) << int(r[2]);
    }
}

}  // namespace
}  // namespace orven
