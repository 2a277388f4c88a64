// A fleet's roster: a spreadsheet (CSV, read as the channel spreadsheet is) with a header and one
// row per radio, found by its serial number, giving the identities that radio is to hold:
//   Serial (required), MMSI, ATIS, NMEA2000, Name (the vessel or the radio's label, kept in the
//   programming log for the register only)
// An identity left blank, or a column left out, is one the radio keeps as it holds it. Every row
// is checked before any radio is touched, and the whole roster is refused when one fails.
#pragma once

#include "files/CsvTable.h"
#include "files/ProgrammingRegister.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orven {

// A roster of thousands of radios is far smaller than this.
inline constexpr std::size_t kMaxRosterBytes = std::size_t{1} << 20;
// The longest name the register keeps, in bytes.
inline constexpr std::size_t kMaxRosterNameBytes = 64;

enum class RosterColumn { Serial, Mmsi, Atis, Nmea, Name };
inline constexpr std::size_t kRosterColumnCount = 5;
// The header's names, in the order of RosterColumn; found in any order and any case.
inline constexpr std::array<const char*, kRosterColumnCount> kRosterColumns = {"Serial", "MMSI", "ATIS", "NMEA2000",
                                                                               "Name"};

// One radio of the roster, its identities as the radio and the settings hold them: the MMSI and
// the ATIS's last nine digits, the NMEA2000 number as six digits; empty where the radio keeps its own.
struct RosterRow {
    std::size_t line = 0;  // of the file, for messages
    std::string serial, mmsi, atis, nmea, name;
};

struct Roster {
    std::vector<RosterRow> rows;
    std::vector<std::string> columnNames;  // the file's header, for naming a problem's column
    // Which of the file's columns holds each of kRosterColumns (-1: left out), counted from 0.
    std::array<int, kRosterColumnCount> columns{};
    // The row of a serial number; nothing when the roster has none.
    const RosterRow* Find(std::string_view serial) const;
    // The file's column (from 1) of one of ours, for a problem; 0 when the file leaves it out.
    std::size_t ColumnOf(RosterColumn column) const;
};

struct RosterRead {
    Roster roster;
    std::vector<CsvProblem> problems;  // every reason to refuse it; empty when it may be used
    std::vector<CsvProblem> warnings;  // what the identity decoding finds doubtful (never a refusal)
    bool Ok() const { return problems.empty(); }
};

// Reads a roster file of at most kMaxRosterBytes into `text`; false with `why` set when it is not one.
bool ReadRosterFile(const std::string& path, std::string& text, std::string& why);

// Reads and checks a roster: the header, every row's identities by the radio's own rules, no
// serial number, MMSI or ATIS twice. `europeanModel`: the ATIS warnings of the European models.
RosterRead ReadRoster(std::string_view text, bool europeanModel);

// The roster's identities that the register says are another radio's (a MMSI or ATIS programmed
// into a radio with another serial number), or that would replace what the register says a radio
// holds; each a problem of its row and column, naming the radio and when it was written. Rows
// the register knows nothing against pass.
std::vector<CsvProblem> RegisterConflicts(const Roster& roster, const std::vector<RegisterRow>& register_);

// Why `serial` cannot be assigned to a radio without a serial number: the register already has a
// radio of that serial number, which a second one would be taken for; empty when it has none.
std::string AssignmentConflict(const std::string& serial, const std::vector<RegisterRow>& register_);

// Every problem of a roster said for the user, one a line, with the file's name before it.
std::string RosterProblemsText(const std::string& file, const std::vector<CsvProblem>& problems,
                               const Roster& roster);

}  // namespace orven
