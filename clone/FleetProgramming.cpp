#include "clone/FleetProgramming.h"

#include "clone/CloneResult.h"
#include "clone/CloneWords.h"
#include "clone/IdentityPolicy.h"
#include "files/FileRead.h"
#include "files/RadioArchive.h"
#include "files/SettingsFile.h"
#include "files/Sha256.h"
#include "model/LineFormat.h"
#include "model/RadioIdentities.h"

#include <algorithm>

namespace orven {

namespace {

// SHA-256 of a file's bytes as they are now; empty when it cannot be read whole.
std::string FileSha256(const std::string& path) {
    std::string text;
    const FileRead read = ReadTextStart(path, kMaxRosterBytes, text);
    if (read.status != FileReadStatus::Ok || read.more) return {};
    return Sha256Hex(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool ReadTemplate(const std::string& path, RadioSettings& model, std::vector<std::string>& problems) {
    const CloneResult result = LoadSettingsFile(path, model);
    if (result == kResultOk) return true;
    const std::string cause = OpenFailureCause(path);
    problems.push_back(PrintableText(path) + ": " + ResultText(result) + (cause.empty() ? "" : " (" + cause + ")") +
                       " The template must be a settings file.");
    return false;
}

void ReadRosterOf(const std::string& path, bool europeanModel, FleetPlan& plan, FleetPlanRead& read) {
    std::string text, why;
    if (!ReadRosterFile(path, text, why)) {
        read.problems.push_back(PrintableText(path) + ": " + why);
        return;
    }
    const RosterRead roster = ReadRoster(text, europeanModel);
    for (const CsvProblem& p : roster.problems)
        read.problems.push_back(PrintableText(path) + ": " + CsvProblemText(p, roster.roster.columnNames));
    for (const CsvProblem& w : roster.warnings)
        read.warnings.push_back(PrintableText(path) + ": " + CsvProblemText(w, roster.roster.columnNames));
    plan.roster = roster.roster;
}

void CheckAgainstRegister(const RadioArchive& archive, const std::string& rosterPath, const std::string& assign,
                          const std::string& hint, FleetPlan& plan, FleetPlanRead& read) {
    const LogRead log = archive.ReadLog();
    if (!log.error.empty()) {
        read.problems.push_back(log.error + ": the roster cannot be checked against the register.");
        return;
    }
    if (log.damaged > 0)
        read.warnings.push_back("the programming log has " + std::to_string(log.damaged) +
                                " damaged line(s): the roster was checked against the register without them");
    const std::vector<RegisterRow> register_ = RegisterNow(log);
    const std::vector<CsvProblem> conflicts = RegisterConflicts(plan.roster, register_);
    for (const CsvProblem& p : conflicts)
        read.problems.push_back(PrintableText(rosterPath) + ": " + CsvProblemText(p, plan.roster.columnNames));
    const std::string assigned = assign.empty() ? std::string() : AssignmentConflict(assign, register_);
    if (!assigned.empty()) read.problems.push_back("The serial number to assign cannot be: " + assigned + ".");
    if ((!conflicts.empty() || !assigned.empty()) && !hint.empty()) read.problems.push_back(hint);
}

// An identity of a row as the question shows it: the value, or that the radio keeps its own.
std::string Given(const char* name, const std::string& value) {
    return std::string(name) + " " + (value.empty() ? "kept" : PrintableText(value));
}

std::string HeldSerialText(const std::string& serial) {
    return serial.empty() ? std::string("a radio without a serial number") : "radio " + PrintableText(serial);
}

// The identities a programmed radio holds, as its line tells them.
std::string HoldsText(const RadioReport& report) {
    const RosterRow& row = *report.row;
    std::string text = "MMSI " + (row.mmsi.empty() ? std::string("kept") : row.mmsi);
    if (!row.atis.empty()) text += ", ATIS 9" + row.atis;
    if (!row.nmea.empty()) text += ", NMEA2000 " + row.nmea;
    return text;
}

// Why the programming of a radio failed, and where what it held is kept.
std::string FailureText(const RadioReport& report, const std::string& restoreHint) {
    if (!report.write) return report.detail;
    const WriteOutcome& w = *report.write;
    if (w.stage == WriteStage::Confirm && w.result == kResultUserCancel) {
        std::string text = "nothing was written: the write would have made changes the roster does not name (";
        for (const IdentityChange& change : w.identities)
            if (!change.confirmed) text += ChangeLine(change) + "; ";
        return text.substr(0, text.size() - 2) + "); another radio put on the port?";
    }
    if (!w.refusal.empty()) return "nothing was written: " + w.refusal;
    // Stopped before its first frame: the radio holds what it held, and there is nothing to restore.
    if (w.result == kResultUserCancel && w.stage < WriteStage::Write)
        return OutcomeText(w) + " Stopped before anything was written: the radio holds what it held.";
    if (w.Ok() && w.readBack) {
        std::string text = ReadBackReport(*w.readBack);
        if (!w.archived.empty())
            text += "\nWhat the radio held before is kept in the radio archive as " + w.archived + "; " + restoreHint;
        return text;
    }
    return WriteFailureText(w.stage, w, restoreHint);
}

// The only identity change a roster does not name that a fleet makes: a radio without a serial
// number taking the one assigned to it.
bool OnlyTheAssignment(const IdentityChanges& changes, const std::string& assigned) {
    return !assigned.empty() && std::all_of(changes.begin(), changes.end(), [&](const IdentityChange& c) {
        return c.confirmed ||
               (c.kind == IdentityKind::Serial && c.held && c.held->empty() && c.next == assigned);
    });
}

bool Programmed(const WriteOutcome& w) {
    return w.Ok() && w.readBack && w.readBack->Ok() && w.readBack->whole && w.readBack->differing.empty();
}

}  // namespace

FleetPlanRead ReadFleetPlan(const std::string& templatePath, const std::string& rosterPath, const std::string& assign,
                            bool allowReuse, const RadioArchive* archive, const std::string& allowReuseHint) {
    FleetPlanRead read;
    FleetPlan plan;
    auto model = std::make_shared<RadioSettings>();
    const bool modelRead = ReadTemplate(templatePath, *model, read.problems);
    ReadRosterOf(rosterPath, ModelTypeOfDocument(*model) != kModelUsa, plan, read);
    if (!assign.empty() && read.problems.empty() && !plan.roster.Find(assign))
        read.problems.push_back("The serial number to assign, " + PrintableText(assign) + ", is not in the roster " +
                                PrintableText(rosterPath) + ".");
    if (read.problems.empty() && archive && !allowReuse)
        CheckAgainstRegister(*archive, rosterPath, assign, allowReuseHint, plan, read);
    if (!read.problems.empty() || !modelRead) return read;
    plan.model = model;
    plan.assign = assign;
    plan.allowReuse = allowReuse;
    plan.templatePath = templatePath;
    plan.templateSha256 = FileSha256(templatePath);
    plan.rosterPath = rosterPath;
    plan.rosterSha256 = FileSha256(rosterPath);
    read.plan = std::move(plan);
    return read;
}

FleetQuestion QuestionOfPlan(const FleetPlan& plan) {
    FleetQuestion q;
    q.title = "Fleet Programming";
    const std::size_t n = plan.roster.rows.size();
    q.text = "Program up to " + std::to_string(n) + (n == 1 ? " radio" : " radios") + " from the template " +
             PrintableText(plan.templatePath) +
             ": its channels and settings, and for each radio the identities its serial number has in the roster " +
             PrintableText(plan.rosterPath) + " (kept: the radio keeps its own).";
    if (!plan.assign.empty())
        q.text += " A radio without a serial number takes " + PrintableText(plan.assign) + ".";
    q.text += " A radio whose serial number is not in the roster is left untouched; any other change of a radio's "
              "identities is refused. Each radio is backed up into the radio archive first and read back after.";
    for (const RosterRow& r : plan.roster.rows)
        q.rows.push_back(PrintableText(r.serial) + "  " + Given("MMSI", r.mmsi) + "  " +
                         Given("ATIS", r.atis.empty() ? r.atis : "9" + r.atis) + "  " + Given("NMEA2000", r.nmea) +
                         (r.name.empty() ? "" : "  " + PrintableText(r.name)));
    q.question = "Program the radios with these identities?";
    return q;
}

std::unique_ptr<RadioSettings> RowDocument(const RadioSettings& model, const RosterRow& row) {
    auto document = std::make_unique<RadioSettings>(model);
    document->mmsiByUser = 0;
    document->atisByUser = 0;
    CopyText(document->mmsiId, row.mmsi.c_str());
    CopyText(document->atisId, row.atis.c_str());
    CopyText(document->nmeaNo, row.nmea.c_str());
    CopyText(document->serialNo, row.serial.c_str());
    return document;
}

bool Untouched(RadioVerdict verdict) {
    return verdict != RadioVerdict::Programmed && verdict != RadioVerdict::Failed;
}

std::string RadioReportText(const RadioReport& report, const std::string& restoreHint) {
    const std::string port = PrintableText(report.port) + ": ";
    if (report.verdict == RadioVerdict::NoRadio) return port + "no radio answered (" + report.detail + ")";
    if (report.verdict == RadioVerdict::Stopped)
        return port + "stopped before its radio was programmed; nothing was written to it";
    std::string radio = port + HeldSerialText(report.serial);
    if (report.row && !report.row->name.empty()) radio += " (" + PrintableText(report.row->name) + ")";
    if (report.row && report.serial != report.row->serial) radio += " as " + PrintableText(report.row->serial);
    switch (report.verdict) {
    case RadioVerdict::Programmed:
        return radio + ": programmed and verified; " + HoldsText(report) +
               (report.write && !report.write->archived.empty() ? "; backup " + report.write->archived : "");
    case RadioVerdict::Failed: return radio + ": FAILED: " + FailureText(report, restoreHint);
    default: return radio + ": untouched: " + report.detail;
    }
}

FleetTicket FleetLedger::Take(const std::string& serial, const std::string& port) {
    std::lock_guard lock(mutex_);
    if (std::string closed = ClosedLocked(); !closed.empty()) return {nullptr, false, RadioVerdict::FilesChanged, closed};
    const bool assigning = serial.empty();
    if (assigning && plan_.assign.empty())
        return {nullptr, false, RadioVerdict::NoSerial, "it holds no serial number, and none is to be assigned"};
    const RosterRow* row = plan_.roster.Find(assigning ? plan_.assign : serial);
    if (!row) return {nullptr, false, RadioVerdict::NotInRoster, "its serial number is not in the roster"};
    const std::string& key = row->serial;
    const std::string whose = assigning ? "the serial number to assign, " + PrintableText(key) + "," : "its serial number";
    const auto held = [&key](const auto& entry) { return entry.first == key; };
    if (const auto busy = std::find_if(busy_.begin(), busy_.end(), held); busy != busy_.end())
        return {nullptr, false, assigning ? RadioVerdict::NoSerial : RadioVerdict::OnAnotherPort,
                "a radio with " + whose + " is being programmed on " + PrintableText(busy->second)};
    if (const auto done = std::find_if(done_.begin(), done_.end(), held); done != done_.end())
        return {nullptr, false, assigning ? RadioVerdict::NoSerial : RadioVerdict::AlreadyDone,
                "a radio with " + whose + " was programmed on " + PrintableText(done->second) +
                    " earlier in this run; two radios must not share it"};
    if (std::string objection = RegisterObjection(*row, assigning); !objection.empty())
        return {nullptr, false, RadioVerdict::InRegister, objection};
    busy_.emplace_back(key, port);
    if (assigning) assignedHere_.push_back(key);
    return {row, assigning, RadioVerdict::Programmed, {}};
}

void FleetLedger::Settle(const FleetTicket& ticket, const RadioReport& report) {
    std::lock_guard lock(mutex_);
    if (ticket.row) {
        std::erase_if(busy_, [&](const auto& entry) { return entry.first == ticket.row->serial; });
        if (report.verdict == RadioVerdict::Programmed) done_.emplace_back(ticket.row->serial, report.port);
    }
    reports_.push_back(report);
}

void FleetLedger::Note(const RadioReport& report) {
    std::lock_guard lock(mutex_);
    reports_.push_back(report);
}

std::string FleetLedger::Closed() {
    std::lock_guard lock(mutex_);
    return ClosedLocked();
}

std::vector<RadioReport> FleetLedger::Reports() const {
    std::lock_guard lock(mutex_);
    return reports_;
}

std::string FleetLedger::ClosedLocked() {
    if (!closed_.empty()) return closed_;
    const std::pair<const std::string*, const std::string*> files[] = {
        {&plan_.templatePath, &plan_.templateSha256}, {&plan_.rosterPath, &plan_.rosterSha256}};
    for (const auto& [path, sha] : files)
        if (!path->empty() && FileSha256(*path) != *sha)
            closed_ = PrintableText(*path) + " changed during the run: no radio was started after; run again to " +
                      "program from it as it is now";
    return closed_;
}

std::string FleetLedger::RegisterObjection(const RosterRow& row, bool assigning) const {
    if (!archive_ || plan_.allowReuse) return {};
    const LogRead log = archive_->ReadLog();
    if (!log.error.empty()) return log.error + ": its row cannot be checked against the register";
    const std::vector<RegisterRow> register_ = RegisterNow(log);
    // A serial number this run tried to assign is in the register by that try: the radio it
    // failed on may come again.
    const bool triedHere = std::find(assignedHere_.begin(), assignedHere_.end(), row.serial) != assignedHere_.end();
    if (assigning && !triedHere)
        if (std::string taken = AssignmentConflict(row.serial, register_); !taken.empty())
            return "the serial number to assign cannot be: " + taken;
    Roster one = plan_.roster;
    one.rows = {row};
    const std::vector<CsvProblem> conflicts = RegisterConflicts(one, register_);
    return conflicts.empty() ? std::string() : "the MMSI or ATIS of its row " + conflicts.front().why;
}

RadioReport ProgramRadio(const FleetPlan& plan, const CloneJob& job, const FleetTicket& ticket,
                         const std::string& heldSerial) {
    RadioReport report;
    report.port = job.portName;
    report.serial = heldSerial;
    report.row = *ticket.row;
    const std::unique_ptr<RadioSettings> document = RowDocument(*plan.model, *ticket.row);
    WriteOptions options;
    options.backUpToArchive = true;
    options.verifyAfter = true;
    options.recheckRadio = true;
    options.logName = ticket.row->name;
    const RadioIdentities given = EncodedIdentities(*document);
    for (const IdentityKind kind : {IdentityKind::Mmsi, IdentityKind::Atis, IdentityKind::Nmea})
        if (!given[kind].empty()) options.confirmed[kind] = given[kind];
    const std::string assigned = ticket.assigning ? ticket.row->serial : std::string();
    options.confirmIdentityChange = [assigned](const IdentityChanges& changes) {
        return OnlyTheAssignment(changes, assigned);
    };
    report.write = RunWrite(job, *document, options);
    report.verdict = Programmed(*report.write) ? RadioVerdict::Programmed : RadioVerdict::Failed;
    return report;
}

}  // namespace orven
