#include "link/HidReportDescriptor.h"

#include <gtest/gtest.h>

#include <vector>

namespace orven {
namespace {

using Descriptor = std::vector<std::uint8_t>;

HidReportLengths Parse(const Descriptor& d) {
    return ParseReportLengths(d.data(), d.size());
}

// A vendor-defined device with one unnumbered input and output report of `count` bytes each.
Descriptor VendorDevice(std::uint8_t count) {
    return {
        0x06, 0x00, 0xFF,  // Usage Page (vendor defined)
        0x09, 0x01,        // Usage
        0xA1, 0x01,        // Collection (application)
        0x09, 0x01,        //   Usage
        0x15, 0x00,        //   Logical Minimum 0
        0x26, 0xFF, 0x00,  //   Logical Maximum 255
        0x75, 0x08,        //   Report Size 8
        0x95, count,       //   Report Count
        0x81, 0x02,        //   Input (data, variable, absolute)
        0x09, 0x01,        //   Usage
        0x95, count,       //   Report Count
        0x91, 0x02,        //   Output
        0xC0,              // End Collection
    };
}

// Numbered reports: each id's fields add up, the largest report decides. Input id 1 is
// 4 bytes + 3 bits (5 bytes), id 2 is 16 bytes; output id 1 is a single 8-byte field.
// Feature items and a Push/Pop pair must not disturb the sizes.
TEST(HidReportDescriptorTest, NumberedReportsTakeTheLargestReport) {
    const Descriptor d = {
        0x06, 0x00, 0xFF, 0xA1, 0x01,
        0x85, 0x01,              // Report ID 1
        0x75, 0x08, 0x95, 0x04,  // 4 x 8 bits
        0x81, 0x02,
        0x75, 0x01, 0x95, 0x03,  // 3 x 1 bit
        0x81, 0x02,
        0x75, 0x08, 0x95, 0x08,
        0x91, 0x02,              // output id 1: 8 bytes
        0xA4,                    // Push
        0x85, 0x02,              // Report ID 2
        0x95, 0x10,              // 16 x 8 bits
        0x81, 0x02,
        0x96, 0x00, 0x01,        // Report Count 256 (two data bytes)
        0xB1, 0x02,              // Feature: not counted
        0xB4,                    // Pop: back to id 1, 8 x 8 bits
        0x91, 0x02,              // output id 1 grows to 16 bytes
        0xC0,
    };
    const HidReportLengths l = Parse(d);
    EXPECT_EQ(l.input, 17u);
    EXPECT_EQ(l.output, 17u);
}

// Unnumbered reports count the id byte; a kind of report the descriptor lacks has length 0;
// long items are skipped whole, and a descriptor cut short ends the parse without reading past
// its end.
TEST(HidReportDescriptorTest, UnnumberedMissingLongAndTruncated) {
    const Descriptor full = VendorDevice(32);
    Descriptor cut(full.begin(), full.begin() + 20);  // the input part whole
    cut.insert(cut.end(), {0x96, 0x20});              // a two-byte Report Count with one byte left
    struct Case { Descriptor descriptor; std::size_t input, output; };
    const Case cases[] = {
        {full, 33, 33},
        {VendorDevice(64), 65, 65},
        // A long item whose data look like Report Count 64.
        {{0xFE, 0x02, 0x10, 0x95, 0x40, 0x75, 0x08, 0x95, 0x20, 0x81, 0x02}, 33, 0},
        {cut, 33, 0},
        {{0x75, 0x08, 0x95, 0x20, 0x81, 0x02, 0xFE}, 33, 0},  // a long item's prefix alone
        {{}, 0, 0},
    };
    for (const Case& c : cases) {
        const HidReportLengths l = Parse(c.descriptor);
        EXPECT_EQ(l.input, c.input) << c.descriptor.size();
        EXPECT_EQ(l.output, c.output) << c.descriptor.size();
    }
}

}  // namespace
}  // namespace orven
