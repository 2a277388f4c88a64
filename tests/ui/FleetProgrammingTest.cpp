// Tools > Fleet Programming against simulated radios on pseudo-terminals, the COM ports of the
// window pointing at them.
#include "clone/CloneEvent.h"
#include "files/Paths.h"
#include "files/ProgrammingRegister.h"
#include "files/RadioArchive.h"
#include "model/RadioIdentities.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedRadioPty.h"
#include "tests/support/ProgrammingLog.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/FleetProgrammingDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>

#include <fstream>
#include <memory>

namespace orven::test {
namespace {

using ui::FleetProgrammingDlg;
constexpr int kRunMs = 60000;

class FleetWindow : public MainWindowTest {
protected:
    void SetUp() override {
        AppState fast = FreshAppState();
        fast.fastTransfer = 1;
        Start(fast);
        ASSERT_NO_FATAL_FAILURE(Radios({"S1", "S2"}));
        WriteDocument("t.dat", *EuropeanDocument());
    }
    // A radio holding new-radio memory with this serial number on each of COM1, COM2, ...
    void Radios(const std::vector<std::string>& serials) {
        for (const std::string& serial : serials) {
            auto& pty = ptys.emplace_back(std::make_unique<SimulatedRadioPty>());
            pty->WithRadio([&](SimulatedRadio& r) { FillNewRadioMemory(r.Memory(), serial); });
            ASSERT_TRUE(pty->Start());
            const int n = static_cast<int>(ptys.size());
            std::filesystem::remove(ports.Entry(n));
            ports.Link(n, pty->DevicePath());
        }
    }
    std::string Held(std::size_t i, IdentityKind kind) {
        return IdentitiesInImage(ptys[i]->WithRadio([](SimulatedRadio& r) { return r.Memory(); }))[kind];
    }
    std::string Mmsi(std::size_t i) { return Held(i, IdentityKind::Mmsi); }
    std::size_t Frames(std::size_t i) { return ptys[i]->WithRadio([](SimulatedRadio& r) { return r.Log().size(); }); }

    // Fills the dialog in as a user would: the template by its file dialog, the roster typed, the
    // ports ticked by name.
    static void Choose(QDialog& d, const std::string& templatePath, const std::string& rosterPath,
                       const QStringList& ticked, bool once, ScriptedPrompts& prompts) {
        prompts.openNames.push_back(QString::fromStdString(templatePath));
        test::Click(d, ids::fleet::kTemplateBrowse);
        TypeInto(Control<QLineEdit>(d, ids::fleet::kRosterEdit), QString::fromStdString(rosterPath));
        auto& list = Control<QListWidget>(d, ids::fleet::kPortList);
        for (int i = 0; i < list.count(); ++i)
            list.item(i)->setCheckState(ticked.contains(list.item(i)->text()) ? Qt::Checked : Qt::Unchecked);
        Control<QCheckBox>(d, ids::fleet::kOnce).setChecked(once);
    }
    // Each row of the table: its cells joined with "|".
    static QStringList Table(QDialog& d) {
        auto& table = Control<QTableWidget>(d, ids::fleet::kPortTable);
        QStringList rows;
        for (int r = 0; r < table.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table.columnCount(); ++c) cells << table.item(r, c)->text();
            rows << cells.join('|');
        }
        return rows;
    }
    static bool Running(QDialog& d) { return dynamic_cast<FleetProgrammingDlg&>(d).Running(); }
    // Start, answered by the prompts, and the run to its end.
    static void StartAndWait(QDialog& d) {
        test::Click(d, ids::fleet::kStart);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !Running(d); }, kRunMs));
    }
    QString Text(QDialog& d, int id) { return Control<QPlainTextEdit>(d, id).toPlainText(); }

    std::vector<std::unique_ptr<SimulatedRadioPty>> ptys;
};

