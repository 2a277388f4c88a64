// Fleet programming: one template into many radios, each with the identities its serial number
// has in a roster. The roster is the confirmation of those identities: one question for the whole
// run, none per radio, and any other change of a radio's identities is still refused. Each radio
// goes through the command runner's own write: its backup into the radio archive, the identities
// the row leaves blank kept as the radio holds them, a look just before the first frame that the
// radio is still the one backed up, and a whole read-back against what was written.
//
// This file holds the policy: the plan (template, roster, assignment), the document of a row,
// the ledger that gives each row to one radio at a time, and one radio's programming. A port's
// loop is FleetPort.h, a run over many ports FleetRun.h.
#pragma once

#include "clone/CloneRunner.h"
#include "files/ProgrammingRegister.h"
#include "files/Roster.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace orven {

class RadioArchive;

// What a run programs, read and checked before any radio is touched.
struct FleetPlan {
    std::shared_ptr<const RadioSettings> model;  // the template: its channels and settings, not its identities
    Roster roster;
    std::string assign;       // the roster's serial number a radio without one takes; empty: none
    bool allowReuse = false;  // what the register says of a row's identities does not stop it
    // The files the plan was read from and their SHA-256 then: once either changed, the run
    // starts no radio more, since what it would program is no longer what was confirmed.
    std::string templatePath, templateSha256, rosterPath, rosterSha256;
};

struct FleetPlanRead {
    std::optional<FleetPlan> plan;      // when nothing refuses it
    std::vector<std::string> problems;  // every reason it was refused, said for the user
    std::vector<std::string> warnings;  // the roster's identity warnings
};
// Reads the template and the roster and checks them: the template a settings file, every row of
// the roster, the row --assign names, and unless `allowReuse`, the roster against the register
// of `archive` (when given). `allowReuseHint` follows a register conflict: how this front end
// lets the run go ahead all the same.
FleetPlanRead ReadFleetPlan(const std::string& templatePath, const std::string& rosterPath, const std::string& assign,
                            bool allowReuse, const RadioArchive* archive, const std::string& allowReuseHint);

// The one question of a run: how many radios, from which template, with which identities.
struct FleetQuestion {
    std::string title;
    std::string text;                // "Program up to 12 radios from the template t.dat, each ..."
    std::vector<std::string> rows;   // "20261207  MMSI 211234560 ...  Blue Heron", one per radio
    std::string question;            // "Program the radios with these identities?"
};
FleetQuestion QuestionOfPlan(const FleetPlan& plan);

// The document a row's radio is written: the template's channels and settings with the row's
// identities, each one the row leaves blank left open so the radio keeps its own, and the
// row's serial number (the radio's own, or for an assignment the one it takes).
std::unique_ptr<RadioSettings> RowDocument(const RadioSettings& model, const RosterRow& row);

// What became of a radio met on a port.
enum class RadioVerdict {
    Programmed,     // written and read back whole, equal to what was written
    Failed,         // the write, the look before it or the read-back failed: named with its backup
    NotInRoster,    // its serial number is not in the roster: untouched
    NoSerial,       // it holds no serial number and no row is left to assign: untouched
    AlreadyDone,    // a radio of its serial number was programmed earlier in this run: untouched
    OnAnotherPort,  // a radio of its serial number is being programmed on another port: untouched
    InRegister,     // the register, read again, gives its identities to another radio now: untouched
    FilesChanged,   // the template or roster changed during the run: untouched, and the run starts no more
    NoRadio,        // with --once, no radio answered on the port
    Stopped,        // with --once, the run was stopped before the port handled its radio: untouched
};
// The radio was left as it was (nothing written).
bool Untouched(RadioVerdict verdict);

struct RadioReport {
    std::string port;
    std::string serial;            // the radio's as it was met; empty for none
    std::optional<RosterRow> row;  // the row it was given
    RadioVerdict verdict = RadioVerdict::Failed;
    std::optional<WriteOutcome> write;
    std::string detail;  // why it was left untouched, or why its programming failed
};
// The line a user is told: "COM3: radio 20261207 (Blue Heron): programmed and verified; MMSI ...",
// a failure with `restoreHint` after the backup's entry (how this front end writes it back).
std::string RadioReportText(const RadioReport& report, const std::string& restoreHint);

// What the ledger gives a radio met on a port: a row to program, or the verdict that leaves it
// untouched.
struct FleetTicket {
    const RosterRow* row = nullptr;  // the row to program; null when the radio is left untouched
    bool assigning = false;          // the radio takes the row's serial number
    RadioVerdict verdict = RadioVerdict::Programmed;
    std::string detail;
};

// The run's one record of the roster's rows, shared by its ports: each row goes to one radio at
// a time, a row programmed is not programmed again in this run (a second radio with its serial
// number is left untouched), and a row whose radio failed waits for it to come again. Every
// radio met is reported here.
class FleetLedger {
public:
    FleetLedger(const FleetPlan& plan, const RadioArchive* archive) : plan_(plan), archive_(archive) {}

    // Decides about a radio holding `serial` met on `port`; a row given is the port's until Settle.
    FleetTicket Take(const std::string& serial, const std::string& port);
    // Records what became of the radio and lets go of its row.
    void Settle(const FleetTicket& ticket, const RadioReport& report);
    // Notes a radio left untouched (or a port that met none) that never held a row.
    void Note(const RadioReport& report);

    // Why the run starts no radio more (the template or roster changed); empty while it may.
    // Looks at the files again.
    std::string Closed();
    std::vector<RadioReport> Reports() const;

private:
    std::string ClosedLocked();
    // The register, read again, against the row (and against its serial number when a radio
    // without one is `assigning` it); empty when it has nothing against it.
    std::string RegisterObjection(const RosterRow& row, bool assigning) const;

    const FleetPlan& plan_;
    const RadioArchive* archive_;
    mutable std::mutex mutex_;
    // Serial numbers of rows, each with its port: being programmed, and programmed in this run.
    std::vector<std::pair<std::string, std::string>> busy_, done_;
    std::vector<std::string> assignedHere_;  // serial numbers given to a radio without one in this run
    std::vector<RadioReport> reports_;
    std::string closed_;
};

// Programs the radio a ticket gives a row: the row's document through the runner's write, with the
// row's identities confirmed, the look before the write, and the whole read-back. `job` has the
// port's own state, images and progress.
RadioReport ProgramRadio(const FleetPlan& plan, const CloneJob& job, const FleetTicket& ticket,
                         const std::string& heldSerial);

}  // namespace orven
