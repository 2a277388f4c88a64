#include "files/ChannelCsv.h"

#include "files/CsvTable.h"
#include "model/ChannelTables.h"
#include "model/ModelPresets.h"
#include "support/Documents.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace orven {
namespace {

std::unique_ptr<RadioSettings> Preset(int modelType, int country) {
    auto s = std::make_unique<RadioSettings>();
    BuildModelDocument(*s, modelType, country);
    return s;
}

// Every channel the radio can hold, 100 of them, with every flag somewhere and TX on the finest
// grid, from the bottom of the band, or 0.
std::unique_ptr<RadioSettings> HundredChannels() {
    auto s = test::EuropeanDocument();
    for (std::size_t i = 0; i < kMaxPrivateChannels; ++i) {
        ChannelRecord& r = PrivateChannel(*s, i);
        r.txMHz = i % 7 == 0 ? 0.0 : 136.0 + 0.00625 * static_cast<double>(i * 971 % 6080);
        r.lowPower = i % 2;
        r.rxOnly = i % 3 == 0;
        r.atis1W = i % 5 == 0;
        r.atisRx = i % 11 == 0;
        r.pttHigh = i % 13 == 0;
    }
    return s;
}

bool SameBytes(const RadioSettings& a, const RadioSettings& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(ChannelCsvTest, ExportThenImportGivesTheSameBytesForEveryPreset) {
    std::vector<std::unique_ptr<RadioSettings>> documents;
    for (const int model : {kModelUsa, kModelEurInt, kModelEurIntUsa})
        for (int country = 0; country < kCountryCount; ++country) documents.push_back(Preset(model, country));
    documents.push_back(HundredChannels());
    for (const auto& original : documents) {
        for (const char separator : {',', ';'}) {
            SCOPED_TRACE(testing::Message() << "model " << original->model << ", separator " << separator << ", "
                                            << PrivateChannelCount(*original) << " channels");
            auto imported = std::make_unique<RadioSettings>(*original);
            const CsvImportResult result =
                ImportChannelsCsv(ChannelsToCsv(*original, separator), CsvImportMode::Replace, *imported, true);
            ASSERT_TRUE(result.problems.empty()) << CsvProblemText(result.problems.front());
            EXPECT_EQ(result.channels, PrivateChannelCount(*original));
            EXPECT_TRUE(SameBytes(*imported, *original));
        }
    }
}

// What a spreadsheet in a decimal-comma locale saves after a person's edits: a byte-order mark,
// CRLF, semicolons, columns in another order and some left out, quoted fields, usage by number,
// empty rows at the end.
TEST(ChannelCsvTest, ASpreadsheetsOwnFileImports) {
    auto s = Preset(kModelEurInt, kCountryNone);
    const std::string text =
        "\xEF\xBB\xBF\"RX MHz\";\"Label\";\"TX MHz\";\"Usage\";\"Low power\"\r\n"
        "\"160,62500\";\"A1\";156,025;\"coast guard\";yes\r\n"
        "156,75;M2;0;33;\r\n"
        ";;;;\r\n\r\n";
    const CsvImportResult result = ImportChannelsCsv(text, CsvImportMode::Replace, *s);
    ASSERT_TRUE(result.problems.empty()) << CsvProblemText(result.problems.front());
    ASSERT_EQ(PrivateChannelCount(*s), 2u);
    const ChannelRecord& a1 = PrivateChannel(*s, 0);
    EXPECT_STREQ(a1.label, "A1");
    EXPECT_DOUBLE_EQ(a1.txMHz, 156.025);
    EXPECT_DOUBLE_EQ(a1.rxMHz, 160.625);
    EXPECT_EQ(a1.usage, 28);  // COAST GUARD
    EXPECT_EQ(a1.lowPower, 1u);
    EXPECT_EQ(PrivateChannel(*s, 1).usage, 33);
    EXPECT_EQ(PrivateChannel(*s, 1).txMHz, 0.0);
}

// Any bad row changes nothing, and every bad field is named by its line and column.
TEST(ChannelCsvTest, ABadFileChangesNothingAndNamesEveryFault) {
    const auto original = Preset(kModelEurInt, 0);
    std::string tooMany = "Label,TX MHz,RX MHz\n";
    for (int i = 0; i < 75; ++i) tooMany += "M1,157.85,157.85\n";
    const struct { std::string text; CsvImportMode mode; std::vector<std::string> problems; } cases[] = {
        {"Label,TX MHz,RX MHz\nM1,157.85,157.85\nZ9,157.853,180\nA1,x,157.85\n",
         CsvImportMode::Replace,
         {"line 3, column 1: must be two characters", "line 3, column 2: must be 0 (receive only)",
          "line 3, column 3: must be from 136.0000 to 174.0000 MHz", "line 4, column 2: must be a frequency"}},
        {"Label,TX MHz,RX MHz,Colour\n", CsvImportMode::Replace, {"line 1, column 4: is not a column"}},
        {"TX MHz,RX MHz\n", CsvImportMode::Replace, {"line 1: the header has no Label column"}},
        {"Label,TX MHz,RX MHz,Usage,RX only\nM1,157.85,157.85,SURFING,maybe\n",
         CsvImportMode::Replace,
         {"line 2, column 4: must be a usage name", "line 2, column 5: must be yes or no"}},
        {"Label,TX MHz,RX MHz\n\"M1,157.85,157.85\n", CsvImportMode::Replace, {"line 2: a quoted field is never closed"}},
        {"Label,TX MHz,RX MHz\nM1,157.85,157.85,extra\n", CsvImportMode::Replace, {"line 2, column 4: is beyond"}},
        {tooMany, CsvImportMode::Append, {"the file holds 75 channels; with the 28 there are, that is more than 100"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto s = std::make_unique<RadioSettings>(*original);
        const CsvImportResult result = ImportChannelsCsv(c.text, c.mode, *s);
        ASSERT_EQ(result.problems.size(), c.problems.size());
        for (std::size_t i = 0; i < c.problems.size(); ++i)
            EXPECT_EQ(CsvProblemText(result.problems[i]).rfind(c.problems[i], 0), 0u) << CsvProblemText(result.problems[i]);
        EXPECT_TRUE(SameBytes(*s, *original));
    }
}

TEST(CsvTableTest, QuotedFieldsKeepSeparatorsQuotesAndLineBreaks) {
    const std::vector<std::string> fields = {"a,b", "say \"hi\"", "two\nlines", " padded ", "plain"};
    std::string error;
    const auto table = ParseCsv(CsvLine(fields, ',') + CsvLine({"next"}, ','), error);
    ASSERT_TRUE(table) << error;
    ASSERT_EQ(table->rows.size(), 2u);
    EXPECT_EQ(table->rows[0].fields, fields);
    EXPECT_EQ(table->rows[1].line, 3u);  // the quoted line break counts
    EXPECT_FALSE(ParseCsv("a,\"b\"c\n", error));
    EXPECT_EQ(error, "line 1: text after the closing quote of a field");
}

}  // namespace
}  // namespace orven
