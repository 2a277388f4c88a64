#include "model/ModelPresets.h"

#include "model/ChannelList.h"
#include "model/ChannelTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace orven {
namespace {

constexpr int kUk = 1;
constexpr int kDenmark = 2;

// A document full of junk, so that every test sees what the wizard really clears.
std::unique_ptr<RadioSettings> DirtySettings() {
    auto s = std::make_unique<RadioSettings>();
    std::memset(s.get(), 0xA5, sizeof *s);
    return s;
}

bool SlotIsZero(const ChannelRecord& r) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&r);
    return std::all_of(p, p + sizeof r, [](std::uint8_t b) { return b == 0; });
}

TEST(ModelPresetsTest, PresetLabelsUseDigitsBelowOneHundredAndLettersAbove) {
    const std::pair<std::uint16_t, const char*> cases[] = {
        {31, "31"},  {5, "05"},   {99, "99"},  {100, "F0"}, {111, "L1"},
        {121, "M1"}, {130, "A0"}, {140, "C0"}, {159, "C9"}, {65535, "C5"}};
    for (const auto& [number, label] : cases) EXPECT_EQ(PresetLabel(number), label) << number;
}

// Apart from the Private block the document is the model's defaults; a USA model gets no
// private channels whatever the country, a European one the country's presets.
TEST(ModelPresetsTest, DocumentIsTheDefaultsWithTheCountrysPrivateChannels) {
    struct Case { int model; int country; std::size_t privateCount; };
    const Case cases[] = {{kModelUsa, kDenmark, 0}, {kModelEurIntUsa, kCountryNone, 0},
                          {kModelEurInt, kDenmark, 5}, {kModelEurInt, 0, 28}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << ", country " << c.country);
        auto s = DirtySettings();
        BuildModelDocument(*s, c.model, c.country);
        EXPECT_EQ(PrivateChannelCount(*s), c.privateCount);
        for (std::size_t i = c.privateCount; i < kMaxPrivateChannels; ++i)
            ASSERT_TRUE(SlotIsZero(PrivateChannel(*s, i))) << "private slot " << i;
        auto defaults = DirtySettings();
        LoadDefaults(*defaults, c.model);
        std::memcpy(&PrivateChannel(*defaults, 0), &PrivateChannel(*s, 0),
                    kMaxPrivateChannels * sizeof(ChannelRecord));
        EXPECT_TRUE(std::ranges::equal(Bytes(*s), Bytes(*defaults)));
    }
}

TEST(ModelPresetsTest, DenmarkGetsFiveFishingAndLeisureChannels) {
    auto s = DirtySettings();
    BuildModelDocument(*s, kModelEurInt, kDenmark);
    struct Want {
        const char* label;
        double mhz;
        int usage;
        const char* usageText;  // the first 12 characters of the usage name
    };
    const Want want[] = {
        {"F1", 155.625, 35, "      FISHIN"}, {"F2", 155.775, 35, "      FISHIN"},
        {"F3", 155.825, 35, "      FISHIN"}, {"L1", 155.500, 34, "      LEISUR"},
        {"L2", 155.525, 34, "      LEISUR"},
    };
    for (std::size_t i = 0; i < std::size(want); ++i) {
        const ChannelRecord& r = PrivateChannel(*s, i);
        EXPECT_NEAR(r.txMHz, want[i].mhz, 1e-9) << want[i].label;
        // Nothing else of the record is set.
        ChannelRecord expected{};
        CopyText(expected.label, want[i].label);
        CopyText(expected.usageText, want[i].usageText);
        expected.usage = static_cast<std::uint8_t>(want[i].usage);
        expected.txMHz = expected.rxMHz = r.txMHz;
        expected.inUse = 1;
        EXPECT_EQ(std::memcmp(&r, &expected, sizeof r), 0) << want[i].label;
    }
}

// The whole Private block is emptied first, also for a country that has no presets.
TEST(ModelPresetsTest, LoadingACountryReplacesTheWholePrivateBlock) {
    for (int country : {-1, kUk, kCountryNone, 9}) {
        auto s = DirtySettings();
        LoadCountryPresets(*s, country);
        const std::size_t loaded = country == kUk ? 2 : 0;
        EXPECT_EQ(PrivateChannelCount(*s), loaded) << country;
        for (std::size_t i = loaded; i < kMaxPrivateChannels; ++i)
            EXPECT_TRUE(SlotIsZero(PrivateChannel(*s, i))) << "country " << country << " slot " << i;
        EXPECT_EQ(s->channels[kPrivateFirstSlot - 1].inUse, 0xA5A5A5A5u) << "CAN block untouched";
    }
}

// The preview and the private channel count both end at a gap or a label of three characters.
TEST(ModelPresetsTest, PreviewShowsThirtyRowsAtMostAndStopsAtAGapOrALongLabel) {
    auto s = DirtySettings();
    BuildModelDocument(*s, kModelEurInt, 0);
    auto rows = PresetPreviewLines(*s);
    ASSERT_EQ(rows.size(), 28u);
    EXPECT_EQ(rows[0], "31 Tx=157.5500 Rx=162.1500        MARINA   ");
    EXPECT_EQ(rows[3], "F1 Tx=155.6250 Rx=155.6250       FISHING   ");
    EXPECT_EQ(rows[27], "C9 Tx=155.9750 Rx=155.9750     COAST GUARD ");

    for (std::size_t i = 28; i < 40; ++i) PrivateChannel(*s, i) = PrivateChannel(*s, 0);
    EXPECT_EQ(PresetPreviewLines(*s).size(), 30u);
    EXPECT_EQ(PrivateChannelCount(*s), 40u);
    CopyText(PrivateChannel(*s, 12).label, "M12");
    EXPECT_EQ(PresetPreviewLines(*s).size(), 12u);
    EXPECT_EQ(PrivateChannelCount(*s), 12u);
    PrivateChannel(*s, 4).inUse = 0;
    EXPECT_EQ(PresetPreviewLines(*s).size(), 4u);
    EXPECT_EQ(PrivateChannelCount(*s), 4u);
}

}  // namespace
}  // namespace orven
