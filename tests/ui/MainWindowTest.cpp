// The main window as the user meets it: what a fresh start shows, the title, the file commands
// and their questions, the number arrows, the tools, the status countdown, USB detection and
// the port combo.
#include "tests/ui/MainWindowFixture.h"

#include "files/Paths.h"
#include "sim/SimulatedHidBackend.h"
#include "ui/UpDownArrows.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include <cstddef>
#include <cstring>

namespace orven::test {
namespace {

using ui::FindById;

std::vector<std::uint8_t> BytesOf(const RadioSettings& s) {
    const auto bytes = Bytes(s);
    return {bytes.begin(), bytes.end()};
}

std::uint32_t Word(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// Judges write access by the permission bits alone: root may write to anything, so the
// system's own test cannot tell a write-protected file there.
bool OwnerMayWrite(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) != 0;
}

// Runs the model wizard with one model button and, when given, a country entry, then OK.
std::function<int(QDialog&)> Wizard(int modelButton, int country = -1) {
    return [=](QDialog& dialog) {
        FindById<QRadioButton>(&dialog, modelButton)->click();
        if (country >= 0)
            FindById<QComboBox>(&dialog, ids::wizard::kCountryCombo)->setCurrentIndex(country);
        return PressOk(dialog);
    };
}

// Restores the process's working directory when it goes.
class WorkingDirectoryGuard {
public:
    WorkingDirectoryGuard() : saved_(CurrentDirectory()) {}
    ~WorkingDirectoryGuard() { EXPECT_EQ(chdir(saved_.c_str()), 0); }

private:
    std::string saved_;
};

TEST_F(MainWindowTest, FreshStartShowsTheRememberedModelsDefaultsUntitled) {
    EXPECT_EQ(window->windowTitle(), "ORVEN V1.15");
    EXPECT_EQ(Find<QGroupBox>(ids::main::kIdentityGroup)->title(), "ORVEN");
    EXPECT_FALSE(Find<QAction>(ids::menu::kSave)->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>(ids::main::kModelUsa)->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(ids::main::kModelEurope)->isChecked());
    EXPECT_EQ(Text(ids::main::kStatusText), "Ready");
    EXPECT_EQ(Text(ids::main::kUsbStatus), "--------");
    EXPECT_EQ(Text(ids::main::kOptionLine), "");
    EXPECT_EQ(state.untitled, 1u);
    EXPECT_EQ(state.modified, 0u);

    EXPECT_EQ(Combo(ids::main::kPortCombo)->currentText(), "USB");
    EXPECT_EQ(ComboItems(Combo(ids::main::kBaudCombo)),
              QStringList({"4800", "9600", "14400", "19200", "38400", "56000", "57600", "115200"}));
    EXPECT_EQ(Combo(ids::main::kBaudCombo)->currentText(), "9600");
    EXPECT_EQ(ComboItems(Combo(ids::main::kTxStepCombo)),
              QStringList({"6.25KHz", "12.5KHz", "25KHz"}));
    EXPECT_EQ(Combo(ids::main::kTxStepCombo)->currentText(), "6.25KHz");
    EXPECT_EQ(Combo(ids::main::kRxStepCombo)->currentText(), "12.5KHz");
    EXPECT_EQ(ComboItems(Combo(ids::main::kRxMidCombo)), QStringList({"19.65MHz", "38.85MHz"}));
    EXPECT_EQ(Combo(ids::main::kRxMidCombo)->currentText(), "19.65MHz");

    // The USA defaults offer INT, USA, CAN and the weather channels; INT is listed first.
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)), QStringList({"INT", "USA", "CAN", "WX"}));
    EXPECT_EQ(List()->count(), 57);
    EXPECT_TRUE(List()->item(15)->text().startsWith("16, TX:156.8000  RX:156.8000,"));
    auto* wx = Find<QCheckBox>(ids::main::kWxChannels);
    auto* priv = Find<QCheckBox>(ids::main::kBandPrivate);
    EXPECT_TRUE(wx->isChecked());
    EXPECT_FALSE(priv->isChecked());
    EXPECT_FALSE(wx->isEnabled());
    EXPECT_FALSE(priv->isEnabled());
}

