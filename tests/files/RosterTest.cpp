#include "files/Roster.h"

#include "files/ProgrammingRegister.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orven {
namespace {

std::vector<std::string> Texts(const std::vector<CsvProblem>& problems, const Roster& roster) {
    std::vector<std::string> texts;
    for (const CsvProblem& p : problems) texts.push_back(CsvProblemText(p, roster.columnNames));
    return texts;
}

// What a spreadsheet in a decimal-comma locale saves after a dealer's edits: a byte-order mark,
// CRLF, semicolons, the columns in another order and case, a name quoted round its separator, an
// ATIS with its 9, a NMEA2000 number that lost its leading zero, blank cells and a blank row.
TEST(RosterTest, ReadsWhatASpreadsheetSaves) {
    const std::string text =
        "\xEF\xBB\xBF" "name;SERIAL;Atis;mmsi;Nmea2000\r\n"
        "\"Blue Heron; tender\";20261207;9211234567;211234560;12345\r\n"
        ";;;;\r\n"
        "  Sea Otter ;A-17;;211234570;\r\n"
        ";S3;;;\r\n";
    const RosterRead read = ReadRoster(text, true);
    ASSERT_TRUE(read.Ok()) << Texts(read.problems, read.roster).front();
    ASSERT_EQ(read.roster.rows.size(), 3u);
    const RosterRow& heron = read.roster.rows[0];
    EXPECT_EQ(heron.line, 2u);
    EXPECT_EQ(heron.serial, "20261207");
    EXPECT_EQ(heron.mmsi, "211234560");
    EXPECT_EQ(heron.atis, "211234567") << "the settings keep the ATIS's last nine digits";
    EXPECT_EQ(heron.nmea, "012345");
    EXPECT_EQ(heron.name, "Blue Heron; tender");
    const RosterRow& otter = read.roster.rows[1];
    EXPECT_EQ(otter.line, 4u);
    EXPECT_EQ(otter.name, "Sea Otter");
    EXPECT_EQ(otter.atis, "") << "blank: the radio keeps its own";
    EXPECT_EQ(read.roster.Find("S3")->line, 5u);
    EXPECT_EQ(read.roster.Find("s3"), nullptr) << "serial numbers are compared as the radio holds them";
    EXPECT_EQ(read.roster.ColumnOf(RosterColumn::Mmsi), 4u);
}

// Every reason to refuse a roster, each by its line and column, in the file's order.
TEST(RosterTest, RefusesEveryBadRowByLineAndColumn) {
    const std::string text =
        "Serial,MMSI,ATIS,NMEA2000,Name\n"
        "S1,211234560,211234567,123456,ok\n"
        ",211234561,,,no serial\n"
        "S123456789,011234562,,,\n"
        "S4,21123456x,9011234567,1234567,\n"
        "S5,211234560,,000000,\"a\x1b[31mred\"\n"
        "S1,211234565,211234567,12a,\n"
        "S7,,,,,extra\n";
    const RosterRead read = ReadRoster(text, true);
    EXPECT_EQ(Texts(read.problems, read.roster),
              (std::vector<std::string>{
                  "line 3, column 1 (Serial): needs the radio's serial number",
                  "line 4, column 1 (Serial): a serial number holds at most 8 characters; this one has 10",
                  "line 4, column 2 (MMSI): must be an own MMSI: nine digits, the first not 0",
                  "line 5, column 2 (MMSI): must be an own MMSI: nine digits, the first not 0",
                  "line 5, column 3 (ATIS): must be an ATIS: 9 and nine more digits, the first of those not 0 (the "
                  "nine alone will do)",
                  "line 5, column 4 (NMEA2000): must be a NMEA2000 number of up to six digits, not 0",
                  "line 6, column 2 (MMSI): is the MMSI of line 2 as well: each radio needs its own",
                  "line 6, column 4 (NMEA2000): must be a NMEA2000 number of up to six digits, not 0",
                  "line 6, column 5 (Name): holds a control character or bytes that are no text",
                  "line 7, column 1 (Serial): is the serial number of line 2 as well: each radio needs its own",
                  "line 7, column 3 (ATIS): is the ATIS of line 2 as well: each radio needs its own",
                  "line 7, column 4 (NMEA2000): must be a NMEA2000 number of up to six digits, not 0",
                  "line 8, column 6: is beyond the header's columns",
              }));
}

TEST(RosterTest, RefusesAHeaderItCannotUse) {
    RosterRead read = ReadRoster("Serial,MMSI,Vessel,mmsi\nS1,211234560,x,\n", true);
    EXPECT_EQ(Texts(read.problems, read.roster),
              (std::vector<std::string>{
                  "line 1, column 3 (Vessel): is not a column of a roster (Serial, MMSI, ATIS, NMEA2000, Name)",
                  "line 1, column 4 (mmsi): names a column a second time"}));
    read = ReadRoster("MMSI,Name\n211234560,x\n", true);
    EXPECT_EQ(Texts(read.problems, read.roster), std::vector<std::string>{"line 1: the header has no Serial column"});
    read = ReadRoster("Serial,MMSI\r\n\r\n", true);
    EXPECT_EQ(Texts(read.problems, read.roster),
              std::vector<std::string>{"names no radio: the header has no rows below it"});
    read = ReadRoster("Serial,Name\nS1,\"open\n", true);
    EXPECT_EQ(Texts(read.problems, read.roster), std::vector<std::string>{"line 2: a quoted field is never closed"});
}

// Doubtful identities are warned of, never refused: a group MMSI as a radio's own, and for the
// European models an ATIS that does not follow the MMSI's country.
TEST(RosterTest, WarnsOfDoubtfulIdentitiesWithoutRefusing) {
    const std::string text = "Serial,MMSI,ATIS\nS1,211234560,211234567\nS2,366123456,244123456\n";
    RosterRead read = ReadRoster(text, true);
    EXPECT_TRUE(read.Ok());
    ASSERT_EQ(read.warnings.size(), 1u);
    EXPECT_EQ(read.warnings.front().line, 3u);
    EXPECT_TRUE(ReadRoster(text, false).warnings.empty()) << "the ATIS rules are the European models'";
}

LogLine Written(const char* time, const char* serial, const char* mmsi, const char* atis = "") {
    LogLine line;
    line.time = time;
    line.operation = "write";
    line.serial = serial;
    line.mmsi = mmsi;
    line.atis = atis;
    line.result = "Write OK.";
    return line;
}

// The register stands against a roster: an identity another radio holds, and a radio's identity
// the roster would replace, are refused naming the radio and when it was written; a radio sold
// whose MMSI was removed, and a radio given again what it holds, pass.
TEST(RosterTest, RegisterConflictsNameTheRadioAndTheDate) {
    LogRead log;
    log.lines = {Written("2026-12-01 09:00:00", "OLD1", "211234560", "211234567"),
                 Written("2026-12-02 09:00:00", "SOLD", "211234561"),
                 Written("2026-12-03 09:00:00", "SOLD", ""),  // sold: its MMSI removed
                 Written("2026-12-04 09:00:00", "S3", "211234563"),
                 Written("2026-12-05 09:00:00", "S4", "211234564")};
    const std::string text =
        "Serial,MMSI,ATIS\n"
        "S1,211234560,\n"        // OLD1's MMSI
        "S2,211234561,\n"        // was SOLD's, removed since
        "S3,211234569,\n"        // S3 holds another
        "S4,211234564,\n"        // S4 again, as it is
        "S5,211234565,211234567\n";  // OLD1's ATIS
    const RosterRead read = ReadRoster(text, true);
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(Texts(RegisterConflicts(read.roster, RegisterNow(log)), read.roster),
              (std::vector<std::string>{
                  "line 2, column 2 (MMSI): is the MMSI of radio OLD1 by the register (written 2026-12-01 09:00:00); "
                  "a radio sold keeps it until it is removed",
                  "line 4, column 2 (MMSI): radio S3 holds MMSI 211234563 by the register (written 2026-12-04 "
                  "09:00:00); this would replace it",
                  "line 6, column 3 (ATIS): is the ATIS of radio OLD1 by the register (written 2026-12-01 09:00:00); "
                  "a radio sold keeps it until it is removed"}));
}

}  // namespace
}  // namespace orven
