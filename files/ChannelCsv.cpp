#include "files/ChannelCsv.h"

#include "files/CsvTable.h"
#include "files/FileRead.h"
#include "model/LineFormat.h"
#include "model/PlatformLogi.h"
#include "model/SettingsRules.h"
#include "model/UsageNameTable.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

namespace orven {

namespace {

enum Column { kLabel, kTx, kRx, kUsage, kLowPower, kRxOnly, kAtis1W, kAtisRx, kPttHigh, kColumnCount };
static_assert(std::size(kCsvColumns) == kColumnCount);

constexpr std::uint32_t ChannelRecord::*kFlags[] = {&ChannelRecord::lowPower, &ChannelRecord::rxOnly,
                                                     &ChannelRecord::atis1W, &ChannelRecord::atisRx,
                                                     &ChannelRecord::pttHigh};
static_assert(std::size(kFlags) == kColumnCount - kLowPower);

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string UsageText(int usage) { return TrimmedField(UsageName(usage)); }

std::string MHzText(double mhz, char separator) {
    char text[32];
    std::snprintf(text, sizeof text, "%.5f", mhz);
    std::string out = text;
    if (separator == ';') std::replace(out.begin(), out.end(), '.', ',');
    return out;
}

std::optional<double> ParseMHz(std::string text, char separator) {
    if (separator == ';') std::replace(text.begin(), text.end(), ',', '.');
    if (text.empty() || text.find_first_not_of("0123456789.+-") != std::string::npos) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0') return std::nullopt;
    return value;
}

std::optional<int> ParseUsage(const std::string& text) {
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) {
        const int number = std::atoi(text.c_str());
        if (text.size() <= 2 && number < static_cast<int>(kUsageNameCount)) return number;
        return std::nullopt;
    }
    for (int usage = 0; usage < static_cast<int>(kUsageNameCount); ++usage)
        if (Lower(UsageText(usage)) == Lower(text)) return usage;
    return std::nullopt;
}

std::optional<bool> ParseFlag(const std::string& text) {
    const std::string word = Lower(text);
    if (word == "yes" || word == "y" || word == "true" || word == "1" || word == "x") return true;
    if (word.empty() || word == "no" || word == "n" || word == "false" || word == "0") return false;
    return std::nullopt;
}

// Which of the file's columns holds each of ours; -1 for one the file leaves out.
struct Header {
    std::array<int, kColumnCount> at{};
    std::vector<std::string> names;
};

bool ReadHeader(const CsvRow& row, Header& header, std::vector<CsvProblem>& problems) {
    header.names = row.fields;
    const std::vector<int> at =
        FindColumns(row, std::vector<std::string>(std::begin(kCsvColumns), std::end(kCsvColumns)),
                    "is not a column of private channels (" + std::string(kCsvColumns[0]) + ", " + kCsvColumns[1] +
                        ", ... " + kCsvColumns[kPttHigh] + ")",
                    problems);
    std::copy(at.begin(), at.end(), header.at.begin());
    for (const Column required : {kLabel, kTx, kRx})
        if (header.at[required] < 0)
            problems.push_back({row.line, 0, std::string("the header has no ") + kCsvColumns[required] + " column"});
    return problems.empty();
}

// One row as a channel: from `base` (the channel it stood for) wherever the row prints the same,
// else from the row; every problem noted against its column.
class RowReader {
public:
    RowReader(const CsvRow& row, const Header& header, char separator, std::vector<CsvProblem>& problems)
        : row_(row), header_(header), separator_(separator), problems_(problems) {}

    ChannelRecord Read(const ChannelRecord* existing) {
        const std::string label = Cell(kLabel);
        const bool same = existing && existing->inUse && FixedSlotText(existing->label) == label;
        ChannelRecord r = same ? *existing : ChannelRecord{};
        r.inUse = 1;
        if (!same) CopyText(r.label, label.c_str());
        ReadFrequency(kTx, r.txMHz, same);
        ReadFrequency(kRx, r.rxMHz, same);
        ReadUsage(r, same);
        for (int c = kLowPower; c < kColumnCount; ++c) ReadFlag(static_cast<Column>(c), r.*kFlags[c - kLowPower], same);
        for (const ChannelProblem& problem : EditedChannelProblems(r)) {
            const Column column = problem.field == ChannelField::Label ? kLabel
                                  : problem.field == ChannelField::Tx  ? kTx
                                                                       : kRx;
            if (!failed_[column]) Fail(column, problem.why);
        }
        if (const auto refusal = UnprintableTextRefusal(label)) Fail(kLabel, *refusal);
        return r;
    }

private:
    std::string Cell(Column column) const { return FieldIn(row_, header_.at[column]); }
    bool Present(Column column) const { return header_.at[column] >= 0; }

    void Fail(Column column, const std::string& why) {
        failed_[column] = true;
        problems_.push_back({row_.line, static_cast<std::size_t>(header_.at[column] + 1), why});
    }

    void ReadFrequency(Column column, double& mhz, bool same) {
        const std::string text = Cell(column);
        if (same && text == MHzText(mhz, separator_)) return;
        if (const auto value = ParseMHz(text, separator_)) mhz = *value;
        else Fail(column, "must be a frequency in MHz (" + MHzText(156.05, separator_) + ")");
    }

