// The clone commands of the main window, end to end against a simulated radio on USB.
#include "clone/CloneEvent.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedHidBackend.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/DemoMode.h"
#include "ui/QueuedProgress.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>

#include <chrono>
#include <cstring>
#include <thread>

namespace orven::test {
namespace {

using namespace std::chrono_literals;

// Short waits so that a failing exchange ends quickly; a USB report may take up to 200 ms.
constexpr CloneTiming kTestTiming{2ms, 5, 200ms, false};

class CloneCommandsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        backend = std::make_shared<SimulatedHidBackend>();
        backend->WithRadio([](SimulatedRadio& r) { FillDemoMemory(r.Memory()); });
        radio.SetBackend(backend);
        window->SetUsbDevice(radio);
        window->SetCloneTiming(kTestTiming);
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

    // Each USB report takes this long, so that an exchange lasts long enough to look at it.
    void SlowRadio() {
        backend->WithRadio([](SimulatedRadio& r) { r.Faults().usbLatency = 10ms; });
    }

    QString Status() const { return Text(ids::main::kStatusText); }
    QLineEdit* Edit(int id) const { return Find<QLineEdit>(id); }
    QAction* Action(int id) const { return Find<QAction>(id); }
    QPushButton* Button(int id) const { return Find<QPushButton>(id); }
    // The "entry by user" boxes start ticked in the defaults.
    void SetEntryByUser(bool byUser) {
        for (int id : {ids::main::kMmsiByUser, ids::main::kAtisByUser})
            Find<QAbstractButton>(id)->setChecked(byUser);
    }
    std::uint32_t RadioWrites() {
        return backend->WithRadio([](SimulatedRadio& r) { return r.Counters().writes; });
    }
    std::uint32_t RadioFrames() {
        return backend->WithRadio([](SimulatedRadio& r) { return r.Counters().frames; });
    }

    void ExpectOnlyMessage(const char* title, const char* text, ui::PromptIcon icon) {
        ASSERT_EQ(prompts.messages.size(), 1u) << ::testing::PrintToString(prompts.MessageTexts());
        EXPECT_EQ(prompts.messages[0].title, QString::fromLatin1(title));
        EXPECT_EQ(prompts.messages[0].text, QString::fromLatin1(text));
        EXPECT_EQ(prompts.messages[0].icon, icon);
    }

    // The idle layout: every clone control enabled under its own name.
    void ExpectIdleLayout() {
        EXPECT_EQ(Button(ids::main::kWriteButton)->text(), "Write to Radio");
        EXPECT_TRUE(Button(ids::main::kWriteButton)->isEnabled());
        EXPECT_TRUE(Button(ids::main::kReadButton)->isEnabled());
        const std::pair<int, const char*> items[] = {{ids::menu::kWriteToRadio, "Write to Radio"},
                                                     {ids::menu::kReadFromRadio, "Read from Radio"},
                                                     {ids::menu::kVerify, "Verify"},
                                                     {ids::menu::kHandShake, "HandShake"}};
        for (const auto& [id, text] : items) {
            EXPECT_EQ(Action(id)->text(), QString::fromLatin1(text));
            EXPECT_TRUE(Action(id)->isEnabled()) << text;
        }
    }

    // While a command runs only its own menu item is enabled, named as its Stop.
    void ExpectBusyMenu(int runningId, const char* stopText) {
        for (int id : {ids::menu::kWriteToRadio, ids::menu::kReadFromRadio, ids::menu::kVerify,
                       ids::menu::kHandShake}) {
            EXPECT_EQ(Action(id)->isEnabled(), id == runningId) << id;
        }
        EXPECT_EQ(Action(runningId)->text(), QString::fromLatin1(stopText));
    }

