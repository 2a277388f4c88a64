#include "files/ProgrammingRegister.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orven {
namespace {

LogLine Line(const char* time, const char* operation, const char* serial, const char* mmsi, const char* name = "",
             const char* result = "Write OK.") {
    LogLine line;
    line.time = time;
    line.operation = operation;
    line.port = "COM3";
    line.serial = serial;
    line.mmsi = mmsi;
    line.name = name;
    line.result = result;
    line.readBack = "Verify OK.";
    line.backup = std::string(serial) + "/backup";
    return line;
}

std::vector<std::string> SerialsAndNames(const std::vector<RegisterRow>& rows) {
    std::vector<std::string> out;
    for (const RegisterRow& r : rows) out.push_back(r.serial + " " + r.mmsi + " " + r.name + " " + r.result);
    return out;
}

// Now: each radio once, as its last write left it; verifies are no writes; a write cut off shows;
// a write naming no vessel keeps the name while the MMSI stays, and loses it with another MMSI;
// radios without a serial number cannot be told apart, so each of their writes stays a row.
TEST(ProgrammingRegisterTest, NowHasEachRadioOnceAsItsLastWriteLeftIt) {
    LogRead log;
    log.lines = {Line("2026-12-01 09:00:00", "write", "S2", "211234562", "Heron"),
                 Line("2026-12-01 09:01:00", "write", "S1", "211234561", "Otter"),
                 Line("2026-12-01 09:02:00", "verify", "S1", "211234569", "", "Verify Error."),
                 Line("2026-12-02 09:00:00", "write", "S2", "211234562"),  // new channels, same MMSI
                 Line("2026-12-02 09:01:00", "restore", "S1", "211234568"),  // another MMSI: not Otter any more
                 Line("2026-12-02 09:02:00", "write", "", "211234570"),
                 Line("2026-12-02 09:03:00", "write", "", "211234571"),
                 Line("2026-12-02 09:04:00", "write", "S3", "211234563", "Gull", kLogStarted)};
    log.lines.back().interrupted = true;
    EXPECT_EQ(SerialsAndNames(RegisterNow(log)),
              (std::vector<std::string>{"S1 211234568  Write OK.", "S2 211234562 Heron Write OK.",
                                        "S3 211234563 Gull INTERRUPTED", " 211234570  Write OK.",
                                        " 211234571  Write OK."}));
    EXPECT_EQ(RegisterHistory(log).size(), 7u) << "every write and restore, the verify left out";
}

// The CSV an authority is handed: the ATIS with its 9, nothing a spreadsheet would run as a
// formula, nothing a terminal would act on, "-" as an empty field.
TEST(ProgrammingRegisterTest, CsvIsSafeToOpenAnywhere) {
    RegisterRow row{"=cmd|x", "211234560", "211234567", "123456", "-Heron\x1b[2J", "2026-12-01 09:00:00",
                    "write",  "COM3",      "Write OK.", "Verify OK.", "-"};
    EXPECT_EQ(RegisterCsv({row}),
              "Serial,MMSI,ATIS,NMEA2000,Name,Time,Operation,Port,Result,Read-back,Backup\r\n"
              "'=cmd|x,211234560,9211234567,123456,'-Heron\\x1b[2J,2026-12-01 09:00:00,write,COM3,Write OK.,"
              "Verify OK.,\r\n");
}

}  // namespace
}  // namespace orven
