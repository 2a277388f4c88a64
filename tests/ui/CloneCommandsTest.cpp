// The clone commands of the main window, end to end against a simulated radio on USB.
#include "clone/CloneEvent.h"
#include "files/RadioArchive.h"
#include "model/ImageCodec.h"
#include "model/MarineIdentity.h"
#include "model/RadioIdentities.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedHidBackend.h"
#include "tests/support/ProgrammingLog.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/CloneCommandController.h"
#include "ui/ConnectionCheckDlg.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QTime>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <map>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>

namespace orven::test {
namespace {

using namespace std::chrono_literals;

// Short waits so that a failing exchange ends quickly; a USB report may take up to 200 ms.
constexpr CloneTiming kTestTiming{2ms, 5, 200ms, false};
constexpr std::uint32_t kWriteChunks = 77;  // 0x0100..0x06FF in blocks of 20 bytes

class CloneCommandsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        backend = std::make_shared<SimulatedHidBackend>();
        backend->WithRadio([](SimulatedRadio& r) { FillDemoMemory(r.Memory()); });
        radio.SetBackend(backend);
        window->SetUsbDevice(radio);
        window->CloneCommands().SetTiming(kTestTiming);
        Combo(ids::main::kPortCombo)->setCurrentIndex(0);  // USB
    }
    void TearDown() override { EXPECT_TRUE(WaitUntilIdle()) << "a clone was left running"; }

    // Lets the GUI thread run until the worker has reported its end.
    static bool WaitUntilIdle(std::chrono::milliseconds limit = 20s) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (CloneBusyEvent.IsSet() && std::chrono::steady_clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return !CloneBusyEvent.IsSet();
    }
    // Chooses a clone control, a button or a menu item.
    void Choose(int id) {
        if (id == ids::main::kWriteButton || id == ids::main::kReadButton) Click(id);
        else Trigger(id);
    }
    // Chooses it (the messages before it forgotten) and waits for the command's end.
    bool Run(int id) {
        prompts.messages.clear();
        return Choose(id), WaitUntilIdle();
    }

    // Each USB report takes this long, so that an exchange lasts long enough to look at it.
    void SlowRadio(std::chrono::milliseconds ms = 10ms) {
        backend->WithRadio([ms](SimulatedRadio& r) { r.Faults().usbLatency = ms; });
    }
    // The status line's result; a second line may name the archive entry of a write's backup.
    QString Status() const { return Text(ids::main::kStatusText).section('\n', 0, 0); }
    // The newest entry of the radio archive that an operation made ("backup", "read", ...).
    static std::string NewestEntry(const char* operation) {
        const std::vector<ArchiveEntry> entries = RadioArchive(RadioArchive::DefaultFolder()).List();
        const auto found = std::find_if(entries.rbegin(), entries.rend(),
                                        [&](const ArchiveEntry& e) { return e.record.operation == operation; });
        return found == entries.rend() ? std::string() : found->id;
    }
    // The "entry by user" boxes start ticked in the defaults.
    void EntryNotByUser() {
        for (int id : {ids::main::kMmsiByUser, ids::main::kAtisByUser}) Find<QAbstractButton>(id)->setChecked(false);
    }
    SimCounters RadioCounts() { return backend->WithRadio([](SimulatedRadio& r) { return r.Counters(); }); }
    void ExpectOnlyMessage(const char* title, const QString& text, ui::PromptIcon icon = ui::PromptIcon::Warning) {
        ASSERT_EQ(prompts.messages.size(), 1u) << ::testing::PrintToString(prompts.MessageTexts());
        EXPECT_EQ(prompts.messages[0].title, QString::fromLatin1(title));
        EXPECT_EQ(prompts.messages[0].text, text);
        EXPECT_EQ(prompts.messages[0].icon, icon);
    }
    // Answers the next identity question: types each value it asks for again (by the edit's id),
    // first one character off (OK stays closed), then right, ticks each removal or model change,
    // and presses OK. Keeps what the question showed.
    void ConfirmTyping(const std::map<int, QString>& again) {
        prompts.dialogScript.push_back([=, this](QDialog& dialog) {
            confirmShown = LabelsOf(dialog);
            EXPECT_EQ(dialog.findChildren<QLineEdit*>().size(), static_cast<qsizetype>(again.size()));
            for (const auto& [id, value] : again) {
                auto* edit = ui::FindById<QLineEdit>(&dialog, id);
                if (!edit) {
                    ADD_FAILURE() << "the question does not ask for " << id;
                    continue;
                }
                TypeInto(*edit, value.left(value.size() - 1) + (value.endsWith('0') ? "1" : "0"));
                EXPECT_FALSE(Control<QPushButton>(dialog, ids::kOk).isEnabled()) << "a value one character off";
                TypeInto(*edit, value);
            }
            for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) box->setChecked(true);
            return PressOk(dialog);
        });
    }
    // The texts of the identity question but its introduction.
    static QStringList LabelsOf(const QDialog& dialog) {
        QStringList texts;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
        return texts.mid(1);
    }
    bool DocumentIs(const RadioSettings& s) const { return std::memcmp(&s, &window->Settings(), sizeof s) == 0; }
    QString InDir(const char* name) const { return QString::fromStdString(dir.File(name)); }

    std::shared_ptr<SimulatedHidBackend> backend;
    CHidDevice radio{kUsbVendorId, kUsbProductId};
    QStringList confirmShown;
};