    std::shared_ptr<SimulatedHidBackend> backend;
    CHidDevice radio{kUsbVendorId, kUsbProductId};
};

// An unplugged radio: each command says so in its own box and the document stays as it was.
TEST_F(CloneCommandsTest, UnpluggedRadioIsReportedAndTheDocumentLeftAlone) {
    struct Case { int command; const char* title; const char* status; };
    const Case cases[] = {{ids::menu::kReadFromRadio, "Read Error", "Read Error."},
                          {ids::menu::kVerify, "Verify Error", "Verify Error."},
                          {ids::menu::kHandShake, "HandShake Error.", "Ready."}};
    backend->SetPlugged(false);
    Edit(ids::main::kMmsiEdit)->setText("987654321");
    window->GatherSettings();
    const auto before = std::make_unique<RadioSettings>(window->Settings());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        prompts.messages.clear();
        Trigger(c.command);
        ASSERT_TRUE(WaitUntilIdle());
        ExpectOnlyMessage(c.title, "Radio is not detected!", ui::PromptIcon::Warning);
        EXPECT_EQ(Status(), QString::fromLatin1(c.status));
        EXPECT_EQ(std::memcmp(before.get(), &window->Settings(), sizeof(RadioSettings)), 0);
        EXPECT_EQ(Edit(ids::main::kMmsiEdit)->text(), "987654321");
        EXPECT_EQ(state.modified, 0u);
        EXPECT_TRUE(prompts.viewed.isEmpty());
        ExpectIdleLayout();
    }
}

TEST_F(CloneCommandsTest, ReadReplacesTheDocumentAndWriteSendsTheControlsBack) {
    Click(ids::main::kReadButton);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_TRUE(prompts.messages.empty()) << ::testing::PrintToString(prompts.MessageTexts());
    EXPECT_EQ(Status(), "Read OK.");
    EXPECT_EQ(state.modified, 1u);
    EXPECT_STREQ(window->Settings().mmsiId, kDemoMmsi);
    EXPECT_EQ(Edit(ids::main::kMmsiEdit)->text(), kDemoMmsi);
    EXPECT_EQ(Edit(ids::main::kNmeaEdit)->text(), kDemoNmea);
    EXPECT_EQ(Edit(ids::main::kSerialEdit)->text(), kDemoSerial);
    // The demo radio is a European one with private channels.
    EXPECT_FALSE(ListRows(List()).isEmpty());
    ExpectIdleLayout();

    SetEntryByUser(false);
    Edit(ids::main::kMmsiEdit)->setText("123456789");
    Edit(ids::main::kNmeaEdit)->setText("654321");
    window->MarkModified();  // as leaving the edit does
    Click(ids::main::kWriteButton);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_TRUE(prompts.messages.empty()) << ::testing::PrintToString(prompts.MessageTexts());
    EXPECT_EQ(Status(), "Write OK.");
    EXPECT_EQ(RadioWrites(), 77u);  // 0x0100..0x06FF in blocks of 20 bytes
    ExpectIdleLayout();

    Edit(ids::main::kMmsiEdit)->setText("");
    Edit(ids::main::kNmeaEdit)->setText("");
    Click(ids::main::kReadButton);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Edit(ids::main::kMmsiEdit)->text(), "123456789");
    EXPECT_EQ(Edit(ids::main::kNmeaEdit)->text(), "654321");
}

TEST_F(CloneCommandsTest, VerifyReportsAMatchAndOpensTheReportOnADifference) {
    Click(ids::main::kReadButton);
    ASSERT_TRUE(WaitUntilIdle());

    Trigger(ids::menu::kVerify);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Status(), "Verify OK.");
    EXPECT_TRUE(prompts.viewed.isEmpty());
    EXPECT_TRUE(std::filesystem::exists(dir.File("Verify.txt")));  // written even when equal

    // A different TX step on the PC side is a difference the report shows.
    QComboBox* txStep = Combo(ids::main::kTxStepCombo);
    txStep->setCurrentIndex(txStep->currentIndex() == 0 ? 1 : 0);
    Trigger(ids::menu::kVerify);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Status(), "Verify Error.");
    ASSERT_EQ(prompts.viewed.size(), 1);
    EXPECT_TRUE(prompts.viewed[0].endsWith("Verify.txt")) << prompts.viewed[0].toStdString();
    EXPECT_NE(ReadText(dir.File("Verify.txt")).find("TxFreqStep="), std::string::npos);
    EXPECT_TRUE(prompts.messages.empty()) << ::testing::PrintToString(prompts.MessageTexts());
}

