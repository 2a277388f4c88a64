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

}  // namespace orven