// Read replaces the document (trace and dump files it cannot write are named, its result stands),
// Write sends the controls back and reads the radio back when asked, Verify reports differences.
TEST_F(CloneCommandsTest, ReadReplacesTheDocumentWriteSendsTheControlsBackVerifyShowsDifferences) {
    state.traceLog = state.dumpImages = 1;
    for (const char* name : {"CommLogo.bin", "ReadRom.bin"}) std::filesystem::create_directory(dir.File(name));
    ASSERT_TRUE(Run(ids::main::kReadButton));
    EXPECT_EQ(Status(), "Read OK.");
    EXPECT_EQ(state.modified, 1u);
    EXPECT_EQ(Edit(ids::main::kSerialEdit)->text(), kDemoSerial);
    ExpectOnlyMessage("Trace and Dump Files", "These files the user options ask for could not be written:\n" +
                                                  InDir("CommLogo.bin") + "\n" + InDir("ReadRom.bin"));

    state.traceLog = state.dumpImages = 0;
    EntryNotByUser();
    Edit(ids::main::kMmsiEdit)->setText("211234569");
    Edit(ids::main::kNmeaEdit)->setText("654321");
    window->MarkModified();
    Trigger(ids::menu::kVerifyAfterWrite);
    ConfirmTyping({{ids::confirm::kMmsiAgain, "211234569"}, {ids::confirm::kNmeaAgain, "654321"}});
    const std::uint32_t framesBefore = RadioCounts().frames;
    // The bar names each step of the write: "Backing up 40%".
    QProgressBar* bar = Find<QProgressBar>(ids::main::kProgressBar);
    QStringList steps;
    const auto watching = QObject::connect(bar, &QProgressBar::valueChanged, bar, [&] {
        const QString step = bar->text().section(' ', 0, -2);
        if (bar->isTextVisible() && bar->text().endsWith('%') && !steps.contains(step)) steps << step;
    });
    ASSERT_TRUE(Run(ids::main::kWriteButton));
    QObject::disconnect(watching);
    EXPECT_EQ(steps, QStringList({"Backing up", "Checking identities", "Writing", "Reading back"}));
    EXPECT_FALSE(bar->isTextVisible()) << "no step once the write has ended";
    const std::string backup = NewestEntry("backup");
    EXPECT_EQ(Text(ids::main::kStatusText), QString::fromStdString("Write OK. Verify OK.\nBackup: " + backup));
    // The entry's name shows whole, also at the window's smallest.
    window->resize(window->minimumSize());
    QCoreApplication::processEvents();
    EXPECT_EQ(Find<ui::ElidedLabel>(ids::main::kStatusText)->ShownLines().value(1),
              QString::fromStdString("Backup: " + backup));
    EXPECT_EQ(RadioCounts().frames - framesBefore, 2u + kWriteChunks + 4u + 1u + kWriteChunks + 2u + kWriteChunks)
        << "the backup, its identities again after the question, the write, then the read-back";
    Edit(ids::main::kMmsiEdit)->setText("");
    Edit(ids::main::kNmeaEdit)->setText("");
    ASSERT_TRUE(Run(ids::main::kReadButton));
    EXPECT_EQ(Edit(ids::main::kMmsiEdit)->text(), "211234569");
    EXPECT_EQ(Edit(ids::main::kNmeaEdit)->text(), "654321");

    // The radio acknowledges every chunk but one byte (of a channel) keeps its old value.
    backend->WithRadio([](SimulatedRadio& r) {
        r.Faults().stuckAddress = 0x0400;
        r.Memory()[0x0400] ^= 0x5A;
    });
    ASSERT_TRUE(Run(ids::main::kWriteButton));
    ExpectOnlyMessage("Verify Error", "The radio holds other bytes than were written at 1 address(es): 0x0400");
    EXPECT_EQ(Status(), "Verify Error.");

    // Verify opens its report when the PC side differs, here in the TX step.
    Combo(ids::main::kTxStepCombo)->setCurrentIndex(1 - Combo(ids::main::kTxStepCombo)->currentIndex());
    ASSERT_TRUE(Run(ids::menu::kVerify));
    EXPECT_EQ(prompts.MessageTexts(), QStringList());
    EXPECT_EQ(Status(), "Verify Error.");
    EXPECT_EQ(prompts.viewed, QStringList({InDir("Verify.txt")}));
    EXPECT_NE(ReadText(dir.File("Verify.txt")).find("TxFreqStep="), std::string::npos);
}

