// The clone commands of the main window, end to end against a simulated radio on USB.
#include "clone/CloneEvent.h"
#include "model/ImageCodec.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedHidBackend.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/CloneCommandController.h"
#include "ui/DemoMode.h"
#include "ui/QueuedProgress.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QProgressBar>

#include <chrono>
#include <cstring>
#include <thread>

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

    // Each USB report takes this long, so that an exchange lasts long enough to look at it.
    void SlowRadio(std::chrono::milliseconds latency = 10ms) {
        backend->WithRadio([latency](SimulatedRadio& r) { r.Faults().usbLatency = latency; });
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
    SimCounters RadioCounts() {
        return backend->WithRadio([](SimulatedRadio& r) { return r.Counters(); });
    }

    void ExpectOnlyMessage(const char* title, const char* text, ui::PromptIcon icon) {
        ASSERT_EQ(prompts.messages.size(), 1u) << ::testing::PrintToString(prompts.MessageTexts());
        EXPECT_EQ(prompts.messages[0].title, QString::fromLatin1(title));
        EXPECT_EQ(prompts.messages[0].text, QString::fromLatin1(text));
        EXPECT_EQ(prompts.messages[0].icon, icon);
    }
    void ExpectNoMessage() {
        EXPECT_TRUE(prompts.messages.empty()) << ::testing::PrintToString(prompts.MessageTexts());
    }

    // Idle, every clone control is enabled; while a command runs only its own menu item is,
    // named as its Stop.
    void ExpectMenu(int runningId = 0, const char* stopText = nullptr) {
        for (int id : {ids::menu::kWriteToRadio, ids::menu::kReadFromRadio, ids::menu::kVerify,
                       ids::menu::kHandShake}) {
            EXPECT_EQ(Action(id)->isEnabled(), runningId == 0 || id == runningId) << id;
        }
        if (stopText) {
            EXPECT_EQ(Action(runningId)->text(), QString::fromLatin1(stopText));
        }
        EXPECT_EQ(Button(ids::main::kReadButton)->isEnabled(), runningId == 0);
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
        EXPECT_EQ(state.modified, 0u);
    }
}

TEST_F(CloneCommandsTest, ReadReplacesTheDocumentWriteSendsTheControlsBackVerifyShowsDifferences) {
    Click(ids::main::kReadButton);
    ASSERT_TRUE(WaitUntilIdle());
    ExpectNoMessage();
    EXPECT_EQ(Status(), "Read OK.");
    EXPECT_EQ(state.modified, 1u);
    EXPECT_EQ(Edit(ids::main::kSerialEdit)->text(), kDemoSerial);

    SetEntryByUser(false);
    Edit(ids::main::kMmsiEdit)->setText("123456789");
    Edit(ids::main::kNmeaEdit)->setText("654321");
    window->MarkModified();  // as leaving the edit does
    Click(ids::main::kWriteButton);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Status(), "Write OK.");
    EXPECT_EQ(RadioCounts().writes, kWriteChunks);

    Edit(ids::main::kMmsiEdit)->setText("");
    Edit(ids::main::kNmeaEdit)->setText("");
    Click(ids::main::kReadButton);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Edit(ids::main::kMmsiEdit)->text(), "123456789");
    EXPECT_EQ(Edit(ids::main::kNmeaEdit)->text(), "654321");

    // Verify opens its report when the PC side differs, here in the TX step.
    QComboBox* txStep = Combo(ids::main::kTxStepCombo);
    txStep->setCurrentIndex(txStep->currentIndex() == 0 ? 1 : 0);
    Trigger(ids::menu::kVerify);
    ASSERT_TRUE(WaitUntilIdle());
    ExpectNoMessage();
    EXPECT_EQ(Status(), "Verify Error.");
    EXPECT_EQ(prompts.viewed, QStringList({QString::fromStdString(dir.File("Verify.txt"))}));
    EXPECT_NE(ReadText(dir.File("Verify.txt")).find("TxFreqStep="), std::string::npos);

    // Without a viewer on the desktop the user learns where the report is.
    prompts.viewerStarts = false;
    Trigger(ids::menu::kVerify);
    ASSERT_TRUE(WaitUntilIdle());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.endsWith(":\n" + QString::fromStdString(dir.File("Verify.txt"))))
        << prompts.messages[0].text.toStdString();
}

