#include "files/FreqReport.h"

#include "files/FilesTestDir.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace orven {
namespace {

constexpr ReportTime kTime{2024, 3, 7, 9, 5};
const std::string kHead = "Date:2024.3.7\t\tTime:9:5\n\nChannel   Name\t TxFreq\t\t RxFreq  \nINT\n";

std::unique_ptr<RadioSettings> AllOff() {
    auto s = std::make_unique<RadioSettings>();
    LoadDefaults(*s, kModelUsa);
    s->bandUSA = s->bandCAN = s->bandWX = 0;
    return s;
}

ChannelRecord Channel(const char* label, double tx, double rx) {
    ChannelRecord r{};
    CopyText(r.label, label);
    r.txMHz = tx;
    r.rxMHz = rx;
    r.inUse = 1;
    return r;
}

// Fills slots first..first+count-1 with channels labelled by their slot number.
void FillSlots(RadioSettings& s, std::size_t first, std::size_t count) {
    for (std::size_t i = first; i < first + count; ++i)
        s.channels[i] = Channel(std::to_string(i % 100).c_str(), 156.0, 156.0);
}

std::size_t CountLines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

TEST(FreqReport, AllBandsOffAndNoChannelsGivesTheHeadOnly) {
    EXPECT_EQ(FrequencyReportText(*AllOff(), kTime), kHead);
    auto s = AllOff();
    s->bandUSA = 1;  // its heading stands even over an empty block
    EXPECT_EQ(FrequencyReportText(*s, kTime), kHead + "\nUSA\n");
    s->bandCAN = s->bandWX = 1;
    EXPECT_EQ(FrequencyReportText(*s, kTime), kHead + "\nUSA\n\nCAN\n\nWX\n");
}

TEST(FreqReport, ChannelLineColumns) {
    // M1 read from a radio: label and a space, ", " and 13 spaces, then the frequencies.
    ChannelRecord m1 = Channel("M1", 157.85, 157.85);
    m1.atisRx = 1;
    EXPECT_EQ(FrequencyReportLine(m1),
              "M1 , " + std::string(13, ' ') + ", 157.8500, 157.8500,   RxATIS\n");

    // Receive only: TX column is three spaces and 0.0000; nothing follows "RxOnly  ".
    ChannelRecord wx = Channel("W1", 0.0, 162.55);
    CopyText(wx.usageText, "PORT OPER");
    wx.rxOnly = wx.atisRx = wx.lowPower = 1;
    EXPECT_EQ(FrequencyReportLine(wx), "W1 , PORT OPER    ,   0.0000, 162.5500,   RxOnly  \n");

    // A 3-character label fills its column; a 12-character usage text its own.
    ChannelRecord full = Channel("ABC", 161.025, 156.05);
    CopyText(full.usageText, "COMMERCIAL/V");
    EXPECT_EQ(FrequencyReportLine(full), "ABC, COMMERCIAL/V , 161.0250, 156.0500,   \n");
}

TEST(FreqReport, FlagWordCombinations) {
    struct Case {
        std::uint32_t lowPower, pttHigh, atis1W, atisRx;
        const char* words;
    };
    const Case cases[] = {
        {0, 0, 0, 0, ""},           {1, 0, 0, 0, "1W"},          {1, 1, 0, 0, "1WPTTHI"},
        {1, 1, 0, 1, "1WPTTHIRxATIS"}, {1, 0, 1, 0, "1W"},       {0, 0, 1, 0, "1WATIS"},
        {0, 0, 1, 1, "1WATISRxATIS"},  {0, 1, 0, 0, ""},         {0, 0, 0, 1, "RxATIS"},
    };
    for (const Case& c : cases) {
        ChannelRecord r = Channel("M1", 157.85, 157.85);
        r.lowPower = c.lowPower;
        r.pttHigh = c.pttHigh;
        r.atis1W = c.atis1W;
        r.atisRx = c.atisRx;
        const std::string line = FrequencyReportLine(r);
        EXPECT_EQ(line.substr(line.rfind(",   ") + 4), std::string(c.words) + "\n") << line;
    }
}

TEST(FreqReport, TextsWithoutTerminatorStayInTheirSlots) {
    ChannelRecord r = Channel("", 156.0, 156.0);
    std::memcpy(r.label, "ABCD", 4);
    std::memcpy(r.usageText, "0123456789XYZ", 13);
    r.usage = 'Q';  // the byte after usageText
    EXPECT_EQ(FrequencyReportLine(r), "ABCD, 0123456789XYZ, 156.0000, 156.0000,   \n");
}

TEST(FreqReport, SectionsKeepTheirSlotLimits) {
    auto s = AllOff();
    s->bandUSA = s->bandCAN = s->bandWX = 1;
    FillSlots(*s, 0, 81);     // slot 80 lies outside the INT section
    FillSlots(*s, 300, 31);   // the 31st private channel is not listed
    FillSlots(*s, 100, 3);    // USA: slots 100..102, then a gap, then 104
    FillSlots(*s, 104, 1);
    FillSlots(*s, 200, 100);  // CAN: 80 of them
    FillSlots(*s, 390, 10);   // WX: the last ten private slots
    const std::string text = FrequencyReportText(*s, kTime);

    const auto usa = text.find("\nUSA\n"), can = text.find("\nCAN\n"), wx = text.find("\nWX\n");
    ASSERT_TRUE(usa != std::string::npos && can > usa && wx > can && wx != std::string::npos);
    const std::string intPart = text.substr(kHead.size(), usa - kHead.size());
    EXPECT_EQ(CountLines(intPart), 80u + 30u);
    EXPECT_EQ(intPart.substr(0, 3), "0  ");
    EXPECT_EQ(intPart.substr(intPart.rfind('\n', intPart.size() - 2) + 1, 3), "29 ");
    EXPECT_EQ(CountLines(text.substr(usa + 5, can - usa - 5)), 3u);
    EXPECT_EQ(CountLines(text.substr(can + 5, wx - can - 5)), 80u);
    EXPECT_EQ(CountLines(text.substr(wx + 4)), 10u);
    EXPECT_EQ(text.substr(wx + 4, 3), "90 ");
}

using FreqReportFile = testing::FilesTestDir;

TEST_F(FreqReportFile, WritesTheTextOrFails) {
    auto s = AllOff();
    ASSERT_TRUE(WriteFrequencyReport(Path("FreqTabl.txt"), *s, kTime));
    const auto bytes = ReadBytes(Path("FreqTabl.txt"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), kHead);
    EXPECT_FALSE(WriteFrequencyReport(Path("missing/FreqTabl.txt"), *s, kTime));
}

}  // namespace
}  // namespace orven