// Read makes the radio's settings the document: untitled, modified, named by the radio's serial
// number, so Save (Ctrl+S) asks for a name and the file that was open stays as it was. Unsaved
// changes are offered a save before a read (Cancel reads nothing) and before closing; changes made
// while the radio is read are asked about when it ends, and kept on Cancel.
TEST_F(CloneCommandsTest, ReadMakesAnUntitledDocumentAndNeverLosesTheOneOnScreen) {
    const std::string opened = WriteDocument("a.dat", *Defaults(kModelUsa));
    const auto before = ReadBytes(opened);
    Open(opened);
    TypeInto(*Edit(ids::main::kSerialEdit), "EDITED");
    prompts.saveChoices = {ui::SaveChoice::Cancel};
    QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_FALSE(CloneBusyEvent.IsSet());
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].status, "Waiting for your answer:\nsave the changes?");
    EXPECT_EQ(Status(), "Open file OK.");
    EXPECT_EQ(Edit(ids::main::kSerialEdit)->text(), "EDITED");
    EXPECT_EQ(RadioCounts().frames, 0u);

    prompts.saveChoices = {ui::SaveChoice::Discard};
    QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Status(), "Read OK.");
    const QString fromRadio = QStringLiteral("From radio ") + kDemoSerial;
    EXPECT_EQ(window->windowTitle(), fromRadio + "* - RAVUZORU V1.15");
    EXPECT_EQ(Edit(ids::main::kSerialEdit)->text(), kDemoSerial);

    prompts.saveNames = {InDir("r.dat")};
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(prompts.fileDialogTitles.value(1), "Save as");
    EXPECT_EQ(ReadBytes(opened), before);
    EXPECT_NE(ReadText(dir.File("r.dat")).find(kDemoSerial), std::string::npos);
    EXPECT_EQ(window->windowTitle(), "/r.dat - RAVUZORU V1.15");

    // Changes made while the radio is read.
    SlowRadio();
    prompts.questions.clear();
    Choose(ids::main::kReadButton);
    TypeInto(*Edit(ids::main::kSerialEdit), "DURING");
    prompts.saveChoices = {ui::SaveChoice::Cancel};
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(Edit(ids::main::kSerialEdit)->text(), "DURING");
    EXPECT_EQ(Text(ids::main::kStatusText),
              "Read OK; the document on screen was kept.\nRead: " + QString::fromStdString(NewestEntry("read")));
    EXPECT_EQ(window->windowTitle(), "/r.dat* - RAVUZORU V1.15");

    // An untitled read with an edit is asked about on closing: Cancel keeps the window.
    SlowRadio(0ms);
    prompts.saveChoices = {ui::SaveChoice::Discard};
    ASSERT_TRUE(Run(ids::menu::kReadFromRadio));
    Click(ids::main::kBandCan);
    prompts.questions.clear();
    prompts.saveChoices = {ui::SaveChoice::Cancel, ui::SaveChoice::Discard};
    window->close();
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(prompts.questions.size(), 2u);
}

// A radio whose settings the file check would refuse (one left half-written) does not replace the
// document: the user learns why, and the radio's exact bytes are kept in ReadRom.bin.
TEST_F(CloneCommandsTest, AReadTheFileCheckWouldRefuseKeepsTheDocumentAndTheRadiosBytes) {
    const RadioImage memory = backend->WithRadio([](SimulatedRadio& r) {
        r.Memory()[kAddrPrivateRecords + kRecordRx] = 0xFF;  // RX of the first private channel far above the band
        r.Memory()[kAddrPrivateRecords + kRecordRx + 1] = 0xFF;
        return r.Memory();
    });
    const auto before = std::make_unique<RadioSettings>(window->Settings());
    ASSERT_TRUE(Run(ids::main::kReadButton));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "Read Error");
    EXPECT_TRUE(prompts.messages[0].text.contains("private channel 1 "));
    EXPECT_TRUE(prompts.messages[0].text.endsWith(InDir("ReadRom.bin")));
    EXPECT_EQ(Status(), "Read Error.");
    EXPECT_TRUE(DocumentIs(*before));
    EXPECT_EQ(state.modified, 0u);
    const auto kept = ReadBytes(dir.File("ReadRom.bin"));
    ASSERT_EQ(kept.size(), kImageSize);
    EXPECT_TRUE(std::equal(memory.begin() + kCloneFirst, memory.begin() + kCloneLast + 1, kept.begin() + kCloneFirst));
}

