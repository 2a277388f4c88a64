#include "model/ModelPresets.h"

#include "model/ChannelList.h"
#include "model/ChannelTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace orven {
namespace {

constexpr int kDenmark = 2;

// A document full of junk, so that every test sees what the wizard really clears.
std::unique_ptr<RadioSettings> DirtySettings() {
    auto s = std::make_unique<RadioSettings>();
    std::memset(s.get(), 0xA5, sizeof *s);
    return s;
}

// Apart from the Private block the document is the model's defaults; a USA model gets no
// private channels whatever the country, a European one the country's presets (the UK has two)
// and nothing behind them, also for a country without presets.
TEST(ModelPresetsTest, DocumentIsTheDefaultsWithTheCountrysPrivateChannels) {
    struct Case { int model; int country; std::size_t privateCount; };
    const Case cases[] = {{kModelUsa, kDenmark, 0}, {kModelEurInt, kDenmark, 5}, {kModelEurInt, 0, 28},
                          {kModelEurInt, 1, 2}, {kModelEurInt, kCountryNone, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << ", country " << c.country);
        auto s = DirtySettings();
        BuildModelDocument(*s, c.model, c.country);
        EXPECT_EQ(PrivateChannelCount(*s), c.privateCount);
        auto defaults = DirtySettings();
        LoadDefaults(*defaults, c.model);
        const auto* firstUnused = reinterpret_cast<const std::uint8_t*>(&PrivateChannel(*s, c.privateCount));
        const auto* end = reinterpret_cast<const std::uint8_t*>(&PrivateChannel(*s, 0) + kMaxPrivateChannels);
        EXPECT_TRUE(std::all_of(firstUnused, end, [](std::uint8_t b) { return b == 0; }));
        std::memcpy(&PrivateChannel(*defaults, 0), &PrivateChannel(*s, 0),
                    kMaxPrivateChannels * sizeof(ChannelRecord));
        EXPECT_TRUE(std::ranges::equal(Bytes(*s), Bytes(*defaults)));
    }
}

// The preview and the private channel count both end at a gap or a label of three characters.
TEST(ModelPresetsTest, PreviewShowsThirtyRowsAtMostAndStopsAtAGapOrALongLabel) {
    auto s = DirtySettings();
    BuildModelDocument(*s, kModelEurInt, 0);
    auto rows = PresetPreviewLines(*s);
    ASSERT_EQ(rows.size(), 28u);
    EXPECT_EQ(rows[3], "F1 Tx=155.6250 Rx=155.6250       FISHING   ");
    EXPECT_EQ(rows[27], "C9 Tx=155.9750 Rx=155.9750     COAST GUARD ");

    for (std::size_t i = 28; i < 40; ++i) PrivateChannel(*s, i) = PrivateChannel(*s, 0);
    EXPECT_EQ(PresetPreviewLines(*s).size(), 30u);
    CopyText(PrivateChannel(*s, 12).label, "M12");
    EXPECT_EQ(PresetPreviewLines(*s).size(), 12u);
    PrivateChannel(*s, 4).inUse = 0;
    EXPECT_EQ(PrivateChannelCount(*s), 4u);
}

}  // namespace
}  // namespace orven
