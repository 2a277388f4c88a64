#include "link/HidReportDescriptor.h"

#include <gtest/gtest.h>

#include <vector>

namespace orven {
namespace {

using Descriptor = std::vector<std::uint8_t>;

// Numbered reports: each id's fields add up, the largest report decides. Unnumbered reports count
// the id byte; a kind of report the descriptor lacks has length 0; long items are skipped whole,
// and a descriptor cut short ends the parse without reading past its end.
TEST(HidReportDescriptorTest, ReportLengthsOfNumberedUnnumberedLongAndTruncatedDescriptors) {
    struct Case { Descriptor descriptor; std::size_t input, output; };
    const Case cases[] = {
        // Input id 1 is 4 bytes + 3 bits (5 bytes), id 2 is 16 bytes; output id 1 is 8 bytes, then
        // 8 more after a Push/Pop pair; a Feature item and a two-byte Report Count must not disturb
        // the sizes.
        {{0x06, 0x00, 0xFF, 0xA1, 0x01,
          0x85, 0x01, 0x75, 0x08, 0x95, 0x04, 0x81, 0x02,  // Report ID 1, 4 x 8 bits in
          0x75, 0x01, 0x95, 0x03, 0x81, 0x02,              // 3 x 1 bit in
          0x75, 0x08, 0x95, 0x08, 0x91, 0x02,              // 8 x 8 bits out
          0xA4, 0x85, 0x02, 0x95, 0x10, 0x81, 0x02,        // Push, Report ID 2, 16 x 8 bits in
          0x96, 0x00, 0x01, 0xB1, 0x02,                    // Report Count 256, Feature
          0xB4, 0x91, 0x02,                                // Pop: id 1, 8 x 8 bits out again
          0xC0},
         17, 17},
        {{0x75, 0x08, 0x95, 0x20, 0x81, 0x02, 0x91, 0x02}, 33, 33},
        // A long item whose data look like Report Count 64.
        {{0xFE, 0x02, 0x10, 0x95, 0x40, 0x75, 0x08, 0x95, 0x20, 0x81, 0x02}, 33, 0},
        {{0x75, 0x08, 0x95, 0x20, 0x81, 0x02, 0x96, 0x20}, 33, 0},  // two-byte count, one left
        {{0x75, 0x08, 0x95, 0x20, 0x81, 0x02, 0xFE}, 33, 0},        // a long item's prefix alone
    };
    for (const Case& c : cases) {
        const HidReportLengths l = ParseReportLengths(c.descriptor.data(), c.descriptor.size());
        EXPECT_EQ(l.input, c.input) << c.descriptor.size();
        EXPECT_EQ(l.output, c.output) << c.descriptor.size();
    }
}

}  // namespace
}  // namespace orven