// Two radios in one run: one question for both, each row programmed, each radio
// holding its own MMSI, and the register listing both.
TEST_F(FleetWindow, ProgramsTwoRadiosAndRegistersBoth) {
    WriteText(dir.File("roster.csv"), "Serial,MMSI,Name\nS1,211000001,Heron\nS2,211000002,Otter\n");
    QStringList table;
    QString reports;
    prompts.answers.push_back(true);
    prompts.dialogScript.push_back([&](QDialog& d) {
        Choose(d, dir.File("t.dat"), dir.File("roster.csv"), {"COM1", "COM2"}, true, prompts);
        StartAndWait(d);
        table = Table(d);
        reports = Text(d, ids::fleet::kReports);
        return QDialog::Rejected;
    });
    Trigger(ids::menu::kFleetProgramming);

    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_TRUE(prompts.questions[0].text.contains("Heron") && prompts.questions[0].text.contains("Otter"))
        << prompts.questions[0].text.toStdString();
    EXPECT_EQ(table, QStringList({"COM1|Heron|S1|Ended|programmed", "COM2|Otter|S2|Ended|programmed"}));
    EXPECT_TRUE(reports.contains("COM1: radio S1 (Heron): programmed and verified; MMSI 211000001")) << reports.toStdString();
    EXPECT_TRUE(reports.contains("COM2: radio S2 (Otter): programmed and verified; MMSI 211000002")) << reports.toStdString();
    EXPECT_EQ(Mmsi(0), "211000001");
    EXPECT_EQ(Mmsi(1), "211000002");

    const std::vector<RegisterRow> listed = RegisterNow(RadioArchive(RadioArchive::DefaultFolder()).ReadLog());
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].serial + " " + listed[0].mmsi + " " + listed[0].name, "S1 211000001 Heron");
    EXPECT_EQ(listed[1].serial + " " + listed[1].mmsi + " " + listed[1].name, "S2 211000002 Otter");
}

// A roster the core refuses shows its reasons by line and column and asks nothing; a run nobody
// confirmed and a run without ports do not start either. No radio hears a frame.
TEST_F(FleetWindow, ARefusedRosterOrRunTouchesNoRadio) {
    WriteText(dir.File("bad.csv"), "Serial,MMSI\nS1,211000001\nS2,211000001\n");
    WriteText(dir.File("good.csv"), "Serial,MMSI\nS1,211000001\nS2,211000002\n");
    QString problems, unchosen;
    QStringList table;
    prompts.dialogScript.push_back([&](QDialog& d) {
        test::Click(d, ids::fleet::kStart);
        unchosen = Text(d, ids::fleet::kProblems);
        Choose(d, dir.File("t.dat"), dir.File("bad.csv"), {"COM1", "COM2"}, true, prompts);
        test::Click(d, ids::fleet::kStart);
        problems = Text(d, ids::fleet::kProblems);
        EXPECT_TRUE(prompts.questions.empty());
        Choose(d, dir.File("t.dat"), dir.File("good.csv"), {"COM1", "COM2"}, true, prompts);
        test::Click(d, ids::fleet::kStart);  // answered No
        EXPECT_EQ(prompts.questions.size(), 1u);
        Choose(d, dir.File("t.dat"), dir.File("good.csv"), {}, true, prompts);
        test::Click(d, ids::fleet::kStart);
        EXPECT_FALSE(Running(d));
        table = Table(d);
        return QDialog::Rejected;
    });
    Trigger(ids::menu::kFleetProgramming);
    EXPECT_EQ(unchosen, "Choose the template: the settings file whose channels and settings every radio takes.\n"
                        "Choose the roster: the CSV that gives each serial number its identities.");
    EXPECT_TRUE(problems.contains("bad.csv: line 3, column 2 (MMSI): is the MMSI of line 2")) << problems.toStdString();
    EXPECT_EQ(prompts.MessageTexts(), QStringList({"Tick the ports the radios are on."}));
    EXPECT_TRUE(table.isEmpty());
    QTest::qWait(200);  // a frame sent would have reached the radio by now
    EXPECT_EQ(Frames(0) + Frames(1), 0u);
}