TEST_F(CloneCommandsTest, VerifyAfterWriteReadsTheRadioBackAndNamesWhatDiffers) {
    SetEntryByUser(false);
    Trigger(ids::menu::kVerifyAfterWrite);
    Click(ids::main::kWriteButton);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_TRUE(prompts.messages.empty()) << ::testing::PrintToString(prompts.MessageTexts());
    EXPECT_EQ(Status(), "Write OK. Verify OK.");
    EXPECT_EQ(RadioFrames(), 1u + 77u + 2u + 77u) << "the write, then the read-back";

    // The radio acknowledges every chunk but one byte keeps its old value.
    backend->WithRadio([](SimulatedRadio& r) {
        r.Faults().stuckAddress = 0x0123;
        r.Memory()[0x0123] ^= 0x5A;
    });
    Click(ids::main::kWriteButton);
    ASSERT_TRUE(WaitUntilIdle());
    ExpectOnlyMessage("Verify Error", "The radio holds other bytes than were written at 1 address(es): 0x0123",
                      ui::PromptIcon::Warning);
    EXPECT_EQ(Status(), "Verify Error.");
    ExpectIdleLayout();
}

TEST_F(CloneCommandsTest, HandShakeReportsWhetherTheRadioAnswers) {
    Trigger(ids::menu::kHandShake);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_TRUE(prompts.messages.empty()) << ::testing::PrintToString(prompts.MessageTexts());
    EXPECT_EQ(Status(), "HandShake OK.");
    // No hold: the text stays until something else changes the status line.
    for (int tick = 0; tick < 12; ++tick) window->OnTimer();
    EXPECT_EQ(Status(), "HandShake OK.");

}

// While a command runs, its own control is its Stop; choosing it again stops the command, which
// says so in its box (Verify in the status line only) and leaves the document as it was.
TEST_F(CloneCommandsTest, TheRunningCommandIsItsOwnStop) {
    SlowRadio();
    struct Case {
        int startId, stopId, menuId;
        const char* working;
        const char* stopText;
        const char* errorTitle;  // nullptr: no box
        const char* status;
    };
    const Case cases[] = {
        {ids::main::kWriteButton, ids::main::kWriteButton, ids::menu::kWriteToRadio, "Writing...",
         "Stop Write", "Write Error", "Ready."},
        {ids::main::kReadButton, ids::menu::kReadFromRadio, ids::menu::kReadFromRadio, "Reading...",
         "Stop Read", "Read Error", "Read Error."},
        {ids::menu::kVerify, ids::menu::kVerify, ids::menu::kVerify, "Verifying...", "Stop Verify",
         nullptr, "User Cancel."},
        {ids::menu::kHandShake, ids::menu::kHandShake, ids::menu::kHandShake, "HandShaking...",
         "Stop HandShake", "HandShake Error.", "Ready."},
    };
    Edit(ids::main::kMmsiEdit)->setText("987654321");
    window->GatherSettings();
    const auto before = std::make_unique<RadioSettings>(window->Settings());
    const auto choose = [this](int id) {
        if (id == ids::main::kWriteButton || id == ids::main::kReadButton) Click(id);
        else Trigger(id);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stopText);
        prompts.messages.clear();
        choose(c.startId);
        ASSERT_TRUE(CloneBusyEvent.IsSet());
        QCoreApplication::processEvents();
        EXPECT_EQ(Status(), QString::fromLatin1(c.working));
        ExpectBusyMenu(c.menuId, c.stopText);
        const bool writing = c.menuId == ids::menu::kWriteToRadio;
        EXPECT_EQ(Button(ids::main::kWriteButton)->text(), writing ? "Stop" : "Write to Radio");
        EXPECT_EQ(Button(ids::main::kWriteButton)->isEnabled(), writing);
        EXPECT_FALSE(Button(ids::main::kReadButton)->isEnabled());

        choose(c.stopId);
        ASSERT_TRUE(WaitUntilIdle());
        if (c.errorTitle) ExpectOnlyMessage(c.errorTitle, "User Cancel.", ui::PromptIcon::Warning);
        else EXPECT_TRUE(prompts.messages.empty()) << ::testing::PrintToString(prompts.MessageTexts());
        EXPECT_EQ(Status(), QString::fromLatin1(c.status));
        EXPECT_EQ(std::memcmp(before.get(), &window->Settings(), sizeof(RadioSettings)), 0);
        EXPECT_TRUE(prompts.viewed.isEmpty());
        ExpectIdleLayout();
    }
    EXPECT_LT(RadioWrites(), 77u);
}

