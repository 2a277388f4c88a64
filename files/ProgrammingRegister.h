// The register of programmed radios, drawn from the programming log: which identities went into
// which radio's serial number, when, with what result, and where the backup of what it held
// before is kept. What a dealer hands to an authority, and what a roster is checked against so
// that one MMSI does not go into two radios.
#pragma once

#include "files/RadioArchive.h"

#include <string>
#include <vector>

namespace orven {

// What a register row's result says of a write cut off for good (the log has no outcome for it).
inline constexpr const char* kRegisterInterrupted = "INTERRUPTED";

// One write (or restore) of a radio: the identities it put into the radio, as the log keeps them.
struct RegisterRow {
    std::string serial, mmsi, atis, nmea, name;  // the ATIS as its last nine digits
    std::string time;       // of the write
    std::string operation;  // write, restore
    std::string port;
    std::string result;     // "Write OK.", the failure, or kRegisterInterrupted
    std::string readBack;   // what the read-back after it found, or "-"
    std::string backup;     // the archive entry of what the radio held before, or "-"
};

// Every write and restore of the log, oldest first, writes cut off included.
std::vector<RegisterRow> RegisterHistory(const LogRead& log);

// The radios as they stand now: one row per serial number, its last write, in the order of the
// serial numbers. A write that names no vessel keeps the name of the one before it as long as
// it left the MMSI and ATIS as they were. Radios without a serial number cannot be told apart:
// each of their writes is a row of its own.
std::vector<RegisterRow> RegisterNow(const LogRead& log);

// The register as CSV, a header and one row each: Serial, MMSI, ATIS (its ten digits), NMEA2000,
// Name, Time, Operation, Port, Result, Read-back, Backup. Every field is made printable (a serial
// number read from a radio may hold any byte), and one a spreadsheet would take for a formula is
// quoted with an apostrophe.
std::string RegisterCsv(const std::vector<RegisterRow>& rows);

}  // namespace orven
