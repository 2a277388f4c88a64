#include "files/Roster.h"

#include "files/FileRead.h"
#include "model/IdentityRules.h"
#include "model/LineFormat.h"
#include "model/MarineIdentity.h"
#include "model/SettingsRules.h"

#include <algorithm>
#include <map>

namespace orven {

namespace {

constexpr std::size_t kFullAtisDigits = kIdentityTextLength + 1;

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// One row read and checked, every problem noted against its column.
class RowReader {
public:
    RowReader(const CsvRow& row, const Roster& roster, std::vector<CsvProblem>& problems)
        : row_(row), roster_(roster), problems_(problems) {}

    RosterRow Read() {
        RosterRow r;
        r.line = row_.line;
        r.serial = Serial();
        r.mmsi = Mmsi();
        r.atis = Atis();
        r.nmea = Nmea();
        r.name = Name();
        return r;
    }

private:
    std::string Cell(RosterColumn column) const {
        return FieldIn(row_, roster_.columns[static_cast<std::size_t>(column)]);
    }
    void Fail(RosterColumn column, const std::string& why) {
        problems_.push_back({row_.line, roster_.ColumnOf(column), why});
    }

    std::string Serial() {
        const std::string text = Cell(RosterColumn::Serial);
        if (text.empty()) Fail(RosterColumn::Serial, "needs the radio's serial number");
        else if (!IsValidSerialNumber(text))
            Fail(RosterColumn::Serial, "a serial number holds at most " + std::to_string(kSerialTextLimit) +
                                           " characters; this one has " + std::to_string(text.size()));
        else if (const auto refusal = UnprintableTextRefusal(text)) Fail(RosterColumn::Serial, *refusal);
        return text;
    }

    std::string Mmsi() {
        const std::string text = Cell(RosterColumn::Mmsi);
        if (!text.empty() && !IsValidIdentity9(text))
            Fail(RosterColumn::Mmsi, "must be an own MMSI: nine digits, the first not 0");
        return text;
    }

    // The ATIS as the settings keep it: its last nine digits, whether the row gives those or all ten.
    std::string Atis() {
        std::string text = Cell(RosterColumn::Atis);
        if (text.size() == kFullAtisDigits && text.front() == '9') text.erase(0, 1);
        if (!text.empty() && !IsValidIdentity9(text))
            Fail(RosterColumn::Atis,
                 "must be an ATIS: 9 and nine more digits, the first of those not 0 (the nine alone will do)");
        return text;
    }

    // Six digits as the radio shows them: a spreadsheet that took the number for a number dropped
    // its leading zeros.
    std::string Nmea() {
        const std::string text = Cell(RosterColumn::Nmea);
        if (text.empty()) return text;
        const bool zero = text.find_first_not_of('0') == std::string::npos;
        if (!AllDigits(text) || text.size() > kNmeaTextLength || zero) {
            Fail(RosterColumn::Nmea, "must be a NMEA2000 number of up to six digits, not 0");
            return text;
        }
        return std::string(kNmeaTextLength - text.size(), '0') + text;
    }

    std::string Name() {
        const std::string text = Cell(RosterColumn::Name);
        if (PrintableText(text) != text) Fail(RosterColumn::Name, "holds a control character or bytes that are no text");
        else if (text.size() > kMaxRosterNameBytes)
            Fail(RosterColumn::Name, "is longer than " + std::to_string(kMaxRosterNameBytes) + " bytes");
        return text;
    }