TEST_F(CloneCommandsTest, VerifyAfterWriteReadsTheRadioBackAndNamesWhatDiffers) {
    SetEntryByUser(false);
    Trigger(ids::menu::kVerifyAfterWrite);
    Click(ids::main::kWriteButton);
    ASSERT_TRUE(WaitUntilIdle());
    ExpectNoMessage();
    EXPECT_EQ(Status(), "Write OK. Verify OK.");
    EXPECT_EQ(RadioCounts().frames, 1u + kWriteChunks + 2u + kWriteChunks) << "the write, then the read-back";

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
}

// While a command runs, its own control is its Stop; choosing it again stops the command, which
// says so in its box (Verify in the status line only) and leaves the document as it was.
TEST_F(CloneCommandsTest, TheRunningCommandIsItsOwnStop) {
    SlowRadio();
    struct Case {
        int startId, stopId, menuId;
        const char* stopText;
        const char* errorTitle;  // nullptr: no box
        const char* status;
    };
    const Case cases[] = {
        {ids::main::kWriteButton, ids::main::kWriteButton, ids::menu::kWriteToRadio, "Stop Write",
         "Write Error", "Ready."},
        {ids::main::kReadButton, ids::menu::kReadFromRadio, ids::menu::kReadFromRadio, "Stop Read",
         "Read Error", "Read Error."},
        {ids::menu::kVerify, ids::menu::kVerify, ids::menu::kVerify, "Stop Verify", nullptr, "User Cancel."},
        {ids::menu::kHandShake, ids::menu::kHandShake, ids::menu::kHandShake, "Stop HandShake",
         "HandShake Error.", "Ready."},
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
        ExpectMenu(c.menuId, c.stopText);
        const bool writing = c.menuId == ids::menu::kWriteToRadio;
        EXPECT_EQ(Button(ids::main::kWriteButton)->text(), writing ? "Stop" : "Write to Radio");

        choose(c.stopId);
        ASSERT_TRUE(WaitUntilIdle());
        if (c.errorTitle) ExpectOnlyMessage(c.errorTitle, "User Cancel.", ui::PromptIcon::Warning);
        else ExpectNoMessage();
        EXPECT_EQ(Status(), QString::fromLatin1(c.status));
        EXPECT_EQ(std::memcmp(before.get(), &window->Settings(), sizeof(RadioSettings)), 0);
        ExpectMenu();
    }
    EXPECT_LT(RadioCounts().writes, kWriteChunks);
}

TEST_F(CloneCommandsTest, ASecondStartWhileBusyOnlyAsksTheRunningOneToStop) {
    SlowRadio();
    Click(ids::main::kReadButton);
    window->CloneCommands().OnVerify();  // what a command that slipped through would do
    EXPECT_TRUE(CloneStopEvent.IsSet());
    EXPECT_EQ(Status(), "Reading...");
    ASSERT_TRUE(WaitUntilIdle());
    ExpectOnlyMessage("Read Error", "User Cancel.", ui::PromptIcon::Warning);

    // The next start begins afresh: the stop left behind does not cancel it.
    SlowRadio(0ms);
    Trigger(ids::menu::kHandShake);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Status(), "HandShake OK.");
}

