// Comma-separated text as RFC 4180 has it, and as spreadsheets in decimal-comma locales write it
// (semicolons between fields): quoted fields with separators, quotes and line breaks inside,
// CRLF or LF line ends, a byte-order mark at the start.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orven {

struct CsvRow {
    std::size_t line = 0;  // the file line the row starts on, from 1
    std::vector<std::string> fields;
};

struct CsvTable {
    char separator = ',';
    std::vector<CsvRow> rows;
};

// Reads a whole text. The separator is the header's: ';' when the first line holds a semicolon
// outside quotes and no comma, else ','. Nothing, with `error` naming the line, for a quote that is
// never closed or text after a closing quote.
std::optional<CsvTable> ParseCsv(std::string_view text, std::string& error);

// One row, fields quoted where they must be, ended by CRLF.
std::string CsvLine(const std::vector<std::string>& fields, char separator);

// A row, a field, and what is wrong with it. Line and column count from 1; 0 when the problem
// is the whole file's.
struct CsvProblem {
    std::size_t line = 0;
    std::size_t column = 0;
    std::string why;
};
// "line 4, column 2 (TX MHz): must be ..." style text without the file name; the column is named
// from the file's header when given.
std::string CsvProblemText(const CsvProblem& problem, const std::vector<std::string>& columnNames = {});

// A field as it is read: without the spaces and tabs around it.
std::string TrimmedField(std::string_view text);
// Whether a row holds nothing but blanks (spreadsheets save empty rows).
bool IsBlankRow(const CsvRow& row);
// A table with a header, blank rows left out, the header its first row; no rows, with the reason
// added to `problems`, when the text is no table or holds no header row.
CsvTable TableUnderHeader(std::string_view text, std::vector<CsvProblem>& problems);

// The header row of a table whose columns are found by name, in any order and any case: which of
// the file's fields holds each of `names` (-1 for one the file leaves out). A name that is none of
// them (`unknownWhy` says what the columns are) or that comes twice is a problem of its field.
std::vector<int> FindColumns(const CsvRow& header, const std::vector<std::string>& names,
                             const std::string& unknownWhy, std::vector<CsvProblem>& problems);
// The field of a row in a column FindColumns found, trimmed; empty when the column is left out or
// the row is short.
std::string FieldIn(const CsvRow& row, int column);

}  // namespace orven