// Ports wait for their next radio until stopped: closing asks first, No keeps them running, Yes
// ends every port and then the dialog.
TEST_F(FleetWindow, ClosingWhileRunningAsksAndStopsEveryPort) {
    WriteText(dir.File("roster.csv"), "Serial,MMSI\nS1,211000001\nS2,211000002\n");
    QStringList table;
    bool keptRunning = false;
    prompts.answers = {true, false, true};
    prompts.dialogScript.push_back([&](QDialog& d) {
        Choose(d, dir.File("t.dat"), dir.File("roster.csv"), {"COM1", "COM2"}, false, prompts);
        test::Click(d, ids::fleet::kStart);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Table(d).filter("|programmed").size() == 2; }, kRunMs)) << Table(d).join('\n').toStdString();
        d.reject();  // No
        QTest::qWait(100);
        keptRunning = Running(d);
        d.reject();  // Yes
        EXPECT_TRUE(QTest::qWaitFor([&] { return !Running(d); }, kRunMs));
        table = Table(d);
        return QDialog::Rejected;
    });
    Trigger(ids::menu::kFleetProgramming);
    ASSERT_EQ(prompts.questions.size(), 3u);
    EXPECT_TRUE(prompts.questions[1].text.contains("Stop every port")) << prompts.questions[1].text.toStdString();
    EXPECT_TRUE(keptRunning);
    EXPECT_EQ(table, QStringList({"COM1||S1|Ended|programmed", "COM2||S2|Ended|programmed"}));
    EXPECT_EQ(Mmsi(0), "211000001");
    EXPECT_EQ(Mmsi(1), "211000002");
}

// A radio without a serial number takes the one typed under Assign, with its row's identities. An
// MMSI the register gives another radio is refused, naming the box that allows it, until it is ticked.
TEST_F(FleetWindow, AssignsASerialAndReusesAnMmsiOnlyWhenTold) {
    ASSERT_NO_FATAL_FAILURE(Radios({""}));  // COM3
    WriteText(dir.File("roster.csv"), "Serial,MMSI\nS1,211000001\nS9,211000009\n");
    WriteText(dir.File("resold.csv"), "Serial,MMSI\nS2,211000001\n");
    QString refused;
    prompts.answers = {true, true};
    prompts.dialogScript.push_back([&](QDialog& d) {
        Choose(d, dir.File("t.dat"), dir.File("roster.csv"), {"COM1", "COM3"}, true, prompts);
        TypeInto(Control<QLineEdit>(d, ids::fleet::kAssignEdit), "S9");
        StartAndWait(d);
        Choose(d, dir.File("t.dat"), dir.File("resold.csv"), {"COM2"}, true, prompts);
        TypeInto(Control<QLineEdit>(d, ids::fleet::kAssignEdit), "");
        test::Click(d, ids::fleet::kStart);
        refused = Text(d, ids::fleet::kProblems);
        Control<QCheckBox>(d, ids::fleet::kAllowReuse).setChecked(true);
        StartAndWait(d);
        return QDialog::Rejected;
    });
    Trigger(ids::menu::kFleetProgramming);
    EXPECT_EQ(Held(2, IdentityKind::Serial) + " " + Mmsi(2), "S9 211000009");
    EXPECT_EQ(Mmsi(0), "211000001");
    EXPECT_TRUE(refused.contains("tick \"Allow identities the register gives another radio\"")) << refused.toStdString();
    EXPECT_EQ(prompts.questions.size(), 2u);
    EXPECT_EQ(Mmsi(1), "211000001");
}

// A ticked port that can no longer be opened says why in its row, not only that it waits.
TEST_F(FleetWindow, APortThatCannotBeOpenedSaysWhyInItsRow) {
    WriteText(dir.File("roster.csv"), "Serial,MMSI\nS1,211000001\nS2,211000002\n");
    prompts.answers = {true};
    QString row;
    prompts.dialogScript.push_back([&](QDialog& d) {
        Choose(d, dir.File("t.dat"), dir.File("roster.csv"), {"COM2"}, false, prompts);
        ports.MakeAbsent(2);  // the adaptor pulled after the dialog listed it
        test::Click(d, ids::fleet::kStart);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Table(d).value(0).contains("Open Comp Port Error."); }, kRunMs));
        row = Table(d).value(0);
        test::Click(d, ids::fleet::kStop);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !Running(d); }, kRunMs));
        return QDialog::Rejected;
    });
    Trigger(ids::menu::kFleetProgramming);
    EXPECT_TRUE(row.startsWith("COM2|||Waiting for a radio: Open Comp Port Error. (")) << row.toStdString();
}