TEST_F(CloneCommandsTest, ASecondStartWhileBusyOnlyAsksTheRunningOneToStop) {
    SlowRadio();
    Click(ids::main::kReadButton);
    window->OnVerify();  // what a command that slipped through would do

    EXPECT_TRUE(CloneStopEvent.IsSet());
    EXPECT_EQ(Status(), "Reading...");
    ExpectBusyMenu(ids::menu::kReadFromRadio, "Stop Read");
    ASSERT_TRUE(WaitUntilIdle());
    ExpectOnlyMessage("Read Error", "User Cancel.", ui::PromptIcon::Warning);
    EXPECT_TRUE(prompts.viewed.isEmpty());

    // The next start begins afresh: the stop left behind does not cancel it.
    prompts.messages.clear();
    backend->WithRadio([](SimulatedRadio& r) { r.Faults().usbLatency = 0ms; });
    Trigger(ids::menu::kHandShake);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Status(), "HandShake OK.");
}

TEST_F(CloneCommandsTest, WriteChecksRefuseBadIdentitiesBeforeAnythingStarts) {
    struct Case {
        int editId;
        const char* text;
        const char* message;  // nullptr: passes
    };
    const Case cases[] = {
        {ids::main::kMmsiEdit, "012345678", "Invalid MMIS ID:012345678\nMake sure 9 digitals."},
        {ids::main::kMmsiEdit, "12345678", "Invalid MMIS ID:12345678\nMake sure 9 digitals."},
        {ids::main::kAtisEdit, "012345678", "Invalid ATIS ID:012345678\nMake sure 9 digitals."},
        {ids::main::kNmeaEdit, "12a456", "Invalid NMEA ID:12a456\nMake sure 6 digitals."},
        {ids::main::kNmeaEdit, " 012345", nullptr},  // the space goes, a leading 0 is fine
        {ids::main::kMmsiEdit, "123456789", nullptr},
        {ids::main::kMmsiEdit, "", nullptr},
    };
    SetEntryByUser(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        prompts.messages.clear();
        for (int id : {ids::main::kMmsiEdit, ids::main::kAtisEdit, ids::main::kNmeaEdit})
            Edit(id)->setText("");
        Edit(c.editId)->setText(QString::fromLatin1(c.text));
        const std::uint32_t framesBefore = RadioFrames();

        Click(ids::main::kWriteButton);
        if (c.message) {
            EXPECT_FALSE(CloneBusyEvent.IsSet());
            ExpectOnlyMessage("Error", c.message, ui::PromptIcon::Error);
            EXPECT_EQ(RadioFrames(), framesBefore);
        } else {
            ASSERT_TRUE(WaitUntilIdle());
            EXPECT_TRUE(prompts.messages.empty()) << ::testing::PrintToString(prompts.MessageTexts());
            EXPECT_EQ(Status(), "Write OK.");
        }
    }
}