TEST_F(MainWindowTest, TitleOfAnOpenedFileShowsItsStateAndVariant) {
    const std::string path = WriteDocument("a.dat", *Defaults(kModelUsa));
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    if (geteuid() == 0) window->SetWriteAccessTest(OwnerMayWrite);
    Open(path);
    EXPECT_EQ(Text(ids::main::kStatusText), "Open file OK.");
    EXPECT_EQ(window->windowTitle(), "/a.dat(Read only) - VOROZUDE V1.15");
    EXPECT_EQ(Find<QGroupBox>(ids::main::kIdentityGroup)->title(), "");
    EXPECT_TRUE(Find<QAction>(ids::menu::kSave)->isEnabled());

    Click(ids::main::kBandCan);
    EXPECT_EQ(window->windowTitle(), "/a.dat(Read only)* - VOROZUDE V1.15");

    // Yes to the close question cannot overwrite the protected file: it asks for a new name.
    prompts.answers = {true};
    prompts.saveNames = {QString::fromStdString(dir.File("b.dat"))};
    window->close();
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].title, "WARNING");
    EXPECT_EQ(prompts.questions[0].text, "File is Modify. Do you want to save?");
    EXPECT_EQ(Word(ReadBytes(path), offsetof(RadioSettings, bandCAN)), 1u);
    EXPECT_EQ(Word(ReadBytes(dir.File("b.dat")), offsetof(RadioSettings, bandCAN)), 0u);

    // A European variant, and a file outside the working folder, which shows its whole path.
    TempDir elsewhere;
    const std::string outside = elsewhere.File("e.dat");
    ASSERT_EQ(SaveSettingsFile(outside, *Defaults(kModelEurInt)), kResultOk);
    AppState european = FreshAppState();
    european.modelType = kModelEurInt;
    Start(european);
    Open(outside);
    EXPECT_EQ(window->windowTitle(), QString::fromStdString(outside) + " - RAVUZORU V1.15");
}

TEST_F(MainWindowTest, EditsReachTheFileAndComeBackWhenItIsOpenedAgain) {
    const std::string path = dir.File("edit.dat");
    prompts.saveNames = {QString::fromStdString(path)};
    Trigger(ids::menu::kSaveAs);
    EXPECT_EQ(Text(ids::main::kStatusText), "Save as file OK.");
    EXPECT_EQ(window->windowTitle(), "/edit.dat - VOROZUDE V1.15");
    EXPECT_TRUE(Find<QAction>(ids::menu::kSave)->isEnabled());

    auto* mmsi = Find<QLineEdit>(ids::main::kMmsiEdit);
    auto* nmea = Find<QLineEdit>(ids::main::kNmeaEdit);
    mmsi->setFocus();
    QTest::keyClicks(mmsi, "366123456");
    nmea->setFocus();  // leaving the MMSI field is a change
    EXPECT_EQ(window->windowTitle(), "/edit.dat* - VOROZUDE V1.15");
    QTest::keyClicks(nmea, "123456");
    Click(ids::main::kBandCan);
    Combo(ids::main::kTxStepCombo)->setCurrentIndex(1);
    Trigger(ids::menu::kSave);
    EXPECT_EQ(Text(ids::main::kStatusText), "Save file OK.");
    EXPECT_EQ(window->windowTitle(), "/edit.dat - VOROZUDE V1.15");

    // The USA defaults with the edits; gathering the USA model also switches Private off.
    auto expected = Defaults(kModelUsa);
    CopyText(expected->mmsiId, "366123456");
    CopyText(expected->nmeaNo, "123456");
    expected->bandCAN = 0;
    expected->bandPrivate = 0;
    expected->txStepIndex = kStep12_5kHz;
    EXPECT_EQ(ReadBytes(path), BytesOf(*expected));

    // Eight digits are no MMSI: the stored one stays.
    mmsi->setText("12345678");
    Trigger(ids::menu::kSave);
    EXPECT_EQ(ReadBytes(path), BytesOf(*expected));

    Start(FreshAppState());
    Open(path);
    EXPECT_EQ(Find<QLineEdit>(ids::main::kMmsiEdit)->text(), "366123456");
    EXPECT_EQ(Find<QLineEdit>(ids::main::kNmeaEdit)->text(), "123456");
    EXPECT_FALSE(Find<QCheckBox>(ids::main::kBandCan)->isChecked());
    EXPECT_EQ(Combo(ids::main::kTxStepCombo)->currentText(), "12.5KHz");
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)), QStringList({"INT", "USA", "WX"}));
}