// A command that fails (the radio unplugged) or that the user stops says so in its own box (a
// stopped Verify in the status line only) and leaves the document as it was. While one runs, only
// its own control is enabled, named as its Stop; choosing it again, or any start that slipped
// through, stops it. The next start begins afresh.
TEST_F(CloneCommandsTest, FailedOrStoppedCommandsSaySoAndLeaveTheDocument) {
    // stopId 0: another command's handler; unpluggedMore: what follows "Radio is not detected!".
    struct Case {
        int startId, stopId, menuId;
        const char *stopText, *errorTitle, *unpluggedStatus, *stoppedStatus, *unpluggedMore = nullptr;
    };
    const Case cases[] = {
        {ids::main::kWriteButton, ids::main::kWriteButton, ids::menu::kWriteToRadio, "Stop Write", "Write Error",
         "Ready.", "Ready.", "\nNo backup of the radio could be read; nothing was written."},
        {ids::main::kReadButton, 0, ids::menu::kReadFromRadio, "Stop Read", "Read Error", "Read Error.", "Read Error."},
        {ids::menu::kVerify, ids::menu::kVerify, ids::menu::kVerify, "Stop Verify", "Verify Error", "Verify Error.",
         "User Cancel."},
        {ids::menu::kHandShake, ids::menu::kHandShake, ids::menu::kHandShake, "Stop HandShake", "HandShake Error.",
         "Ready.", "Ready."},
    };
    const int menu[] = {ids::menu::kWriteToRadio, ids::menu::kReadFromRadio, ids::menu::kVerify, ids::menu::kHandShake};
    const auto before = std::make_unique<RadioSettings>(window->Settings());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stopText);
        backend->SetPlugged(false);
        ASSERT_TRUE(Run(c.startId));
        ExpectOnlyMessage(c.errorTitle, "Radio is not detected!" + QString::fromLatin1(c.unpluggedMore));
        EXPECT_EQ(Status(), QString::fromLatin1(c.unpluggedStatus));

        backend->SetPlugged(true);
        SlowRadio();
        prompts.messages.clear();
        Choose(c.startId);
        ASSERT_TRUE(CloneBusyEvent.IsSet());
        QCoreApplication::processEvents();
        for (int id : menu) EXPECT_EQ(Find<QAction>(id)->isEnabled(), id == c.menuId) << id;
        EXPECT_EQ(Shown(Find<QAction>(c.menuId)), QString::fromLatin1(c.stopText));
        EXPECT_FALSE(Find<QPushButton>(ids::main::kReadButton)->isEnabled());
        EXPECT_EQ(Find<QPushButton>(ids::main::kWriteButton)->text(),
                  c.menuId == ids::menu::kWriteToRadio ? "Stop" : "Write to Radio");
        if (c.stopId) Choose(c.stopId);
        else window->CloneCommands().OnVerify();
        ASSERT_TRUE(WaitUntilIdle());
        if (c.menuId != ids::menu::kVerify) ExpectOnlyMessage(c.errorTitle, "User Cancel.");
        else EXPECT_EQ(prompts.MessageTexts(), QStringList());
        EXPECT_EQ(Status(), QString::fromLatin1(c.stoppedStatus));
        EXPECT_TRUE(DocumentIs(*before));
        EXPECT_EQ(state.modified, 0u);
        for (int id : menu) EXPECT_TRUE(Find<QAction>(id)->isEnabled()) << id;
        EXPECT_TRUE(Find<QPushButton>(ids::main::kReadButton)->isEnabled());
    }
    EXPECT_LT(RadioCounts().writes, kWriteChunks);
    SlowRadio(0ms);
    ASSERT_TRUE(Run(ids::menu::kHandShake));
    EXPECT_EQ(Status(), "HandShake OK.");
}

// A refused identity stops the write before a frame goes out; entry by user lets any through.
// While writing, the button is the Stop: a field typed wrong meanwhile neither holds it back nor
// lets the write end as if it had not been stopped.
TEST_F(CloneCommandsTest, WriteChecksRefuseBadIdentitiesBeforeAnythingStarts) {
    EntryNotByUser();
    Edit(ids::main::kNmeaEdit)->setText("12a456");
    Click(ids::main::kWriteButton);
    EXPECT_FALSE(CloneBusyEvent.IsSet());
    ExpectOnlyMessage("Error", "Invalid NMEA ID:12a456\nMake sure 6 digitals.\n\"a\" at position 3 is not a digit",
                      ui::PromptIcon::Error);

    prompts.messages.clear();
    Edit(ids::main::kNmeaEdit)->setText("");
    Find<QAbstractButton>(ids::main::kMmsiByUser)->setChecked(true);
    Edit(ids::main::kMmsiEdit)->setText("0");
    SlowRadio();
    Click(ids::main::kWriteButton);
    ASSERT_TRUE(CloneBusyEvent.IsSet());
    Edit(ids::main::kAtisEdit)->setText("0123");
    Click(ids::main::kWriteButton);
    EXPECT_TRUE(CloneStopEvent.IsSet());
    ASSERT_TRUE(WaitUntilIdle());
    ExpectOnlyMessage("Write Error", "User Cancel.");
    EXPECT_LT(RadioCounts().writes, kWriteChunks);
}

// Identities that deserve warnings are asked about once more before a write: No sends nothing. A
// write that would put a new MMSI or ATIS into the radio asks first, showing each number decoded
// against what the backup found ("not known" without one): OK opens only for the new numbers
// typed again, and Cancel sends nothing.
TEST_F(CloneCommandsTest, ANewIdentityIsWrittenOnlyWhenTypedAgain) {
    EntryNotByUser();
    Edit(ids::main::kMmsiEdit)->setText("970123456");
    Edit(ids::main::kAtisEdit)->setText(kDemoAtis);
    window->MarkModified();
    prompts.answers = {false, true, true};
    ASSERT_TRUE(Run(ids::main::kWriteButton));
    EXPECT_EQ(prompts.MessageTexts(), QStringList()) << "nothing started";
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].text, QString::fromStdString(IdentityWarnings("970123456", "", false)[0]) +
                                             "\n\nWrite to the radio all the same?");
    EXPECT_EQ(prompts.questions[0].status, "Waiting for your answer:\nwrite despite the warnings?");
    EXPECT_EQ(Status(), "Ready");
    // While the question waits, the status and the bar say so, not that a write goes on.
    QString barMeanwhile;
    prompts.dialogScript.push_back([&](QDialog& dialog) {
        confirmShown = LabelsOf(dialog);
        barMeanwhile = Find<QProgressBar>(ids::main::kProgressBar)->text();
        return QDialog::Rejected;
    });
    Trigger(ids::menu::kBackupBeforeWrite);
    ASSERT_TRUE(Run(ids::main::kWriteButton));
    ExpectOnlyMessage("Write Error", "User Cancel.");
    EXPECT_EQ(RadioCounts().frames, 0u);
    EXPECT_EQ(prompts.dialogStatus.value(0),
              "Waiting for your answer:\nthe identity changes; nothing is written yet.");
    EXPECT_EQ(barMeanwhile, "Waiting");
    const QString unknown = "not known (no backup was read)";
    EXPECT_EQ(confirmShown, QStringList({"In the radio now", "To be written", "MMSI", unknown, "970123456 (AIS-SART)",
                                         "Type the new MMSI again:", "ATIS", unknown,
                                         "9211234567 (ATIS, MID 211, Germany)",
                                         "Type the new ATIS again (its last 9 digits):", "NMEA2000 number", unknown,
                                         "none", "Serial number", unknown, "none"}));
    Trigger(ids::menu::kBackupBeforeWrite);
    ConfirmTyping({{ids::confirm::kMmsiAgain, "970123456"}});
    ASSERT_TRUE(Run(ids::main::kWriteButton));
    EXPECT_EQ(confirmShown, QStringList({"In the radio now", "To be written", "MMSI",
                                         "211234560 (ship station, MID 211, Germany)", "970123456 (AIS-SART)",
                                         "Type the new MMSI again:"}));
    EXPECT_EQ(Status(), "Write OK.");
    EXPECT_EQ(RadioCounts().writes, kWriteChunks);
}

