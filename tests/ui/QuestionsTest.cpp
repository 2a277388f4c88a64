// The desktop's own questions, answered from the keyboard: Escape (or closing the question) is
// always the answer that changes nothing, and Enter never takes a destructive one. A refused
// spreadsheet lists its problems in the message itself.
#include "clone/CloneEvent.h"
#include "files/RadioArchive.h"
#include "tests/ui/MainWindowFixture.h"
#include "tests/ui/ModalDriver.h"

#include <QCheckBox>
#include <QPlainTextEdit>

#include <cstring>
#include <functional>

namespace orven::test {
namespace {

class QuestionsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ui::SetPrompts(nullptr);  // the desktop's own message boxes and dialogs
    }
    void TearDown() override { ui::SetPrompts(&prompts); }

    // An opened file with an unsaved change to its serial number.
    std::string OpenEdited() {
        const std::string path = WriteDocument("q.dat", *Defaults(kModelUsa));
        ui::SetPrompts(&prompts);
        Open(path);
        ui::SetPrompts(nullptr);
        TypeInto(*Edit(ids::main::kSerialEdit), "EDITED");
        return path;
    }
    bool Kept() const { return window->isVisible() && Edit(ids::main::kSerialEdit)->text() == "EDITED"; }
};

using Press = ModalDriver;

// Each question, with Escape and with Enter: what the user saw, and that Escape changed nothing
// and Enter took the safe answer (the save question saves; every other keeps things as they are).
TEST_F(QuestionsTest, EscapeChangesNothingAndEnterTakesTheSafeAnswer) {
    std::string archived;
    {
        auto held = Defaults(kModelUsa);
        ArchiveRecord record;
        record.time = "2026-12-07 10:15:30";
        record.sha256 = CloneRangeSha256(RadioImage{});
        std::string error;
        RadioArchive archive(RadioArchive::DefaultFolder());
        ASSERT_TRUE(archive.Store(record, RadioImage{}, held.get(), error));
        archived = archive.List().back().id;
    }
    WriteText(dir.File("one.csv"), "Label,TX MHz,RX MHz\nC3,156.0,156.0\n");
    const QString csv = QString::fromStdString(dir.File("one.csv"));
    const QString wizard = QStringLiteral("Model Wizard Dialog V1.15");
    struct Case {
        const char* what;
        std::function<void()> run;
        std::deque<ModalDriver::Step> escape, enter;
        QStringList seenOnEscape, seenOnEnter;
        std::function<bool()> enterTookSafe;  // after Enter
    };
    // Restore asks inside the archive dialog; once it is answered, the dialog is left.
    const ModalDriver::Step restoreThenLeave = [](QWidget& dialog) {
        test::Click(dialog, ids::archive::kRestore);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    };
    std::string path;
    const Case cases[] = {
        {"closing", [&] { window->close(); }, {Press::Press(Qt::Key_Escape)}, {Press::Press(Qt::Key_Return)},
         {"WARNING"}, {"WARNING"},
         [&] { return !window->isVisible() && ReadText(path).find("EDITED") != std::string::npos; }},
        {"Open", [&] { Trigger(ids::menu::kOpen); }, {Press::Press(Qt::Key_Escape)},
         {Press::Press(Qt::Key_Return), Press::Press(Qt::Key_Escape)}, {"WARNING"}, {"WARNING", "Open"},
         [&] { return ReadText(path).find("EDITED") != std::string::npos; }},
        {"Read", [&] { Click(ids::main::kReadButton); }, {Press::Press(Qt::Key_Escape)}, {},
         {"WARNING"}, {}, nullptr},
        {"Load Default", [&] { Trigger(ids::menu::kLoadDefault); },
         {Press::Press(Qt::Key_Escape)}, {Press::Press(Qt::Key_Return), Press::Press(Qt::Key_Escape)},
         {wizard}, {wizard, "WARNING"}, [&] { return Kept(); }},
        {"Import Channels' Replace or Append", [&] { Trigger(ids::menu::kImportChannels); },
         {Press::ChooseFile(csv), Press::Press(Qt::Key_Escape)}, {Press::ChooseFile(csv), Press::Press(Qt::Key_Return)},
         {"Import Channels: private channels from a spreadsheet", "Import Channels"},
         {"Import Channels: private channels from a spreadsheet", "Import Channels"},
         [&] { return state.modified == 1 && PrivateChannelCount(window->Settings()) == 0; }},
        {"the archive's Restore",
         [&] { Trigger(ids::menu::kRadioArchive); },
         {restoreThenLeave, Press::Press(Qt::Key_Escape)}, {restoreThenLeave, Press::Press(Qt::Key_Return)},
         {"Radio Archive", "Restore"}, {"Radio Archive", "Restore"}, [] { return !CloneBusyEvent.IsSet(); }},
        {"the identity warnings before a write",
         [&] {
             Find<QCheckBox>(ids::main::kMmsiByUser)->setChecked(false);
             TypeInto(*Edit(ids::main::kMmsiEdit), "970123456");  // an AIS-SART number: a warning
             Click(ids::main::kWriteButton);
         },
         {Press::Press(Qt::Key_Escape)}, {Press::Press(Qt::Key_Return)}, {"Identity Warnings"}, {"Identity Warnings"},
         [] { return !CloneBusyEvent.IsSet(); }},
    };
    for (const Case& c : cases) {
        for (const bool enter : {false, true}) {
            if (enter && !c.enterTookSafe) continue;
            SCOPED_TRACE(std::string(c.what) + (enter ? ", Enter" : ", Escape"));
            Start(FreshAppState());
            path = OpenEdited();
            const auto before = ReadBytes(path);
            ModalDriver driver(enter ? c.enter : c.escape);
            c.run();
            EXPECT_EQ(driver.seen, enter ? c.seenOnEnter : c.seenOnEscape);
            EXPECT_FALSE(CloneBusyEvent.IsSet());
            if (enter) {
                EXPECT_TRUE(c.enterTookSafe());
                continue;
            }
            EXPECT_TRUE(Kept());
            EXPECT_EQ(ReadBytes(path), before);
            EXPECT_EQ(window->windowTitle(), "/q.dat* - VOROZUDE V1.15");
        }
    }
}

// A spreadsheet the import refuses: the message lists every problem beneath its text, in a box the
// user can scroll and copy from, without a button to press first.
TEST_F(QuestionsTest, TheProblemsOfARefusedSpreadsheetAreListedInTheMessage) {
    WriteText(dir.File("bad.csv"), "Label,TX MHz,RX MHz\nF2,156.003,156.0\nF3,156.0,999\n");
    QStringList listed;
    ModalDriver driver({Press::ChooseFile(QString::fromStdString(dir.File("bad.csv"))), Press::Choose("Replace"),
                        [&](QWidget& message) {
                            for (const QPlainTextEdit* list : message.findChildren<QPlainTextEdit*>())
                                if (list->isVisible()) listed = list->toPlainText().split('\n');
                            QTest::keyClick(&message, Qt::Key_Return);
                        }});
    Trigger(ids::menu::kImportChannels);
    EXPECT_EQ(driver.seen.size(), 3);
    ASSERT_EQ(listed.size(), 2) << listed.join('|').toStdString();
    EXPECT_TRUE(listed[0].startsWith("line 2, column 2 (TX MHz): "));
    EXPECT_TRUE(listed[1].startsWith("line 3, column 3 (RX MHz): "));
    EXPECT_EQ(state.modified, 0u);
}

}  // namespace
}  // namespace orven::test
