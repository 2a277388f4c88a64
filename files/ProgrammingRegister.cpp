#include "files/ProgrammingRegister.h"

#include "files/CsvTable.h"
#include "model/LineFormat.h"

#include <map>

namespace orven {

namespace {

constexpr const char* kRegisterColumns[] = {"Serial", "MMSI", "ATIS", "NMEA2000", "Name", "Time",
                                            "Operation", "Port", "Result", "Read-back", "Backup"};

bool ChangesIdentities(const LogLine& line) { return line.operation == "write" || line.operation == "restore"; }

RegisterRow RowOf(const LogLine& l) {
    return {l.serial, l.mmsi, l.atis, l.nmea, l.name, l.time, l.operation, l.port,
            l.interrupted ? kRegisterInterrupted : l.result, l.readBack, l.backup};
}

// The ATIS as an authority knows it: its 9 and the nine digits the radio keeps.
std::string FullAtis(const std::string& lastNine) { return lastNine.empty() ? lastNine : "9" + lastNine; }

// A field a spreadsheet would run as a formula starts with one of these.
bool LooksLikeFormula(const std::string& field) {
    return !field.empty() && std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos;
}

// A field as the CSV holds it: printable, never a formula, "-" for none left empty.
std::string CsvField(const std::string& text) {
    if (text == "-") return {};
    const std::string shown = PrintableText(text);
    return LooksLikeFormula(shown) ? "'" + shown : shown;
}

}  // namespace

std::vector<RegisterRow> RegisterHistory(const LogRead& log) {
    std::vector<RegisterRow> rows;
    for (const LogLine& line : log.lines)
        if (ChangesIdentities(line)) rows.push_back(RowOf(line));
    return rows;
}

std::vector<RegisterRow> RegisterNow(const LogRead& log) {
    std::map<std::string, RegisterRow> bySerial;
    std::vector<RegisterRow> unnamed;  // radios without a serial number
    for (RegisterRow& row : RegisterHistory(log)) {
        if (row.serial.empty()) {
            unnamed.push_back(std::move(row));
            continue;
        }
        const auto before = bySerial.find(row.serial);
        if (before != bySerial.end() && row.name.empty() && row.mmsi == before->second.mmsi &&
            row.atis == before->second.atis)
            row.name = before->second.name;
        bySerial[row.serial] = std::move(row);
    }
    std::vector<RegisterRow> rows;
    for (auto& [serial, row] : bySerial) rows.push_back(std::move(row));
    rows.insert(rows.end(), unnamed.begin(), unnamed.end());
    return rows;
}

std::string RegisterCsv(const std::vector<RegisterRow>& rows) {
    std::string text = CsvLine(std::vector<std::string>(std::begin(kRegisterColumns), std::end(kRegisterColumns)), ',');
    for (const RegisterRow& r : rows)
        text += CsvLine({CsvField(r.serial), CsvField(r.mmsi), CsvField(FullAtis(r.atis)), CsvField(r.nmea),
                         CsvField(r.name), CsvField(r.time), CsvField(r.operation), CsvField(r.port),
                         CsvField(r.result), CsvField(r.readBack), CsvField(r.backup)},
                        ',');
    return text;
}

}  // namespace orven
