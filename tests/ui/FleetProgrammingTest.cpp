// Tools > Fleet Programming against simulated radios on pseudo-terminals, the COM ports of the
// window pointing at them.
#include "files/ProgrammingRegister.h"
#include "files/RadioArchive.h"
#include "model/RadioIdentities.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedRadioPty.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/FleetProgrammingDlg.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableWidget>

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
    std::string Mmsi(std::size_t i) {
        return IdentitiesInImage(ptys[i]->WithRadio([](SimulatedRadio& r) { return r.Memory(); }))[IdentityKind::Mmsi];
    }
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
        test::Click(d, ids::fleet::kStart);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !Running(d); }, kRunMs));
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
    QString problems;
    QStringList table;
    prompts.dialogScript.push_back([&](QDialog& d) {
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

}  // namespace
}  // namespace orven::test