TEST_F(MainWindowTest, StoredStepsTheComboCannotShowSurviveUntilTheUserPicksOne) {
    auto doc = Defaults(kModelUsa);
    doc->bandPrivate = 0;  // as gathering the USA model leaves it
    doc->txStepIndex = kStep25kHz;
    doc->rxStepIndex = 7;
    const std::string path = WriteDocument("pll.dat", *doc);
    Open(path);
    EXPECT_EQ(Combo(ids::main::kTxStepCombo)->currentText(), "25KHz");
    EXPECT_EQ(Combo(ids::main::kRxStepCombo)->currentText(), "6.25KHz");
    Trigger(ids::menu::kSave);
    EXPECT_EQ(ReadBytes(path), BytesOf(*doc));

    // A pick only sets the flag: the title shows it from its next refresh on.
    Combo(ids::main::kRxStepCombo)->setCurrentIndex(kStep12_5kHz);
    EXPECT_EQ(state.modified, 1u);
    EXPECT_EQ(window->windowTitle(), "/pll.dat - VOROZUDE V1.15");
    Trigger(ids::menu::kSave);
    EXPECT_EQ(Word(ReadBytes(path), offsetof(RadioSettings, rxStepIndex)), 1u);
    EXPECT_EQ(Word(ReadBytes(path), offsetof(RadioSettings, txStepIndex)), 2u);
}

TEST_F(MainWindowTest, FilesThatCannotBeLoadedChangeNothingAndSayWhy) {
    auto bad = Defaults(kModelEurInt);
    PrivateChannel(*bad, 0) = PrivateRecord("P1", 175.0);
    Open(WriteDocument("bad.dat", *bad));
    EXPECT_EQ(Text(ids::main::kStatusText), "Unknown File Format.");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "Error");
    EXPECT_EQ(prompts.messages[0].text, "Unknown File Format.");
    EXPECT_EQ(window->windowTitle(), "ORVEN V1.15");
    EXPECT_FALSE(Find<QAction>(ids::menu::kSave)->isEnabled());

    Open(dir.File("missing.dat"));
    EXPECT_EQ(Text(ids::main::kStatusText), "Open File Error.");
    EXPECT_EQ(prompts.MessageTexts().last(), "Open File Error.");

    // A cancelled open dialog changes nothing either.
    prompts.openNames = {QString()};
    Trigger(ids::menu::kOpen);
    EXPECT_EQ(prompts.messages.size(), 2u);
}