    const CsvRow& row_;
    const Roster& roster_;
    std::vector<CsvProblem>& problems_;
};

// A value given to two rows: a problem of the later one.
void FindRepeats(const Roster& roster, RosterColumn column, const std::string RosterRow::*field, const char* what,
                 std::vector<CsvProblem>& problems) {
    std::map<std::string, std::size_t> seen;
    for (const RosterRow& row : roster.rows) {
        const std::string& value = row.*field;
        if (value.empty()) continue;
        const auto [first, fresh] = seen.emplace(value, row.line);
        if (!fresh)
            problems.push_back({row.line, roster.ColumnOf(column),
                                std::string("is the ") + what + " of line " + std::to_string(first->second) +
                                    " as well: each radio needs its own"});
    }
}

void WarnOfIdentities(const Roster& roster, bool europeanModel, std::vector<CsvProblem>& warnings) {
    for (const RosterRow& row : roster.rows)
        for (const std::string& warning : IdentityWarnings(row.mmsi, row.atis, europeanModel))
            warnings.push_back({row.line, 0, warning});
}

bool ReadHeader(const CsvRow& header, Roster& roster, std::vector<CsvProblem>& problems) {
    roster.columnNames = header.fields;
    const std::vector<int> at = FindColumns(
        header, std::vector<std::string>(kRosterColumns.begin(), kRosterColumns.end()),
        "is not a column of a roster (Serial, MMSI, ATIS, NMEA2000, Name)", problems);
    std::copy(at.begin(), at.end(), roster.columns.begin());
    if (roster.columns[static_cast<std::size_t>(RosterColumn::Serial)] < 0)
        problems.push_back({header.line, 0, "the header has no Serial column"});
    return problems.empty();
}

// The row of the register that holds `value` in `field` for a radio other than `serial`; the
// latest when several do.
const RegisterRow* OtherRadioWith(const std::vector<RegisterRow>& register_, const std::string RegisterRow::*field,
                                  const std::string& value, const std::string& serial) {
    const RegisterRow* found = nullptr;
    for (const RegisterRow& r : register_)
        if (r.*field == value && (r.serial != serial || r.serial.empty())) found = &r;
    return found;
}

std::string RadioNamed(const RegisterRow& r) {
    return r.serial.empty() ? std::string("a radio without a serial number") : "radio " + PrintableText(r.serial);
}

std::string WrittenText(const RegisterRow& r) {
    return "written " + r.time + (r.result == kRegisterInterrupted ? ", cut off" : "");
}

void CheckTaken(const Roster& roster, const RosterRow& row, const std::vector<RegisterRow>& register_,
                RosterColumn column, const std::string RosterRow::*ours, const std::string RegisterRow::*theirs,
                const char* what, std::vector<CsvProblem>& problems) {
    const std::string& value = row.*ours;
    if (value.empty()) return;
    if (const RegisterRow* other = OtherRadioWith(register_, theirs, value, row.serial))
        problems.push_back({row.line, roster.ColumnOf(column),
                            std::string("is the ") + what + " of " + RadioNamed(*other) + " by the register (" +
                                WrittenText(*other) + "); a radio sold keeps it until it is removed"});
}

// The register's row of a radio, when it has one.
const RegisterRow* RadioInRegister(const std::vector<RegisterRow>& register_, const std::string& serial) {
    for (const RegisterRow& r : register_)
        if (r.serial == serial) return &r;
    return nullptr;
}

void CheckReplaced(const Roster& roster, const RosterRow& row, const std::vector<RegisterRow>& register_,
                   RosterColumn column, const std::string RosterRow::*ours, const std::string RegisterRow::*theirs,
                   const char* what, std::vector<CsvProblem>& problems) {
    const RegisterRow* held = RadioInRegister(register_, row.serial);
    const std::string& value = row.*ours;
    if (!held || value.empty() || (held->*theirs).empty() || held->*theirs == value) return;
    problems.push_back({row.line, roster.ColumnOf(column),
                        "radio " + PrintableText(row.serial) + " holds " + what + " " + (held->*theirs) +
                            " by the register (" + WrittenText(*held) + "); this would replace it"});
}

}  // namespace

const RosterRow* Roster::Find(std::string_view serial) const {
    const auto it = std::find_if(rows.begin(), rows.end(), [&](const RosterRow& r) { return r.serial == serial; });
    return it == rows.end() ? nullptr : &*it;
}

std::size_t Roster::ColumnOf(RosterColumn column) const {
    return static_cast<std::size_t>(columns[static_cast<std::size_t>(column)] + 1);
}

bool ReadRosterFile(const std::string& path, std::string& text, std::string& why) {
    why = WholeReadProblem(ReadTextStart(path, kMaxRosterBytes, text), "a roster");
    if (why.empty()) return true;
    text.clear();
    return false;
}

RosterRead ReadRoster(std::string_view text, bool europeanModel) {
    RosterRead read;
    const std::vector<CsvRow> rows = TableUnderHeader(text, read.problems).rows;
    if (rows.empty()) return read;
    Roster& roster = read.roster;
    if (!ReadHeader(rows.front(), roster, read.problems)) return read;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i].fields.size() > roster.columnNames.size())
            read.problems.push_back({rows[i].line, roster.columnNames.size() + 1, "is beyond the header's columns"});
        roster.rows.push_back(RowReader(rows[i], roster, read.problems).Read());
    }
    if (roster.rows.empty()) read.problems.push_back({0, 0, "names no radio: the header has no rows below it"});
    FindRepeats(roster, RosterColumn::Serial, &RosterRow::serial, "serial number", read.problems);
    FindRepeats(roster, RosterColumn::Mmsi, &RosterRow::mmsi, "MMSI", read.problems);
    FindRepeats(roster, RosterColumn::Atis, &RosterRow::atis, "ATIS", read.problems);
    WarnOfIdentities(roster, europeanModel, read.warnings);
    std::stable_sort(read.problems.begin(), read.problems.end(), [](const CsvProblem& a, const CsvProblem& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    return read;
}

std::vector<CsvProblem> RegisterConflicts(const Roster& roster, const std::vector<RegisterRow>& register_) {
    std::vector<CsvProblem> problems;
    for (const RosterRow& row : roster.rows) {
        CheckTaken(roster, row, register_, RosterColumn::Mmsi, &RosterRow::mmsi, &RegisterRow::mmsi, "MMSI", problems);
        CheckTaken(roster, row, register_, RosterColumn::Atis, &RosterRow::atis, &RegisterRow::atis, "ATIS", problems);
        CheckReplaced(roster, row, register_, RosterColumn::Mmsi, &RosterRow::mmsi, &RegisterRow::mmsi, "MMSI",
                      problems);
        CheckReplaced(roster, row, register_, RosterColumn::Atis, &RosterRow::atis, &RegisterRow::atis, "ATIS",
                      problems);
    }
    return problems;
}

std::string AssignmentConflict(const std::string& serial, const std::vector<RegisterRow>& register_) {
    const RegisterRow* held = RadioInRegister(register_, serial);
    if (!held) return {};
    return "radio " + PrintableText(serial) + " is in the register (" + WrittenText(*held) +
           "); a radio without a serial number must take one no other radio has";
}

std::string RosterProblemsText(const std::string& file, const std::vector<CsvProblem>& problems,
                               const Roster& roster) {
    std::string text;
    for (const CsvProblem& problem : problems)
        text += PrintableText(file) + ": " + CsvProblemText(problem, roster.columnNames) + "\n";
    return text;
}

}  // namespace orven
