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

bool BytesEqual(const RadioSettings& a, const RadioSettings& b) {
    return std::ranges::equal(Bytes(a), Bytes(b));
}

bool SlotIsZero(const ChannelRecord& r) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&r);
    return std::all_of(p, p + sizeof r, [](std::uint8_t b) { return b == 0; });
}

TEST(ModelPresetsTest, PresetLabelsUseDigitsBelowOneHundredAndLettersAbove) {
    EXPECT_EQ(PresetLabel(31), "31");
    EXPECT_EQ(PresetLabel(5), "05");
    EXPECT_EQ(PresetLabel(99), "99");
    EXPECT_EQ(PresetLabel(100), "F0");
    EXPECT_EQ(PresetLabel(101), "F1");
    EXPECT_EQ(PresetLabel(111), "L1");
    EXPECT_EQ(PresetLabel(121), "M1");
    EXPECT_EQ(PresetLabel(130), "A0");
    EXPECT_EQ(PresetLabel(140), "C0");
    EXPECT_EQ(PresetLabel(159), "C9");
    EXPECT_EQ(PresetLabel(65535), "C5");
}

TEST(ModelPresetsTest, UsaModelIgnoresTheCountry) {
    auto built = DirtySettings();
    BuildModelDocument(*built, kModelUsa, kDenmark);
    auto defaults = DirtySettings();
    LoadDefaults(*defaults, kModelUsa);
    EXPECT_TRUE(BytesEqual(*built, *defaults));
    EXPECT_EQ(PrivateChannel(*built, 0).inUse, 0u);
}

TEST(ModelPresetsTest, EuropeanModelWithDenmarkGetsFiveFishingAndLeisureChannels) {
    auto s = DirtySettings();
    BuildModelDocument(*s, kModelEurInt, kDenmark);
    EXPECT_EQ(s->model, kModelEurInt);
    EXPECT_EQ(s->bandCAN, 0u);
    EXPECT_EQ(s->bandWX, 0u);

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
        SCOPED_TRACE(want[i].label);
        const ChannelRecord& r = PrivateChannel(*s, i);
        EXPECT_STREQ(r.label, want[i].label);
        EXPECT_NEAR(r.txMHz, want[i].mhz, 1e-9);
        EXPECT_EQ(r.txMHz, r.rxMHz);
        EXPECT_EQ(r.usage, want[i].usage);
        EXPECT_STREQ(r.usageText, want[i].usageText);
        EXPECT_EQ(r.inUse, 1u);

        // Nothing else of the record is set.
        ChannelRecord rest = r;
        std::memset(rest.label, 0, sizeof rest.label);
        std::memset(rest.usageText, 0, sizeof rest.usageText);
        rest.usage = 0;
        rest.txMHz = rest.rxMHz = 0;
        rest.inUse = 0;
        EXPECT_TRUE(SlotIsZero(rest));
    }
    for (std::size_t i = std::size(want); i < kMaxPrivateChannels; ++i)
        EXPECT_TRUE(SlotIsZero(PrivateChannel(*s, i))) << "private slot " << i;

    // Apart from the Private block the document is the model's defaults.
    auto defaults = DirtySettings();
    LoadDefaults(*defaults, kModelEurInt);
    std::memcpy(&PrivateChannel(*defaults, 0), &PrivateChannel(*s, 0),
                kMaxPrivateChannels * sizeof(ChannelRecord));
    EXPECT_TRUE(BytesEqual(*s, *defaults));
}

TEST(ModelPresetsTest, EuropeanModelWithNoCountryHasNoPrivateChannel) {
    auto s = DirtySettings();
    BuildModelDocument(*s, kModelEurIntUsa, kCountryNone);
    EXPECT_EQ(s->model, kModelEurIntUsa);
    EXPECT_EQ(s->bandCAN, 1u);
    EXPECT_EQ(s->bandWX, 0u);
    EXPECT_EQ(PrivateChannelCount(*s), 0u);
    auto defaults = DirtySettings();
    LoadDefaults(*defaults, kModelEurIntUsa);
    EXPECT_TRUE(BytesEqual(*s, *defaults));
}

TEST(ModelPresetsTest, LoadingACountryReplacesTheWholePrivateBlock) {
    auto s = DirtySettings();
    LoadDefaults(*s, kModelEurInt);
    LoadCountryPresets(*s, 0);
    ASSERT_EQ(PrivateChannelCount(*s), 28u);

    LoadCountryPresets(*s, kUk);
    EXPECT_EQ(PrivateChannelCount(*s), 2u);
    EXPECT_STREQ(PrivateChannel(*s, 0).label, "M1");
    EXPECT_STREQ(PrivateChannel(*s, 1).label, "M2");
    for (std::size_t i = 2; i < kMaxPrivateChannels; ++i)
        EXPECT_TRUE(SlotIsZero(PrivateChannel(*s, i))) << "private slot " << i;

    for (int bad : {-1, kCountryNone, 9}) {
        auto junk = DirtySettings();
        LoadCountryPresets(*junk, bad);
        for (std::size_t i = 0; i < kMaxPrivateChannels; ++i)
            EXPECT_TRUE(SlotIsZero(PrivateChannel(*junk, i))) << "country " << bad << " slot " << i;
        EXPECT_EQ(junk->channels[kPrivateFirstSlot - 1].inUse, 0xA5A5A5A5u) << "CAN block untouched";
    }
}

TEST(ModelPresetsTest, PreviewOfAllShowsEveryPreset) {
    auto s = DirtySettings();
    BuildModelDocument(*s, kModelEurInt, 0);
    const auto rows = PresetPreviewLines(*s);
    ASSERT_EQ(rows.size(), 28u);
    EXPECT_EQ(rows[0], "31 Tx=157.5500 Rx=162.1500        MARINA   ");
    EXPECT_EQ(rows[3], "F1 Tx=155.6250 Rx=155.6250       FISHING   ");
    EXPECT_EQ(rows[27], "C9 Tx=155.9750 Rx=155.9750     COAST GUARD ");
}

TEST(ModelPresetsTest, PreviewStopsAtThirtyRowsAGapOrALongLabel) {
    RadioSettings s{};
    for (std::size_t i = 0; i < 40; ++i) {
        ChannelRecord& r = PrivateChannel(s, i);
        CopyText(r.label, "M1");
        r.inUse = 1;
    }
    EXPECT_EQ(PresetPreviewLines(s).size(), 30u);

    CopyText(PrivateChannel(s, 12).label, "M12");
    EXPECT_EQ(PresetPreviewLines(s).size(), 12u);

    PrivateChannel(s, 4).inUse = 0;
    EXPECT_EQ(PresetPreviewLines(s).size(), 4u);
}

}  // namespace
}  // namespace orven