TEST_F(MainWindowTest, FailedSavesReportAndKeepTheDocumentState) {
    prompts.saveNames = {QString()};
    Trigger(ids::menu::kSaveAs);
    EXPECT_FALSE(Find<QAction>(ids::menu::kSave)->isEnabled());
    EXPECT_EQ(Text(ids::main::kStatusText), "Ready");
    EXPECT_EQ(prompts.startDirs.value(0), QString::fromStdString(dir.File("*.dat")));

    prompts.saveNames = {QString::fromStdString(dir.File("no/such/x.dat"))};
    Trigger(ids::menu::kSaveAs);
    EXPECT_EQ(Text(ids::main::kStatusText), "Save as file error.");
    EXPECT_FALSE(Find<QAction>(ids::menu::kSave)->isEnabled());
    EXPECT_EQ(window->windowTitle(), "ORVEN V1.15");

    // The opened file has become a folder, which no save can replace.
    const std::string path = WriteDocument("s.dat", *Defaults(kModelUsa));
    Open(path);
    Click(ids::main::kBandCan);
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    Trigger(ids::menu::kSave);
    EXPECT_EQ(Text(ids::main::kStatusText), "Save file error.");
    EXPECT_EQ(window->windowTitle(), "/s.dat* - VOROZUDE V1.15");
    EXPECT_EQ(state.modified, 1u);
}

// Open, Load Default and closing drop the document: each asks to save first, but only for an
// opened file with changes, and Yes saves it there.
TEST_F(MainWindowTest, CommandsThatDropTheDocumentAskOnlyForAnOpenedModifiedFile) {
    const std::string path = WriteDocument("q.dat", *Defaults(kModelUsa));
    const std::string other = WriteDocument("other.dat", *Defaults(kModelUsa));
    const struct {
        const char* question;
        std::function<void()> run;
    } cases[] = {
        {"Do you want to save?", [&] { Open(other); }},
        {"File is modified. Do you want to save?",
         [&] {
             prompts.dialogScript.push_back(PressOk);
             Trigger(ids::menu::kLoadDefault);
         }},
        {"File is Modify. Do you want to save?", [&] { Trigger(ids::menu::kExit); }},
    };
    for (const auto& c : cases) {
        for (const bool yes : {false, true}) {
            SCOPED_TRACE(std::string(c.question) + (yes ? " Yes" : " No"));
            prompts.questions.clear();
            Start(FreshAppState());
            Click(ids::main::kBandCan);  // untitled: nothing to ask
            c.run();
            Start(FreshAppState());
            Open(path);  // opened without changes: nothing either
            c.run();
            EXPECT_TRUE(prompts.questions.empty());

            Start(FreshAppState());
            Open(path);
            Click(ids::main::kBandCan);
            prompts.answers = {yes};
            c.run();
            ASSERT_EQ(prompts.questions.size(), 1u);
            EXPECT_EQ(prompts.questions[0].title, "WARNING");
            EXPECT_EQ(prompts.questions[0].text, QString::fromLatin1(c.question));
            EXPECT_EQ(Word(ReadBytes(path), offsetof(RadioSettings, bandCAN)), yes ? 0u : 1u);
            WriteDocument("q.dat", *Defaults(kModelUsa));
        }
    }
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, LoadDefaultTakesTheWizardsModelAndCountry) {
    Open(WriteDocument("w.dat", *Defaults(kModelUsa)));
    Click(ids::main::kBandCan);
    Trigger(ids::menu::kLoadDefault);  // a wizard not left with OK changes nothing
    EXPECT_EQ(window->windowTitle(), "/w.dat* - VOROZUDE V1.15");

    prompts.dialogScript.push_back(Wizard(ids::wizard::kEurInt, 2));  // Denmark
    Trigger(ids::menu::kLoadDefault);
    EXPECT_EQ(prompts.dialogTitles.value(0), "Model Wizard Dialog V1.15");
    EXPECT_EQ(state.modelType, kModelEurInt);
    EXPECT_EQ(state.countryIndex, 2);
    EXPECT_TRUE(Find<QRadioButton>(ids::main::kModelEurope)->isChecked());
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)), QStringList({"INT", "USA", "Private"}));
    ShowBand("Private");
    // Denmark's presets 101..103 and 111, 112 become F1..F3, L1, L2; 101 is 155.6250 MHz.
    ASSERT_EQ(List()->count(), 5);
    EXPECT_TRUE(List()->item(0)->text().startsWith(" F1,TX:155.6250  RX:155.6250 "));
    EXPECT_TRUE(List()->item(4)->text().startsWith(" L2,"));
    EXPECT_EQ(window->windowTitle(), "ORVEN V1.15");  // untitled again
    EXPECT_FALSE(Find<QAction>(ids::menu::kSave)->isEnabled());
    EXPECT_EQ(state.modified, 0u);

    prompts.dialogScript.push_back(Wizard(ids::wizard::kEurIntUsa, 8));  // None
    Trigger(ids::menu::kLoadDefault);
    EXPECT_EQ(state.modelType, kModelEurIntUsa);
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)),
              QStringList({"INT", "USA", "CAN", "Private"}));
    ShowBand("Private");
    EXPECT_EQ(List()->count(), 0);

    prompts.dialogScript.push_back(Wizard(ids::wizard::kUsa));
    Trigger(ids::menu::kLoadDefault);
    EXPECT_EQ(state.modelType, kModelUsa);
    EXPECT_TRUE(Find<QRadioButton>(ids::main::kModelUsa)->isChecked());
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)), QStringList({"INT", "USA", "CAN", "WX"}));
}