// A refused identity stops the write before a frame goes out; entry by user lets any through,
// and a refusal while writing keeps the Stop from acting.
TEST_F(CloneCommandsTest, WriteChecksRefuseBadIdentitiesBeforeAnythingStarts) {
    SetEntryByUser(false);
    Edit(ids::main::kNmeaEdit)->setText("12a456");
    Click(ids::main::kWriteButton);
    EXPECT_FALSE(CloneBusyEvent.IsSet());
    ExpectOnlyMessage("Error", "Invalid NMEA ID:12a456\nMake sure 6 digitals.", ui::PromptIcon::Error);
    EXPECT_EQ(RadioCounts().frames, 0u);

    prompts.messages.clear();
    Edit(ids::main::kNmeaEdit)->setText("");
    Find<QAbstractButton>(ids::main::kMmsiByUser)->setChecked(true);
    Edit(ids::main::kMmsiEdit)->setText("0");
    SlowRadio();
    Click(ids::main::kWriteButton);
    ASSERT_TRUE(CloneBusyEvent.IsSet());
    Edit(ids::main::kAtisEdit)->setText("0123");
    Click(ids::main::kWriteButton);
    EXPECT_FALSE(CloneStopEvent.IsSet());
    ASSERT_TRUE(WaitUntilIdle());
    ExpectOnlyMessage("Error", "Invalid ATIS ID:0123\nMake sure 9 digitals.", ui::PromptIcon::Error);
    EXPECT_EQ(Status(), "Write OK.");
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
    Click(ids::main::kReadButton);
    ASSERT_TRUE(WaitUntilIdle());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "Read Error");
    EXPECT_TRUE(prompts.messages[0].text.contains("private channel 1 ")) << prompts.messages[0].text.toStdString();
    EXPECT_TRUE(prompts.messages[0].text.endsWith(QString::fromStdString(dir.File("ReadRom.bin"))));
    EXPECT_EQ(Status(), "Read Error.");
    EXPECT_EQ(std::memcmp(before.get(), &window->Settings(), sizeof(RadioSettings)), 0);
    EXPECT_EQ(state.modified, 0u);
    const auto kept = ReadBytes(dir.File("ReadRom.bin"));
    ASSERT_EQ(kept.size(), kImageSize);
    EXPECT_TRUE(std::equal(memory.begin() + kCloneFirst, memory.begin() + kCloneLast + 1, kept.begin() + kCloneFirst));
}

// Trace and dump files asked for that cannot be written are named once the transfer has ended;
// the transfer's own result stands.
TEST_F(CloneCommandsTest, RequestedTraceAndDumpFilesThatCannotBeWrittenAreNamed) {
    state.traceLog = 1;
    state.dumpImages = 1;
    for (const char* name : {"CommLogo.bin", "ReadRom.bin"}) std::filesystem::create_directory(dir.File(name));
    Click(ids::main::kReadButton);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Status(), "Read OK.");
    EXPECT_EQ(Edit(ids::main::kSerialEdit)->text(), kDemoSerial);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "These files the user options ask for could not be written:\n" +
                                            QString::fromStdString(dir.File("CommLogo.bin") + "\n" + dir.File("ReadRom.bin")));
}

// The stop that closing asks for is no error: no box, and the save question comes once the
// worker has ended, just before the window closes.
TEST_F(CloneCommandsTest, ExitDuringACloneStopsItAndClosesAfterwards) {
    Open(WriteDocument("open.dat", *Defaults(kModelUsa)));
    Click(ids::main::kBandCan);
    prompts.messages.clear();
    SlowRadio();
    Click(ids::main::kReadButton);
    Trigger(ids::menu::kExit);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(CloneStopEvent.IsSet());
    EXPECT_TRUE(prompts.questions.empty());

    ASSERT_TRUE(WaitUntilIdle());
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    ExpectNoMessage();
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].text, "File is Modify. Do you want to save?");
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
    EXPECT_EQ(bar.value(), 2);
}

TEST(DemoModeTest, TheOptionPutsAFoundRadioBehindTheDevice) {
    EXPECT_TRUE(ui::DemoRequested({"orven-clone", "--demo"}));
    EXPECT_FALSE(ui::DemoRequested({"--demo"}));  // the program's own name is no option
    CHidDevice device{kUsbVendorId, kUsbProductId};
    ui::AttachDemoRadio(device);
    EXPECT_TRUE(device.FindDevice());
}

}  // namespace
}  // namespace orven::test