    void ReadUsage(ChannelRecord& r, bool same) {
        if (!Present(kUsage)) return;
        const std::string text = Cell(kUsage);
        if (same && Lower(text) == Lower(UsageText(r.usage))) return;
        const auto usage = ParseUsage(text);
        if (!usage) return Fail(kUsage, "must be a usage name as the channel setup dialog shows it, or its number");
        r.usage = static_cast<std::uint8_t>(*usage);
        CopyText(r.usageText, std::string(UsageName(*usage)).c_str());
    }

    void ReadFlag(Column column, std::uint32_t& flag, bool same) {
        if (!Present(column)) return;
        const auto value = ParseFlag(Cell(column));
        if (!value) return Fail(column, "must be yes or no");
        if (same && *value == (flag != 0)) return;
        flag = *value ? 1 : 0;
    }

    const CsvRow& row_;
    const Header& header_;
    char separator_;
    std::vector<CsvProblem>& problems_;
    std::array<bool, kColumnCount> failed_{};  // a field that did not even read is not checked again
};

void Apply(const std::vector<ChannelRecord>& rows, CsvImportMode mode, RadioSettings& settings) {
    const std::size_t had = PrivateChannelCount(settings);
    const std::size_t first = mode == CsvImportMode::Append ? had : 0;
    for (std::size_t i = 0; i < rows.size(); ++i) PrivateChannel(settings, first + i) = rows[i];
    // A replaced list that is shorter leaves no channel of the old one behind.
    for (std::size_t i = first + rows.size(); i < had; ++i) PrivateChannel(settings, i) = ChannelRecord{};
}

}  // namespace

bool ReadChannelCsvFile(const std::string& path, std::string& text, std::string& why) {
    why = WholeReadProblem(ReadTextStart(path, kMaxChannelCsvBytes, text), "a channel list");
    if (why.empty()) return true;
    text.clear();
    return false;
}

std::string ChannelsToCsv(const RadioSettings& settings, char separator) {
    std::string text = CsvLine(std::vector<std::string>(std::begin(kCsvColumns), std::end(kCsvColumns)), separator);
    const std::size_t count = PrivateChannelCount(settings);
    for (std::size_t i = 0; i < count; ++i) {
        const ChannelRecord& r = PrivateChannel(settings, i);
        std::vector<std::string> fields = {std::string(FixedSlotText(r.label)), MHzText(r.txMHz, separator),
                                           MHzText(r.rxMHz, separator), UsageText(r.usage)};
        for (const auto flag : kFlags) fields.push_back(r.*flag ? "yes" : "no");
        text += CsvLine(fields, separator);
    }
    return text;
}

CsvImportResult ImportChannelsCsv(std::string_view text, CsvImportMode mode, RadioSettings& settings,
                                  bool allowEmpty) {
    CsvImportResult result;
    const CsvTable table = TableUnderHeader(text, result.problems);
    const std::vector<CsvRow>& rows = table.rows;
    if (rows.empty()) return result;
    Header header;
    result.columnNames = rows.front().fields;
    if (!ReadHeader(rows.front(), header, result.problems)) return result;
    const std::size_t had = PrivateChannelCount(settings);
    const std::size_t room = mode == CsvImportMode::Append ? kMaxPrivateChannels - had : kMaxPrivateChannels;
    std::vector<ChannelRecord> channels;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i].fields.size() > header.names.size())
            result.problems.push_back({rows[i].line, header.names.size() + 1, "is beyond the header's columns"});
        const std::size_t slot = channels.size();
        const ChannelRecord* existing =
            mode == CsvImportMode::Replace && slot < had ? &PrivateChannel(settings, slot) : nullptr;
        channels.push_back(RowReader(rows[i], header, table.separator, result.problems).Read(existing));
    }
    result.channels = channels.size();
    result.noRows = channels.empty();
    if (result.noRows && !allowEmpty)
        result.problems.push_back({0, 0, "holds no channel rows; taking it would leave no private channel"});
    if (channels.size() > room)
        result.problems.push_back({0, 0, "the file holds " + std::to_string(channels.size()) + " channels" +
                                             (mode == CsvImportMode::Append ? "; with the " + std::to_string(had) +
                                                                                  " there are, that is more than 100"
                                                                            : "; at most 100 can be kept")});
    if (result.problems.empty()) Apply(channels, mode, settings);
    return result;
}

}  // namespace orven

namespace orven {

std::string CsvImportQuestion(const std::string& file) {
    return "Replace the document's private channels with those of " + file +
           ", or append them after the channels there are?";
}

std::string CsvNothingAppendedText(const std::string& file) { return file + " holds no channels; nothing was appended."; }

std::string CsvEmptyListQuestion(const std::string& file) {
    return file + " holds no channels. Remove every private channel from the document?";
}

std::string CsvProblemsText(const std::string& file, const CsvImportResult& result) {
    std::string text = file + " holds " + std::to_string(result.problems.size()) +
                       " problem(s), listed below; the document was not changed.\n";
    for (const CsvProblem& p : result.problems) text += "\n" + CsvProblemText(p, result.columnNames);
    return text;
}

std::string CsvImportedText(std::size_t channels) { return "Imported " + std::to_string(channels) + " channel(s)."; }

}  // namespace orven