TEST_F(CloneCommandsTest, EntryByUserLetsAnyIdentityThroughAndChecksComeBeforeStop) {
    SetEntryByUser(false);
    Find<QAbstractButton>(ids::main::kMmsiByUser)->setChecked(true);
    Edit(ids::main::kMmsiEdit)->setText("0");
    SlowRadio();

    Click(ids::main::kWriteButton);
    ASSERT_TRUE(CloneBusyEvent.IsSet());
    // A refused ATIS keeps the Stop from acting: the write runs to its end.
    Edit(ids::main::kAtisEdit)->setText("0123");
    Click(ids::main::kWriteButton);
    EXPECT_FALSE(CloneStopEvent.IsSet());
    ASSERT_TRUE(WaitUntilIdle());
    ExpectOnlyMessage("Error", "Invalid ATIS ID:0123\nMake sure 9 digitals.", ui::PromptIcon::Error);
    EXPECT_EQ(Status(), "Write OK.");
}

TEST_F(CloneCommandsTest, ClosingDuringACloneStopsItAndClosesAfterwards) {
    SlowRadio();
    Click(ids::main::kReadButton);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(CloneStopEvent.IsSet());

    ASSERT_TRUE(WaitUntilIdle());
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    ExpectOnlyMessage("Read Error", "User Cancel.", ui::PromptIcon::Warning);
}

TEST(QueuedProgressTest, CallsFromAnotherThreadReachTheBarOnTheGuiThread) {
    QProgressBar bar;
    ui::QueuedProgress progress(&bar);
    std::thread worker([&progress] {
        progress.SetRange(0, 4);
        progress.SetStep(3);
        progress.StepIt();  // 0 + 3
        progress.StepIt();  // 6 is past 4: wraps round to 2
    });
    worker.join();
    EXPECT_EQ(bar.value(), bar.minimum() - 1);  // nothing has reached the bar yet
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.maximum(), 4);
    EXPECT_EQ(bar.value(), 2);
    progress.SetPos(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.value(), 1);
}

TEST(DemoModeTest, TheOptionPutsAFoundRadioBehindTheDevice) {
    EXPECT_TRUE(ui::DemoRequested({"orven-clone", "--demo"}));
    EXPECT_FALSE(ui::DemoRequested({"orven-clone"}));
    EXPECT_FALSE(ui::DemoRequested({"--demo"}));  // the program's own name is no option

    CHidDevice device{kUsbVendorId, kUsbProductId};
    EXPECT_FALSE(device.FindDevice());
    ui::AttachDemoRadio(device);
    EXPECT_TRUE(device.FindDevice());
}

}  // namespace
}  // namespace orven::test

// The picture of a read in progress for the documentation. Disabled in normal runs; to refresh
// it, run with ORVEN_SCREENSHOT_DIR=docs --gtest_also_run_disabled_tests
// --gtest_filter='*ScreenshotOfARead*'.
namespace orven::test {
namespace {

TEST_F(CloneCommandsTest, DISABLED_ScreenshotOfAReadHalfWay) {
    const QString dir = qEnvironmentVariable("ORVEN_SCREENSHOT_DIR");
    ASSERT_FALSE(dir.isEmpty()) << "set ORVEN_SCREENSHOT_DIR";
    backend->WithRadio([](SimulatedRadio& r) { r.Faults().usbLatency = 20ms; });
    window->show();
    window->OnTimer();  // "Detected"
    Action(ids::menu::kReadFromRadio)->trigger();
    auto* bar = Find<QProgressBar>(ids::main::kProgressBar);
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (bar->value() < 38 && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);

    QMenu* clone = Action(ids::menu::kReadFromRadio)->associatedObjects().isEmpty()
                       ? nullptr
                       : qobject_cast<QMenu*>(Action(ids::menu::kReadFromRadio)->associatedObjects().first());
    ASSERT_NE(clone, nullptr);
    QMenuBar* menuBar = window->menuBar();
    const QPoint below = menuBar->mapTo(window.get(), menuBar->actionGeometry(clone->menuAction()).bottomLeft());
    clone->popup(window->mapToGlobal(below));
    QCoreApplication::processEvents();
    QPixmap picture = window->grab();
    {
        QPainter painter(&picture);
        painter.drawPixmap(below, clone->grab());
    }
    clone->hide();
    EXPECT_TRUE(picture.save(QDir(dir).filePath(QStringLiteral("main-reading.png")), "PNG"));
}

}  // namespace
}  // namespace orven::test