// A run that ends while the closing question waits: Yes still closes, at once.
TEST_F(FleetWindow, YesClosesEvenWhenTheRunEndedWhileTheQuestionWaited) {
    WriteText(dir.File("roster.csv"), "Serial,MMSI\nS1,211000001\nS2,211000002\n");
    prompts.answers = {true, true};
    int result = -1;
    prompts.dialogScript.push_back([&](QDialog& d) {
        Choose(d, dir.File("t.dat"), dir.File("roster.csv"), {"COM1", "COM2"}, true, prompts);
        test::Click(d, ids::fleet::kStart);
        EXPECT_TRUE(Running(d));
        prompts.statusProbe = [&] {  // the user reads the question while both radios finish
            EXPECT_TRUE(QTest::qWaitFor([&] { return !Running(d); }, kRunMs));
            return QString();
        };
        d.setResult(-1);
        d.reject();  // Yes
        prompts.statusProbe = nullptr;
        result = d.result();
        return QDialog::Rejected;
    });
    Trigger(ids::menu::kFleetProgramming);
    ASSERT_EQ(prompts.questions.size(), 2u);
    EXPECT_EQ(result, QDialog::Rejected) << "the dialog was left open";
}

// Closing while radios are being written stops them; before the dialog and its table go, the user
// is told which radios were left unfinished and which archive entry restores each.
TEST_F(FleetWindow, ClosingDuringAWriteNamesEachUnfinishedRadioAndItsBackup) {
    for (auto& pty : ptys) pty->WithRadio([](SimulatedRadio& r) { r.Faults().baud = 9600; });
    WriteText(dir.File("roster.csv"), "Serial,MMSI,Name\nS1,211000001,Heron\nS2,211000002,Otter\n");
    prompts.answers = {true, true};
    bool closed = false;
    prompts.dialogScript.push_back([&](QDialog& d) {
        Choose(d, dir.File("t.dat"), dir.File("roster.csv"), {"COM1", "COM2"}, true, prompts);
        test::Click(d, ids::fleet::kStart);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Table(d).filter("|Writing").size() == 2; }, kRunMs))
            << Table(d).join('\n').toStdString();
        d.reject();  // Yes
        closed = QTest::qWaitFor([&] { return !Running(d); }, kRunMs);
        return QDialog::Rejected;
    });
    Trigger(ids::menu::kFleetProgramming);

    EXPECT_TRUE(closed);
    const RadioArchive archive(RadioArchive::DefaultFolder());
    ASSERT_EQ(prompts.messages.size(), 1u) << prompts.MessageTexts().join('\n').toStdString();
    const QString told = prompts.messages[0].text;
    EXPECT_TRUE(told.startsWith("Every port has stopped. These radios were not programmed whole:")) << told.toStdString();
    for (const char* radio : {"COM1: radio S1 (Heron): FAILED: ", "COM2: radio S2 (Otter): FAILED: "})
        EXPECT_TRUE(told.contains(radio)) << told.toStdString();
    int backups = 0;
    for (const ArchiveEntry& entry : archive.List()) {
        if (entry.record.operation != "backup") continue;
        ++backups;
        EXPECT_TRUE(told.contains(QString::fromStdString("kept in the radio archive as " + entry.id + "; choose its port")))
            << told.toStdString();
    }
    EXPECT_EQ(backups, 2);
}