// A document that leaves the identities open (as Load Default makes it) keeps the radio's, asking
// nothing. Clone > Write and Remove Identities removes the ones chosen, after the identity question.
// A byte of an identity the radio does not take fails the write, naming what the radio holds.
TEST_F(CloneCommandsTest, IdentitiesAreKeptRemovedOnPurposeAndReadBack) {
    const auto identities = [this] {
        return IdentitiesInImage(backend->WithRadio([](SimulatedRadio& r) { return r.Memory(); }));
    };
    const RadioIdentities held = identities();
    Open(WriteDocument("eu.dat", *Defaults(kModelEurInt)));
    ASSERT_TRUE(Run(ids::main::kWriteButton));
    EXPECT_EQ(Status(), "Write OK.");
    EXPECT_EQ(prompts.dialogTitles, QStringList());
    EXPECT_EQ(identities().text, held.text);

    prompts.dialogScript.push_back([](QDialog& dialog) {
        EXPECT_FALSE(Control<QPushButton>(dialog, ids::kOk).isEnabled()) << "nothing chosen yet";
        for (const IdentityKind kind : {IdentityKind::Mmsi, IdentityKind::Serial})
            Control<QCheckBox>(dialog, ids::remove::kIdentityFirst + static_cast<int>(kind)).setChecked(true);
        return PressOk(dialog);
    });
    ConfirmTyping({});
    ASSERT_TRUE(Run(ids::menu::kWriteRemovingIdentities));
    EXPECT_EQ(confirmShown, QStringList({"In the radio now", "To be written", "MMSI",
                                         "211234560 (ship station, MID 211, Germany)", "none", "Serial number",
                                         kDemoSerial, "none"}));
    EXPECT_EQ(Status(), "Write OK.");
    EXPECT_EQ(identities()[IdentityKind::Mmsi] + identities()[IdentityKind::Serial], "");
    EXPECT_EQ(identities()[IdentityKind::Atis], held[IdentityKind::Atis]);

    EntryNotByUser();
    Edit(ids::main::kMmsiEdit)->setText("211777770");
    window->MarkModified();
    backend->WithRadio([](SimulatedRadio& r) { r.Faults().stuckAddress = 0x0122; });
    ConfirmTyping({{ids::confirm::kMmsiAgain, "211777770"}});
    ASSERT_TRUE(Run(ids::main::kWriteButton));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "Write Error");
    EXPECT_TRUE(prompts.messages[0].text.startsWith("Write Error. (the radio holds MMSI 210077770, not 211777770)\n"))
        << prompts.messages[0].text.toStdString();
}

