// The private channels as a spreadsheet: a header row, then one row per channel in slot order
// (label, TX and RX MHz in the program's five decimals, usage by its name as the channel setup
// dialog shows it, and the channel's flags). An import checks every row by the rules the channel
// dialog applies and changes nothing unless all of them pass.
#pragma once

#include "files/CsvTable.h"
#include "model/RadioSettings.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orven {

// A channel list is a few kilobytes; a file far larger is not one.
inline constexpr std::size_t kMaxChannelCsvBytes = std::size_t{1} << 20;

// The columns an export writes, in this order; an import finds them by name in any order.
inline constexpr const char* kCsvColumns[] = {"Label",   "TX MHz", "RX MHz",  "Usage",
                                              "Low power", "RX only", "ATIS 1W", "ATIS RX", "PTT high"};

// Reads a channel list file of at most kMaxChannelCsvBytes into `text`; false with `why` set
// ("cannot be opened", "too large for a channel list", "cannot be read") when it is not one.
bool ReadChannelCsvFile(const std::string& path, std::string& text, std::string& why);

// The private channels as CSV text: comma-separated with decimal points, or for ';' as the
// separator with decimal commas, as spreadsheets in such locales expect.
std::string ChannelsToCsv(const RadioSettings& settings, char separator = ',');

enum class CsvImportMode {
    Replace,  // the rows become the private channel list
    Append,   // the rows follow the channels there are
};

struct CsvImportResult {
    std::vector<CsvProblem> problems;  // every bad row and field; empty when the import was applied
    std::vector<std::string> columnNames;  // the file's header, for naming a problem's column
    std::size_t channels = 0;          // how many channels the rows gave
    bool noRows = false;               // a header and no channel: refused unless allowed
};

// Reads the text and, when every row passes, applies it to the settings. A channel that a row
// leaves as it was (same label, same printed values) keeps its exact stored bytes, so an export
// imported again gives a byte-identical document. A file of no rows is refused unless
// `allowEmpty` says the list is meant to be emptied: a wrong or truncated file must not wipe it.
CsvImportResult ImportChannelsCsv(std::string_view text, CsvImportMode mode, RadioSettings& settings,
                                  bool allowEmpty = false);

// What an editor says around an import and an export, `file` naming the spreadsheet.
inline constexpr const char* kCsvImportTitle = "Import Channels";
inline constexpr const char* kCsvReplaceChoice = "Replace";
inline constexpr const char* kCsvAppendChoice = "Append";
inline constexpr const char* kCsvExportOkText = "Export Channels OK.";
std::string CsvImportQuestion(const std::string& file);
// A file of no rows: an append adds nothing; a replace is asked about, since it empties the list.
std::string CsvNothingAppendedText(const std::string& file);
std::string CsvEmptyListQuestion(const std::string& file);
// A refused file: how many problems, that nothing changed, and every problem a line.
std::string CsvProblemsText(const std::string& file, const CsvImportResult& result);
std::string CsvImportedText(std::size_t channels);

}  // namespace orven