// A radio whose write is cut off midway: its report keeps the core's line breaks and names the
// backup entry; restoring that entry from File > Radio Archive on its port brings the radio back.
TEST_F(FleetWindow, ACutOffRadioIsRestoredFromTheArchiveAsItsReportSays) {
    constexpr std::uint32_t kIntoTheWrite = 4 + 79 + 4 + 30;  // look, backup, look again, then 30 frames
    ptys[1]->WithRadio([&](SimulatedRadio& r) { r.Faults().silentAfterFrames = kIntoTheWrite; });
    const RadioImage before = ptys[1]->WithRadio([](SimulatedRadio& r) { return r.Memory(); });
    WriteText(dir.File("roster.csv"), "Serial,MMSI,Name\nS1,211000001,Heron\nS2,,Otter\n");
    QString reports;
    prompts.answers.push_back(true);
    prompts.dialogScript.push_back([&](QDialog& d) {
        Choose(d, dir.File("t.dat"), dir.File("roster.csv"), {"COM1", "COM2"}, true, prompts);
        StartAndWait(d);
        reports = Text(d, ids::fleet::kReports);
        return QDialog::Rejected;
    });
    Trigger(ids::menu::kFleetProgramming);

    const RadioArchive archive(RadioArchive::DefaultFolder());
    std::string backup;
    for (const ArchiveEntry& entry : archive.List())
        if (entry.record.serial == "S2" && entry.record.operation == "backup") backup = entry.id;
    ASSERT_FALSE(backup.empty());
    EXPECT_TRUE(reports.contains(QString::fromStdString(
        "COM2: radio S2 (Otter): FAILED: Radio is not detected!\n\nWhat the radio held before is kept in the radio "
        "archive as " + backup + "; choose its port in the main window, then restore it from File > Radio Archive")))
        << reports.toStdString();
    EXPECT_FALSE(reports.contains("\\x0a")) << reports.toStdString();
    ASSERT_NE(ptys[1]->WithRadio([](SimulatedRadio& r) { return r.Memory(); }), before) << "half-written";

    ptys[1]->WithRadio([](SimulatedRadio& r) { r.Faults().silentAfterFrames.reset(); });
    Combo(ids::main::kPortCombo)->setCurrentIndex(2);  // COM2
    prompts.answers = {true};
    prompts.dialogScript.push_back([&](QDialog& d) {
        QTreeWidget& list = Control<QTreeWidget>(d, ids::archive::kEntryList);
        for (int i = 0; i < list.topLevelItemCount(); ++i)
            if (list.topLevelItem(i)->toolTip(0) == QString::fromStdString(backup)) list.setCurrentItem(list.topLevelItem(i));
        test::Click(d, ids::archive::kRestore);
        return d.result();
    });
    Trigger(ids::menu::kRadioArchive);
    EXPECT_TRUE(QTest::qWaitFor([] { return !CloneBusyEvent.IsSet(); }, kRunMs));
    const QString status = MainWindowTest::Text(ids::main::kStatusText);
    EXPECT_TRUE(status.startsWith("Restore OK. Verify OK.")) << status.toStdString();
    EXPECT_EQ(ptys[1]->WithRadio([](SimulatedRadio& r) { return r.Memory(); }), before);
}

