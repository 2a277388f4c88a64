#include "files/CsvTable.h"

#include "model/LineFormat.h"

#include <algorithm>
#include <iterator>
#include <cctype>

namespace orven {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

char SeparatorOf(std::string_view text) {
    bool quoted = false, comma = false, semicolon = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        comma |= c == ',';
        semicolon |= c == ';';
    }
    return semicolon && !comma ? ';' : ',';
}

// Walks the text one field at a time, keeping count of lines.
class CsvReader {
public:
    CsvReader(std::string_view text, char separator) : text_(text), separator_(separator) {}

    bool AtEnd() const { return at_ >= text_.size(); }
    std::size_t Line() const { return line_; }

    // One row; false with `error` set when a quoted field is broken.
    bool Row(std::vector<std::string>& fields, std::string& error) {
        fields.clear();
        for (;;) {
            std::string field;
            if (!Field(field, error)) return false;
            fields.push_back(std::move(field));
            if (AtEnd()) return true;
            const char c = text_[at_++];
            if (c == separator_) continue;
            if (c == '\r' && !AtEnd() && text_[at_] == '\n') ++at_;
            ++line_;
            return true;
        }
    }

private:
    bool Field(std::string& field, std::string& error) {
        if (AtEnd() || text_[at_] != '"') {
            while (!AtEnd() && text_[at_] != separator_ && text_[at_] != '\n' && text_[at_] != '\r')
                field += text_[at_++];
            return true;
        }
        const std::size_t opened = line_;
        ++at_;
        for (;;) {
            if (AtEnd()) {
                error = "line " + std::to_string(opened) + ": a quoted field is never closed";
                return false;
            }
            const char c = text_[at_++];
            if (c == '"' && !AtEnd() && text_[at_] == '"') {
                field += '"';
                ++at_;
            } else if (c == '"') {
                break;
            } else {
                if (c == '\n') ++line_;
                field += c;
            }
        }
        if (!AtEnd() && text_[at_] != separator_ && text_[at_] != '\n' && text_[at_] != '\r') {
            error = "line " + std::to_string(line_) + ": text after the closing quote of a field";
            return false;
        }
        return true;
    }

    std::string_view text_;
    char separator_;
    std::size_t at_ = 0;
    std::size_t line_ = 1;
};

bool NeedsQuotes(const std::string& field, char separator) {
    return field.find_first_of(std::string{separator, '"', '\r', '\n'}) != std::string::npos ||
           (!field.empty() && (field.front() == ' ' || field.back() == ' '));
}

}  // namespace

std::optional<CsvTable> ParseCsv(std::string_view text, std::string& error) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    CsvTable table;
    table.separator = SeparatorOf(text);
    CsvReader reader(text, table.separator);
    while (!reader.AtEnd()) {
        CsvRow row;
        row.line = reader.Line();
        if (!reader.Row(row.fields, error)) return std::nullopt;
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::string CsvLine(const std::vector<std::string>& fields, char separator) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) line += separator;
        if (!NeedsQuotes(fields[i], separator)) {
            line += fields[i];
            continue;
        }
        line += '"';
        for (const char c : fields[i]) line += c == '"' ? std::string("\"\"") : std::string(1, c);
        line += '"';
    }
    return line + "\r\n";
}

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::string CsvProblemText(const CsvProblem& problem, const std::vector<std::string>& columnNames) {
    if (problem.line == 0) return problem.why;
    std::string text = "line " + std::to_string(problem.line);
    if (problem.column > 0) {
        text += ", column " + std::to_string(problem.column);
        if (problem.column <= columnNames.size() && !columnNames[problem.column - 1].empty())
            text += " (" + PrintableText(columnNames[problem.column - 1]) + ")";
    }
    return text + ": " + problem.why;
}

std::string TrimmedField(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

bool IsBlankRow(const CsvRow& row) {
    return std::all_of(row.fields.begin(), row.fields.end(),
                       [](const std::string& f) { return TrimmedField(f).empty(); });
}

CsvTable TableUnderHeader(std::string_view text, std::vector<CsvProblem>& problems) {
    std::string error;
    const auto table = ParseCsv(text, error);
    if (!table) {
        problems.push_back({0, 0, error});
        return {};
    }
    CsvTable kept{table->separator, {}};
    std::copy_if(table->rows.begin(), table->rows.end(), std::back_inserter(kept.rows),
                 [](const CsvRow& row) { return !IsBlankRow(row); });
    if (kept.rows.empty()) problems.push_back({0, 0, "the file has no header row"});
    return kept;
}

std::vector<int> FindColumns(const CsvRow& header, const std::vector<std::string>& names,
                             const std::string& unknownWhy, std::vector<CsvProblem>& problems) {
    std::vector<int> at(names.size(), -1);
    for (std::size_t c = 0; c < header.fields.size(); ++c) {
        const std::string name = Lower(TrimmedField(header.fields[c]));
        const auto known = std::find_if(names.begin(), names.end(), [&](const std::string& n) { return Lower(n) == name; });
        if (known == names.end()) {
            problems.push_back({header.line, c + 1, unknownWhy});
            continue;
        }
        int& column = at[static_cast<std::size_t>(known - names.begin())];
        if (column >= 0) problems.push_back({header.line, c + 1, "names a column a second time"});
        column = static_cast<int>(c);
    }
    return at;
}

std::string FieldIn(const CsvRow& row, int column) {
    return column >= 0 && static_cast<std::size_t>(column) < row.fields.size()
               ? TrimmedField(row.fields[static_cast<std::size_t>(column)])
               : std::string();
}

}  // namespace orven