TEST_F(MainWindowTest, ArrowsStepTheirOwnNumberField) {
    auto press = [](QToolButton* arrow) { QTest::mouseClick(arrow, Qt::LeftButton); };
    Open(WriteDocument("n.dat", *Defaults(kModelUsa)));
    auto* nmea = Find<QLineEdit>(ids::main::kNmeaEdit);
    nmea->setText("89999999");
    press(Find<ui::UpDownArrows>(ids::main::kNmeaSpin)->UpButton());
    EXPECT_EQ(nmea->text(), "90000000");
    auto* serial = Find<QLineEdit>(ids::main::kSerialEdit);
    serial->setText("007");
    press(Find<ui::UpDownArrows>(ids::main::kSerialSpin)->DownButton());
    EXPECT_EQ(serial->text(), "6");
    EXPECT_EQ(nmea->text(), "90000000");

    // An arrow sets the flag but leaves the title until its next refresh.
    EXPECT_EQ(state.modified, 1u);
    EXPECT_EQ(window->windowTitle(), "/n.dat - VOROZUDE V1.15");
}

TEST_F(MainWindowTest, CheckSumShowsTheSettingsAsHeldWithoutGathering) {
    // USA defaults: seven flag words of 1 (rxStep, mmsiByUser and the bands INT, Private, USA,
    // CAN, WX), "ORVEN" (79+82+86+69+78 = 394) and "Corvantexia" (1156): 1557 = 0x615.
    Trigger(ids::menu::kViewCheckSum);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "CheckSum");
    EXPECT_EQ(prompts.messages[0].text, "CheckSum=0x00000615");

    Click(ids::main::kBandCan);
    Trigger(ids::menu::kViewCheckSum);
    EXPECT_EQ(prompts.messages[1].text, "CheckSum=0x00000615");

    // Saving gathers: CAN off, and Private off for the USA model.
    prompts.saveNames = {QString::fromStdString(dir.File("sum.dat"))};
    Trigger(ids::menu::kSaveAs);
    Trigger(ids::menu::kViewCheckSum);
    EXPECT_EQ(prompts.messages[2].text, "CheckSum=0x00000613");
}