// An archive that cannot take the radio's bytes is a warning after a read, and stops a write before
// anything is sent. A write cut off half way names the backup of what the radio held. File > Radio
// Archive lists the entries, newest last and selected (one without settings cannot be opened and
// says why), and restores the backup, after a question naming the entry, the radio and the port
// and the identity confirmation the half-written radio needs, to the radio's exact earlier bytes.
TEST_F(CloneCommandsTest, AWriteCutOffIsRestoredFromTheArchiveToTheRadiosExactBytes) {
    const std::string folder = RadioArchive::DefaultFolder();
    std::filesystem::create_directories(dir.File("data/orven-clone"));
    WriteText(folder, "a file where the archive folder belongs");
    ASSERT_TRUE(Run(ids::main::kReadButton));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "Radio Archive");
    EXPECT_TRUE(prompts.messages[0].text.contains(QString::fromStdString(folder)));
    Open(WriteDocument("other.dat", *Defaults(kModelUsa)));  // no identity to confirm
    ASSERT_TRUE(Run(ids::main::kWriteButton));
    ExpectOnlyMessage("Write Error",
                      QString::fromStdString(*RadioArchive(folder).StoreRefusal()) + "; nothing was written.");
    EXPECT_EQ(RadioCounts().writes, 0u);

    std::filesystem::remove(folder);
    const auto memory = [this] {
        const RadioImage image = backend->WithRadio([](SimulatedRadio& r) { return r.Memory(); });
        return std::vector(&image[kCloneFirst], &image[kCloneLast] + 1);
    };
    const std::vector held = memory();
    backend->WithRadio([](SimulatedRadio& r) {
        r.Faults().silentAfterFrames = r.Counters().frames + (2 + kWriteChunks) + 1 + kWriteChunks / 2;
    });
    ASSERT_TRUE(Run(ids::main::kWriteButton));
    const RadioArchive archive(folder);
    const std::string backup = NewestEntry("backup");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.endsWith(QString::fromStdString(
        "kept in the radio archive as " + backup + "; File > Radio Archive... can write it back.")));
    EXPECT_EQ(archive.Find(backup)->record.port, "USB");
    EXPECT_NE(memory(), held);

    backend->WithRadio([](SimulatedRadio& r) { r.Faults().silentAfterFrames.reset(); });
    ArchiveRecord halfWritten;
    halfWritten.time = "2020-01-01 00:00:00";
    halfWritten.sha256 = CloneRangeSha256(RadioImage{});
    std::string error;
    ASSERT_TRUE(archive.Store(halfWritten, RadioImage{}, nullptr, error));  // the oldest, without settings
    prompts.answers = {true};
    prompts.dialogScript.push_back([](QDialog& dialog) {
        QTreeWidget& list = Control<QTreeWidget>(dialog, ids::archive::kEntryList);
        QTreeWidgetItem* newest = list.topLevelItem(list.topLevelItemCount() - 1);
        EXPECT_EQ(list.currentItem(), newest);
        list.setCurrentItem(list.topLevelItem(0));
        EXPECT_FALSE(Control<QPushButton>(dialog, ids::archive::kOpen).isEnabled());
        EXPECT_TRUE(Control<QLabel>(dialog, ids::archive::kEntryNote).text().startsWith("This entry keeps no settings"));
        list.setCurrentItem(newest);
        EXPECT_TRUE(Control<QPushButton>(dialog, ids::archive::kOpen).isEnabled());
        test::Click(dialog, ids::archive::kRestore);
        return dialog.result();
    });
    ConfirmTyping({});
    prompts.questions.clear();
    ASSERT_TRUE(Run(ids::menu::kRadioArchive));
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].text,
              QString::fromStdString("Write the exact bytes of entry " + backup + " (radio serial " + kDemoSerial +
                                     ", read at " + archive.Find(backup)->record.time + ") back into the radio on USB?"));
    EXPECT_EQ(prompts.dialogTitles, QStringList({"Radio Archive", "Confirm Identity Changes"}));
    EXPECT_EQ(confirmShown, QStringList({"In the radio now", "To be written", "Model", "USA", "Europe"}))
        << "the cut-off write made the radio a USA one and kept its identities";
    EXPECT_EQ(prompts.MessageTexts(), QStringList());
    EXPECT_EQ(Text(ids::main::kStatusText),
              QString::fromStdString("Restore OK. Verify OK.\nBackup: " + NewestEntry("backup")));
    EXPECT_EQ(memory(), held);
}

// A radio plugged in while the identity question waits is not written (it would take the first
// radio's kept identities): the user is told what it holds, and it keeps all of it.
TEST_F(CloneCommandsTest, ARadioPluggedInWhileTheIdentityQuestionWaitsIsNotWritten) {
    EntryNotByUser();
    TypeInto(*Edit(ids::main::kMmsiEdit), "211777770");
    const auto otherRadio = [](SimulatedRadio& r) {
        FillDemoMemory(r.Memory());
        std::memcpy(&r.Memory()[IdentitySpan(IdentityKind::Serial).first], "20269999", 8);
        return r.Memory();
    };
    RadioImage plugged{};
    prompts.dialogScript.push_back([&](QDialog& dialog) {
        plugged = backend->WithRadio(otherRadio);
        TypeInto(Control<QLineEdit>(dialog, ids::confirm::kMmsiAgain), "211777770");
        return PressOk(dialog);
    });
    ASSERT_TRUE(Run(ids::main::kWriteButton));
    ExpectOnlyMessage("Write Error", "Write Error. (not the radio read before the question: the radio holds serial "
                                     "number 20269999, not 20261206; nothing was written)");
    EXPECT_EQ(RadioCounts().writes, 0u);
    EXPECT_TRUE(backend->WithRadio([](SimulatedRadio& r) { return r.Memory(); }) == plugged);
    EXPECT_EQ(Status(), "Ready.");
}

