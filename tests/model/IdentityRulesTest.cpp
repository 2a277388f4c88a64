#include "model/IdentityRules.h"
#include "model/LineFormat.h"

#include <gtest/gtest.h>

namespace orven {
namespace {

// The first refusal in the write command's order, or none; a ticked "by user" box means the
// identity is not programmed, so any text passes.
TEST(IdentityRules, FirstRefusalInTheWriteOrder) {
    // byUser: both "by user" boxes; refusal nullptr: the write goes ahead.
    struct Case { const char *mmsi, *atis, *nmea, *serial; bool byUser; const char* refusal; };
    const Case cases[] = {
        // Where the message's own reason does not fit, the real cause follows on a line of its own.
        {"012345678", "", "", "", false,
         "Invalid MMIS ID:012345678\nMake sure 9 digitals.\nan own MMSI cannot begin with 0: 0... is a group"},
        {"002111234", "", "", "", false,
         "Invalid MMIS ID:002111234\nMake sure 9 digitals.\nan own MMSI cannot begin with 0: 00... is a coast station"},
        {"12345678a", "", "", "", false,
         "Invalid MMIS ID:12345678a\nMake sure 9 digitals.\n\"a\" at position 9 is not a digit"},
        {"2\x1b[31m", "", "", "", false,
         "Invalid MMIS ID:2\\x1b[31m\nMake sure 9 digitals.\n\"\\x1b\" at position 2 is not a digit"},
        {"", "", "", "", false, nullptr},
        {"bad", "2", "", "", true, nullptr},
        {"1", "2", "", "", false, "Invalid MMIS ID:1\nMake sure 9 digitals."},
        {"", "2", "", "", false, "Invalid ATIS ID:2\nMake sure 9 digitals."},
        {"", "012345678", "", "", false,
         "Invalid ATIS ID:012345678\nMake sure 9 digitals.\nthe digits after the ATIS's 9 begin with a MID (2 to 7), "
         "never with 0"},
        {"", "", " 012345", "", false, nullptr},  // leading spaces go, a leading zero stays
        {"", "", "1234567", "", false, "Invalid NMEA ID:1234567\nMake sure 6 digitals."},
        {"", "", "12a456", "", false, "Invalid NMEA ID:12a456\nMake sure 6 digitals.\n\"a\" at position 3 is not a digit"},
        {"", "", "", "  AB1234", false, nullptr},  // any eight characters the radio can hold
        // The radio takes the first eight bytes as they are: a leading space would push the last one out.
        {"", "", "", " 12345678", false,
         "Invalid SERIAL ID: 12345678\nMake sure 8 digitals.\na serial number holds at most 8 characters, letters "
         "and spaces too; this one has 9"},
    };
    for (const Case& c : cases) {
        const auto got = CheckIdentitiesForWrite({c.mmsi, c.byUser, c.atis, c.byUser, c.nmea, c.serial});
        SCOPED_TRACE(std::string(c.mmsi) + "|" + c.atis + "|" + c.nmea + "|" + c.serial);
        EXPECT_EQ(got, c.refusal ? std::optional<std::string>(c.refusal) : std::nullopt) << got.value_or("");
    }
}

// Whatever bytes a radio or a file holds, the printed text holds no control character, no C1
// control, no byte that is not UTF-8, and tells each apart (a backslash in the text is doubled).
TEST(PrintableText, ControlsAndStrayBytesAreEscapedAndCharactersKept) {
    const struct { std::string in, out; } cases[] = {
        {"20261206", "20261206"},
        {"\x1b[31mRED\x1b[0m", "\\x1b[31mRED\\x1b[0m"},
        {"a\nb\r\t\x7f", "a\\x0ab\\x0d\\x09\\x7f"},
        {"C:\\x1b", "C:\\\\x1b"},                    // a literal backslash cannot pass for an escape
        {"K\xc3\xb6ln \xe2\x82\xac", "K\xc3\xb6ln \xe2\x82\xac"},  // ö and the euro sign stay
        {"\xc2\x9b" "2J", "\\xc2\\x9b" "2J"},        // U+009B, the one-byte CSI, in UTF-8
        {"\x9b" "2J", "\\x9b" "2J"},                    // and as a raw byte
        {"\xc0\xaf", "\\xc0\\xaf"},                  // an overlong slash
        {"\xe2\x82", "\\xe2\\x82"},                  // cut short
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},      // a surrogate
        {std::string("a\0b", 3), "a\\x00b"},
    };
    for (const auto& c : cases) EXPECT_EQ(PrintableText(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace orven