TEST_F(MainWindowTest, ExportWritesTheReportInTheCurrentFolderAndOpensIt) {
    WorkingDirectoryGuard restore;
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    Trigger(ids::menu::kExportFreqTable);
    const std::string report = dir.File("FreqTabl.txt");
    EXPECT_EQ(prompts.viewed, QStringList({QString::fromStdString(report)}));
    const std::string text = ReadText(report);
    ASSERT_EQ(text.rfind("Date:", 0), 0u);
    // No channel in the store: the headings of INT and of the three bands the USA model has on.
    EXPECT_EQ(text.substr(text.find('\n')),
              "\n\nChannel   Name\t TxFreq\t\t RxFreq  \nINT\n\nUSA\n\nCAN\n\nWX\n");

    // A folder that was removed under the program cannot take the report.
    const std::string gone = dir.File("gone");
    std::filesystem::create_directory(gone);
    ASSERT_EQ(chdir(gone.c_str()), 0);
    std::filesystem::remove(gone);
    Trigger(ids::menu::kExportFreqTable);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "Error");
    EXPECT_TRUE(prompts.messages[0].text.startsWith("Can't Create file:\n"));
    EXPECT_TRUE(prompts.messages[0].text.endsWith("FreqTabl.txt"));
    EXPECT_EQ(prompts.viewed.size(), 1);
}

TEST_F(MainWindowTest, AboutOpensTheUserOptionsOnlyWhileCtrlIsHeld) {
    prompts.dialogScript.push_back([](QDialog& about) {
        EXPECT_EQ(FindById<QLabel>(&about, ids::about::kProductLine)->text(), "ORVEN Clone");
        return PressOk(about);
    });
    Trigger(ids::menu::kAbout);
    EXPECT_EQ(prompts.dialogTitles, QStringList({"About Dialog V1.15"}));

    prompts.ctrlHeld = true;
    prompts.dialogScript.push_back([](QDialog& dialog) {
        FindById<QCheckBox>(&dialog, ids::user::kTraceLog)->setChecked(true);
        FindById<QCheckBox>(&dialog, ids::user::kDumpImages)->setChecked(true);
        return PressOk(dialog);
    });
    Trigger(ids::menu::kAbout);
    EXPECT_EQ(prompts.dialogTitles.value(1), "User Dialog");
    EXPECT_EQ(state.traceLog, 1u);
    EXPECT_EQ(Text(ids::main::kOptionLine), "Logo;Save RomMap;");
}

TEST_F(MainWindowTest, FeatureSetupOkMarksTheSettingsModified) {
    Trigger(ids::menu::kFeatureSetup);  // left without OK
    EXPECT_EQ(prompts.dialogTitles, QStringList({"Feature Setup Dialog"}));
    EXPECT_EQ(state.modified, 0u);

    prompts.dialogScript.push_back([](QDialog& dialog) {
        FindById<QLineEdit>(&dialog, ids::feature::kModelEdit)->setText("SEACOM");
        return PressOk(dialog);
    });
    Trigger(ids::menu::kFeatureSetup);
    EXPECT_EQ(state.modified, 1u);
    EXPECT_EQ(Find<QGroupBox>(ids::main::kIdentityGroup)->title(), "SEACOM");
    EXPECT_EQ(window->windowTitle(), "SEACOM V1.15");
}

TEST_F(MainWindowTest, StatusReturnsToReadyTenTicksAfterACommand) {
    prompts.saveNames = {QString::fromStdString(dir.File("t.dat"))};
    Trigger(ids::menu::kSaveAs);
    for (int tick = 1; tick < ui::kStatusTicks; ++tick) {
        window->OnTimer();
        ASSERT_EQ(Text(ids::main::kStatusText), "Save as file OK.") << "tick " << tick;
    }
    window->OnTimer();
    EXPECT_EQ(Text(ids::main::kStatusText), "Ready.");
}

TEST_F(MainWindowTest, TimerShowsWhetherTheUsbRadioIsAttached) {
    SimulatedHidBackend radio;
    CHidDevice usb(kUsbVendorId, kUsbProductId, &radio);
    window->SetUsbDevice(usb);
    window->OnTimer();
    EXPECT_EQ(Text(ids::main::kUsbStatus), "Detected");
    window->OnTimer();
    EXPECT_EQ(radio.Opens(), 1u);  // an attached radio is not searched for again

    radio.SetPlugged(false);
    window->OnTimer();
    EXPECT_EQ(Text(ids::main::kUsbStatus), "--------");
    radio.SetPlugged(true);
    window->OnTimer();
    EXPECT_EQ(Text(ids::main::kUsbStatus), "Detected");
    window->SetUsbDevice(noRadio);
}