// A damaged entry shows why in the Radio Archive dialog and cannot be restored; one whose image
// changed after it was listed is refused when restored, before anything is sent. With the demo
// radio on USB, reads go to the demo radio's archive, never the real one.
TEST_F(CloneCommandsTest, DamagedEntriesAreShownAndNeverRestoredAndTheDemoRadioKeepsItsOwnArchive) {
    ASSERT_TRUE(Run(ids::main::kReadButton));
    const RadioArchive archive(RadioArchive::DefaultFolder());
    const ArchiveEntry listed = archive.List().back();
    {
        std::fstream image(listed.folder + "/image.bin", std::ios::in | std::ios::out | std::ios::binary);
        image.seekp(kCloneLast);
        image.put('\x5A');
    }
    const SimCounters before = RadioCounts();
    prompts.messages.clear();
    window->CloneCommands().StartRestore(listed);
    EXPECT_FALSE(CloneBusyEvent.IsSet());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "Restore Error");
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QString::fromStdString(
        "Entry " + listed.id + " of the radio archive is damaged and was not restored:\nimage.bin does not match")))
        << prompts.messages[0].text.toStdString();
    EXPECT_TRUE(prompts.messages[0].text.contains(QString::fromStdString("the record says " + listed.record.sha256)));

    prompts.dialogScript.push_back([](QDialog& dialog) {
        QTreeWidget& list = Control<QTreeWidget>(dialog, ids::archive::kEntryList);
        EXPECT_EQ(list.currentItem()->text(4), "image.bin does not match the SHA-256 in its record");
        EXPECT_FALSE(Control<QPushButton>(dialog, ids::archive::kRestore).isEnabled());
        EXPECT_TRUE(Control<QPushButton>(dialog, ids::archive::kOpen).isEnabled()) << "what can be read stays at hand";
        EXPECT_TRUE(Control<QLabel>(dialog, ids::archive::kEntryNote).text().startsWith("This entry is damaged (image.bin"));
        test::Click(dialog, ids::archive::kSaveRegister);
        return QDialog::Rejected;
    });
    ASSERT_TRUE(LogWrite(archive, "S1", "211000001", "Heron"));
    const std::string registerPath = dir.File("register.csv");
    prompts.saveNames = {QString::fromStdString(registerPath)};
    Trigger(ids::menu::kRadioArchive);
    EXPECT_EQ(prompts.dialogTitles, QStringList({"Radio Archive"}));
    EXPECT_EQ(RadioCounts().frames, before.frames) << "nothing was sent";
    EXPECT_EQ(ReadText(registerPath), "Serial,MMSI,ATIS,NMEA2000,Name,Time,Operation,Port,Result,Read-back,Backup\r\n"
                                      "S1,211000001,,,Heron,2026-12-07 10:00:00,write,,Write OK.,,\r\n");

    window->SetDemoRadio(true);
    ASSERT_TRUE(Run(ids::main::kReadButton));
    EXPECT_EQ(archive.List().size(), 1u);
    EXPECT_EQ(RadioArchive(RadioArchive::DemoFolder()).List().size(), 1u);
}

// Closing the window while a clone runs (here while the worker waits for the identity question)
// stops it: the question is answered No, nothing is written, no box shows, and the save question
// comes once the worker has ended, just before the window closes.
TEST_F(CloneCommandsTest, ExitDuringACloneStopsItAndClosesAfterwards) {
    Open(WriteDocument("open.dat", *Defaults(kModelUsa)));
    EntryNotByUser();
    TypeInto(*Edit(ids::main::kMmsiEdit), "211234569");
    prompts.dialogScript.push_back([this](QDialog& dialog) {
        dialog.show();
        Trigger(ids::menu::kExit);
        EXPECT_FALSE(dialog.isVisible()) << "closing answers the question";
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(CloneStopEvent.IsSet());
        EXPECT_TRUE(prompts.questions.empty());
        return dialog.result();
    });
    ASSERT_TRUE(Run(ids::main::kWriteButton));
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(prompts.MessageTexts(), QStringList());
    EXPECT_EQ(RadioCounts().writes, 0u);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].text, "File is modified. Do you want to save?");
}

// A read stopped by closing the window, whose close the user then cancels at the save question:
// the window and its document stay, and the status says the read was stopped, not that it failed.
TEST_F(CloneCommandsTest, AReadStoppedByACancelledCloseSaysItWasStopped) {
    Open(WriteDocument("open.dat", *Defaults(kModelUsa)));
    Click(ids::main::kBandCan);
    const bool edited = Find<QCheckBox>(ids::main::kBandCan)->isChecked();
    SlowRadio();
    // No to the question before the read; Cancel to the one before the close.
    prompts.saveChoices = {ui::SaveChoice::Discard, ui::SaveChoice::Cancel};
    Choose(ids::menu::kReadFromRadio);
    window->close();
    ASSERT_TRUE(WaitUntilIdle());
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(prompts.MessageTexts(), QStringList());
    EXPECT_EQ(Status(), "User Cancel.");
    EXPECT_EQ(Find<QCheckBox>(ids::main::kBandCan)->isChecked(), edited);
    EXPECT_EQ(window->windowTitle(), "/open.dat* - VOROZUDE V1.15");
}

// Closing the window while a write sends its frames would leave the radio half-written: the close
// asks first. No (the default) lets the write end whole and keeps the window; Yes stops it, and
// before the window goes the user learns the write was stopped and which archive entry restores
// the radio.
TEST_F(CloneCommandsTest, ClosingDuringAWriteAsksFirstAndNamesTheBackupOfAHalfWrittenRadio) {
    SlowRadio();
    const auto closeWhileSending = [this] {
        const std::uint32_t before = RadioCounts().writes;
        Choose(ids::main::kWriteButton);
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (RadioCounts().writes == before && std::chrono::steady_clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ASSERT_GT(RadioCounts().writes, before) << "no frame was written";
        prompts.questions.clear();
        prompts.messages.clear();
        window->close();
        ASSERT_EQ(prompts.questions.size(), 1u);
        EXPECT_TRUE(prompts.questions[0].text.contains("half-written")) << prompts.questions[0].text.toStdString();
    };

    closeWhileSending();
    EXPECT_FALSE(CloneStopEvent.IsSet());
    ASSERT_TRUE(WaitUntilIdle());
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Status(), "Write OK.");
    EXPECT_EQ(RadioCounts().writes, kWriteChunks);

    prompts.answers = {true};
    closeWhileSending();
    ASSERT_TRUE(WaitUntilIdle());
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_LT(RadioCounts().writes, 2 * kWriteChunks);
    const std::string backup = NewestEntry("backup");
    ASSERT_FALSE(backup.empty());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "Write Error");
    EXPECT_TRUE(prompts.messages[0].text.startsWith("User Cancel.")) << prompts.messages[0].text.toStdString();
    EXPECT_TRUE(prompts.messages[0].text.contains(QString::fromStdString(backup)))
        << prompts.messages[0].text.toStdString();
}

