#include "files/FreqReport.h"

#include "files/FilesTestDir.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace orven {
namespace {

using test::InUseChannel;

constexpr ReportTime kTime{2024, 3, 7, 9, 5};
const std::string kHead = "Date:2024.3.7\t\tTime:9:5\n\nChannel   Name\t TxFreq\t\t RxFreq  \nINT\n";

std::size_t CountLines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

TEST(FreqReport, ChannelLineColumnsAndFlagWords) {
    // Receive only: TX column is three spaces and 0.0000; nothing follows "RxOnly  ".
    ChannelRecord wx = InUseChannel("W1", 0.0, 162.55);
    CopyText(wx.usageText, "PORT OPER");
    wx.rxOnly = wx.atisRx = wx.lowPower = 1;
    EXPECT_EQ(FrequencyReportLine(wx), "W1 , PORT OPER    ,   0.0000, 162.5500,   RxOnly  \n");

    // Texts without a terminator stay in their slots.
    ChannelRecord full = InUseChannel("", 161.025, 156.05);
    std::memcpy(full.label, "ABCD", 4);
    std::memcpy(full.usageText, "0123456789XYZ", 13);
    full.usage = 'Q';  // the byte after usageText
    EXPECT_EQ(FrequencyReportLine(full), "ABCD, 0123456789XYZ, 161.0250, 156.0500,   \n");

    struct Case { std::uint32_t lowPower, pttHigh, atis1W, atisRx; const char* words; };
    const Case cases[] = {
        {1, 1, 0, 1, "1WPTTHIRxATIS"}, {1, 0, 1, 0, "1W"}, {0, 0, 1, 1, "1WATISRxATIS"}, {0, 1, 0, 0, ""},
    };
    for (const Case& c : cases) {
        ChannelRecord r = InUseChannel("M1", 157.85, 157.85);
        r.lowPower = c.lowPower, r.pttHigh = c.pttHigh, r.atis1W = c.atis1W, r.atisRx = c.atisRx;
        EXPECT_EQ(FrequencyReportLine(r), "M1 , " + std::string(13, ' ') + ", 157.8500, 157.8500,   " +
                                              c.words + "\n");
    }
}

TEST(FreqReport, SectionsKeepTheirSlotLimits) {
    auto s = test::Defaults(kModelUsa);
    const auto fill = [&](std::size_t first, std::size_t count) {
        for (std::size_t i = first; i < first + count; ++i)
            s->channels[i] = InUseChannel(std::to_string(i % 100).c_str(), 156.0, 156.0);
    };
    fill(0, 81);     // slot 80 lies outside the INT section
    fill(300, 31);   // the 31st private channel is not listed
    fill(100, 3);    // USA: slots 100..102, then a gap, then 104
    fill(104, 1);
    fill(200, 100);  // CAN: 80 of them
    fill(390, 10);   // WX: the last ten private slots
    const std::string text = FrequencyReportText(*s, kTime);

    ASSERT_EQ(text.substr(0, kHead.size()), kHead);
    const auto usa = text.find("\nUSA\n"), can = text.find("\nCAN\n"), wx = text.find("\nWX\n");
    ASSERT_TRUE(usa != std::string::npos && can > usa && wx > can && wx != std::string::npos);
    EXPECT_EQ(CountLines(text.substr(kHead.size(), usa - kHead.size())), 80u + 30u);
    EXPECT_EQ(CountLines(text.substr(usa + 5, can - usa - 5)), 3u);
    EXPECT_EQ(CountLines(text.substr(can + 5, wx - can - 5)), 80u);
    EXPECT_EQ(CountLines(text.substr(wx + 4)), 10u);
    EXPECT_EQ(text.substr(wx + 4, 3), "90 ");
}

}  // namespace
}  // namespace orven