TEST_F(MainWindowTest, PortComboMarksThePortsThatAnsweredTheLastScan) {
    const std::string com3 = ports.MakePresent(3);
    Click(ids::main::kScanButton);
    QComboBox* port = Combo(ids::main::kPortCombo);
    const QStringList items = ComboItems(port);
    ASSERT_EQ(items.size(), 33);
    EXPECT_EQ(items[0], "USB");
    EXPECT_EQ(items[1], "COM1 -");
    EXPECT_EQ(items[3], "COM3");
    EXPECT_EQ(items[32], "COM32 -");
    EXPECT_EQ(items.filter(" -").size(), 31);
    EXPECT_EQ(port->itemData(3, Qt::ToolTipRole).toString(), QString::fromStdString(com3));

    port->setCurrentIndex(3);
    Combo(ids::main::kBaudCombo)->setCurrentIndex(7);
    EXPECT_EQ(state.comPort, 3);
    EXPECT_EQ(state.baudIndex, 7);
    EXPECT_EQ(state.modified, 0u);

    // A remembered port that has gone stays selected, marked absent.
    ports.MakeAbsent(3);
    Click(ids::main::kScanButton);
    EXPECT_EQ(port->currentIndex(), 3);
    EXPECT_EQ(port->currentText(), "COM3 -");
}

TEST(SteppedDecimalTextTest, ReadsLeadingDigitsAndStaysInRange) {
    using ui::ArrowDirection;
    const struct {
        const char* text;
        ArrowDirection direction;
        const char* stepped;
    } cases[] = {{"89999999", ArrowDirection::Up, "90000000"},
                 {"90000000", ArrowDirection::Up, "90000000"},
                 {"95000000", ArrowDirection::Up, "95000000"},
                 {"95000000", ArrowDirection::Down, "94999999"},
                 {"0", ArrowDirection::Down, "0"},
                 {"", ArrowDirection::Down, "0"},
                 {" 42", ArrowDirection::Up, "43"},
                 {"12ab", ArrowDirection::Up, "13"},
                 {"none", ArrowDirection::Up, "1"},
                 {"99999999999", ArrowDirection::Down, "4294967294"}};
    for (const auto& c : cases)
        EXPECT_EQ(ui::SteppedDecimalText(c.text, c.direction), QString::fromLatin1(c.stepped)) << c.text;
}

// The program's own Clone menu choices: state words shown in the option line, each where the
// state file kept a reserved word, so they travel with the file.
TEST_F(MainWindowTest, CloneChoicesAreStateWordsShownInTheOptionLine) {
    const struct {
        int id;
        const char* shown;
        std::size_t offset;
        const std::uint32_t AppState::*word;
    } choices[] = {{ids::menu::kFastTransfer, "Fast;", 48, &AppState::fastTransfer},
                   {ids::menu::kVerifyAfterWrite, "Verify;", 60, &AppState::verifyAfterWrite}};
    for (const auto& c : choices) {
        SCOPED_TRACE(c.shown);
        auto* action = Find<QAction>(c.id);
        ASSERT_NE(action, nullptr);
        EXPECT_TRUE(action->isCheckable());
        EXPECT_FALSE(action->isChecked());
        action->trigger();
        EXPECT_EQ(state.*c.word, 1u);
        EXPECT_EQ(Text(ids::main::kOptionLine), c.shown);
        EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(&state)[c.offset], 1);
        action->trigger();
        EXPECT_EQ(state.*c.word, 0u);
        EXPECT_EQ(Text(ids::main::kOptionLine), "");
    }
}

}  // namespace
}  // namespace orven::test