// Tools > Check Connection runs on a worker like a clone command: the dialog says "Checking..." while
// the GUI thread turns and the clone controls are off, then lists each line, a failure's fix and the
// summary and the time of the check, all of which Copy puts on the clipboard, saying "Copied". The
// demo radio's system is not probed, and the list says so. A clone command and a check never run
// side by side. The fixes name the window's controls, never the command line's.
TEST_F(CloneCommandsTest, CheckConnectionListsTheDemoRadiosChecksFromAWorker) {
    window->SetDemoRadio(true);
    const QString demoLine = "OK   " + QString::fromLatin1(kDemoRadioCheckText) + "\n";
    Trigger(ids::menu::kCheckConnection);
    auto& dialog = Control<ui::ConnectionCheckDlg>(*window, ids::kConnectionCheckDialog);
    QTextBrowser& list = Control<QTextBrowser>(dialog, ids::check::kChecklist);
    QPushButton& copy = Control<QPushButton>(dialog, ids::check::kCopy);
    QLabel& checkedAt = Control<QLabel>(dialog, ids::check::kCheckedAt);
    const auto checked = [&] {
        EXPECT_TRUE(WaitUntilIdle());
        const QString now = QTime::currentTime().toString("HH:mm:ss");
        EXPECT_EQ(copy.text(), "Copy");
        test::Click(dialog, ids::check::kCopy);
        EXPECT_EQ(copy.text(), "Copied");
        // The check ended at most a second before its time was read here.
        const QString at = checkedAt.text();
        EXPECT_TRUE(at == "Checked at " + now + "." ||
                    at == "Checked at " + QTime::fromString(now, "HH:mm:ss").addSecs(-1).toString("HH:mm:ss") + ".")
            << at.toStdString() << " at " << now.toStdString();
        return QGuiApplication::clipboard()->text();
    };
    QString copied = checked();
    EXPECT_TRUE(copied.startsWith(demoLine + "OK   the radio answers in ")) << copied.toStdString();
    EXPECT_TRUE(copied.endsWith("ms over 5 of 5 exchanges)\nOK   fast transfer suits this link: the replies come whole "
                                "with nothing after them (Clone > Fast Transfer)\nThe radio answers.\n"));
    EXPECT_TRUE(list.toPlainText().contains("The radio answers."));

    backend->SetPlugged(false);
    test::Click(dialog, ids::check::kCheckAgain);
    EXPECT_EQ(checked(), demoLine + "FAIL the radio does not open\n     fix: plug the radio in and switch it on\n"
                                    "The radio does not answer: see the first FAIL above.\n");

    // A silent radio holds each exchange for 100 ms.
    backend->SetPlugged(true);
    backend->WithRadio([](SimulatedRadio& r) { r.Faults().silentAfterFrames = 0; });
    window->CloneCommands().SetTiming({2ms, 50, 200ms, false});
    test::Click(dialog, ids::check::kCheckAgain);
    EXPECT_EQ(list.toPlainText(), "Checking...");
    EXPECT_FALSE(Control<QPushButton>(dialog, ids::check::kCheckAgain).isEnabled());
    EXPECT_FALSE(Find<QPushButton>(ids::main::kReadButton)->isEnabled());
    window->CloneCommands().OnReadFromRadio();
    int ticks = 0;
    QTimer ticker;
    ticker.callOnTimeout([&] { ticks += CloneBusyEvent.IsSet(); });
    ticker.start(10);
    copied = checked();
    EXPECT_GT(ticks, 10) << "the GUI thread waited for the check";
    EXPECT_TRUE(copied.contains("FAIL the radio does not answer the identify frame\n"));
    EXPECT_EQ(prompts.MessageTexts(), QStringList()) << "no read ran";
    EXPECT_TRUE(Find<QPushButton>(ids::main::kReadButton)->isEnabled());

    window->CloneCommands().SetTiming(kTestTiming);
    Choose(ids::menu::kHandShake);
    test::Click(dialog, ids::check::kCheckAgain);
    EXPECT_EQ(list.toPlainText(), "A clone command is running: check again once it has ended.");
    ASSERT_TRUE(WaitUntilIdle());
    window->SetDemoRadio(false);
    test::Click(dialog, ids::check::kCheckAgain);
    EXPECT_FALSE(checked().contains(kDemoRadioCheckText)) << "the system is probed";

    Combo(ids::main::kPortCombo)->setCurrentIndex(1);  // COM1, a link to nowhere
    test::Click(dialog, ids::check::kCheckAgain);
    copied = checked();
    EXPECT_TRUE(copied.contains("fix: plug the adaptor in and press Scan COMx")) << copied.toStdString();
    EXPECT_FALSE(copied.contains("orven-cli")) << copied.toStdString();
}

}  // namespace
}  // namespace orven::test