// The captions take the keyboard to their fields; while a run goes on nothing can change what it
// was started with, Browse included.
TEST_F(FleetWindow, CaptionsReachTheirFieldsAndARunLocksTheFiles) {
    WriteText(dir.File("roster.csv"), "Serial,MMSI\nS1,211000001\nS2,211000002\n");
    QStringList captions;
    QString afterAltR, afterAltT;  // the names of the controls that had the focus
    bool browseDuringRun = true;
    prompts.answers = {true, true};
    prompts.dialogScript.push_back([&](QDialog& d) {
        d.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&d));
        d.activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &d; }));
        for (const QLabel* label : d.findChildren<QLabel*>())
            if (label->buddy()) captions << label->text();
        QTest::keyClick(&d, Qt::Key_R, Qt::AltModifier);
        afterAltR = QApplication::focusWidget()->objectName();
        QTest::keyClick(&d, Qt::Key_T, Qt::AltModifier);
        afterAltT = QApplication::focusWidget()->objectName();
        Choose(d, dir.File("t.dat"), dir.File("roster.csv"), {"COM1", "COM2"}, false, prompts);
        test::Click(d, ids::fleet::kStart);
        EXPECT_TRUE(Running(d));
        browseDuringRun = Control<QPushButton>(d, ids::fleet::kTemplateBrowse).isEnabled() ||
                          Control<QPushButton>(d, ids::fleet::kRosterBrowse).isEnabled();
        d.reject();  // Yes: stop every port
        EXPECT_TRUE(QTest::qWaitFor([&] { return !Running(d); }, kRunMs));
        EXPECT_TRUE(Control<QPushButton>(d, ids::fleet::kTemplateBrowse).isEnabled());
        return QDialog::Rejected;
    });
    Trigger(ids::menu::kFleetProgramming);
    EXPECT_TRUE(captions.contains("&Template:") && captions.contains("&Roster:")) << captions.join('|').toStdString();
    EXPECT_EQ(afterAltR, ui::IdName(ids::fleet::kRosterEdit));
    EXPECT_EQ(afterAltT, ui::IdName(ids::fleet::kTemplateEdit));
    EXPECT_FALSE(browseDuringRun);
}

// Save Register never lands in the archive (saved over the log it would erase what it lists), says
// why a save failed, and says where a good one went.
TEST_F(FleetWindow, SaveRegisterKeepsOutOfTheArchiveAndNamesWhatWentWrong) {
    const RadioArchive archive(RadioArchive::DefaultFolder());
    ASSERT_TRUE(LogWrite(archive, "S1", "211000001"));
    const std::string log = JoinPath(archive.Folder(), kProgrammingLogName);
    const std::string logBefore = ReadText(log);
    const std::string good = dir.File("register.csv");
    prompts.saveNames = {QString::fromStdString(log), QString::fromStdString(dir.path()), QString::fromStdString(good)};
    QString note;
    prompts.dialogScript.push_back([&](QDialog& d) {
        for (int i = 0; i < 3; ++i) test::Click(d, ids::archive::kSaveRegister);
        note = Control<QLabel>(d, ids::archive::kEntryNote).text();
        return QDialog::Rejected;
    });
    Trigger(ids::menu::kRadioArchive);

    EXPECT_EQ(ReadText(log), logBefore);
    const QStringList said = prompts.MessageTexts();
    ASSERT_EQ(said.size(), 2) << said.join("\n---\n").toStdString();
    EXPECT_TRUE(said[0].startsWith(QString::fromStdString(log + ": lies in the radio archive"))) << said[0].toStdString();
    EXPECT_EQ(said[1], QString::fromStdString("Can't Create file:\n" + dir.path() + "\n(" + dir.path() + " is a folder)"));
    EXPECT_EQ(ReadText(good), "Serial,MMSI,ATIS,NMEA2000,Name,Time,Operation,Port,Result,Read-back,Backup\r\n"
                              "S1,211000001,,,,2026-12-07 10:00:00,write,,Write OK.,,\r\n");
    EXPECT_EQ(note, QString::fromStdString("The register of 1 radio(s) was saved to " + good + "."));

    // A line of the log that cannot be read is missing from the register, and the user is told.
    {
        std::ofstream append(log, std::ios::app);
        append << "{\"time\": \"2026-12-07 11:00:00\", \"operation\": \"wri\n";
    }
    prompts.saveNames = {QString::fromStdString(good)};
    prompts.dialogScript.push_back([&](QDialog& d) {
        test::Click(d, ids::archive::kSaveRegister);
        note = Control<QLabel>(d, ids::archive::kEntryNote).text();
        return QDialog::Rejected;
    });
    Trigger(ids::menu::kRadioArchive);
    EXPECT_EQ(note, QString::fromStdString("The register of 1 radio(s) was saved to " + good +
                                           ". 1 damaged line(s) of the log left out."));
}

}  // namespace
}  // namespace orven::test
