// The main window as the user meets it: the title, the file commands and their
// questions, the number arrows, the tools, the status countdown, USB detection and the port combo.
#include "tests/ui/MainWindowFixture.h"

#include "files/Paths.h"
#include "sim/SimulatedHidBackend.h"
#include "ui/UpDownArrows.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
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

std::uint32_t Word(const std::string& path, std::size_t offset) {
    const auto bytes = ReadBytes(path);
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

// The visible widgets that the window's layouts place: everything but the insides of the channel
// list, which follow its content.
std::vector<QWidget*> PlacedWidgets(QWidget* window) {
    std::vector<QWidget*> placed;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        bool insideList = false;
        for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
            insideList = insideList || qobject_cast<QAbstractScrollArea*>(p) != nullptr;
        if (w->isVisible() && !w->isWindow() && !insideList) placed.push_back(w);
    }
    return placed;
}

std::string Describe(const QWidget* w) {
    QString text;
    if (auto* label = qobject_cast<const QLabel*>(w)) text = label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) text = button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(w)) text = group->title();
    return QStringLiteral("%1 %2 \"%3\"").arg(QLatin1String(w->metaObject()->className()), w->objectName(), text.left(24)).toStdString();
}

// The least size a layout gives the widget: its own minimum where set, else its minimum hint.
QSize LeastSize(const QWidget* w) {
    const QSize hint = w->minimumSizeHint();
    const bool ignoresWidth = w->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored;
    const bool ignoresHeight = w->sizePolicy().verticalPolicy() == QSizePolicy::Ignored;
    return {w->minimumWidth() > 0 ? w->minimumWidth() : ignoresWidth ? 0 : std::max(hint.width(), 0),
            w->minimumHeight() > 0 ? w->minimumHeight() : ignoresHeight ? 0 : std::max(hint.height(), 0)};
}

// Long enough for the toolkit's own short timers (a combo's resize to its entries: 20 ms) to run.
constexpr int kSettleMs = 100;

// Every move, resize or hiding of the watched widgets, as it happens.
class GeometrySpy : public QObject {
public:
    explicit GeometrySpy(const std::vector<QWidget*>& widgets) {
        for (QWidget* w : widgets) w->installEventFilter(this);
    }
    std::vector<std::string> changes;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Move && type != QEvent::Resize && type != QEvent::Hide) return false;
        const auto* w = static_cast<QWidget*>(watched);
        const QRect r = w->geometry();
        changes.push_back(Describe(w) + QStringLiteral(" now %1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString());
        return false;
    }
};

// Restores the process's working directory when it goes.
class WorkingDirectoryGuard {
public:
    WorkingDirectoryGuard() : saved_(CurrentDirectory()) {}
    ~WorkingDirectoryGuard() { EXPECT_EQ(chdir(saved_.c_str()), 0); }

private:
    std::string saved_;
};

TEST_F(MainWindowTest, TitleOfAnOpenedFileShowsItsStateAndVariant) {
    const std::string path = WriteDocument("a.dat", *Defaults(kModelUsa));
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    if (geteuid() == 0) window->SetWriteAccessTest(OwnerMayWrite);
    Open(path);
    Click(ids::main::kBandCan);
    EXPECT_EQ(window->windowTitle(), "/a.dat(Read only)* - VOROZUDE V1.15");

    // Yes to the close question cannot overwrite the protected file: it asks for a new name.
    prompts.answers = {true};
    prompts.saveNames = {QString::fromStdString(dir.File("b.dat"))};
    window->close();
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(Word(path, offsetof(RadioSettings, bandCAN)), 1u);
    EXPECT_EQ(Word(dir.File("b.dat"), offsetof(RadioSettings, bandCAN)), 0u);
}

TEST_F(MainWindowTest, EditsReachTheFileAndComeBackWhenItIsOpenedAgain) {
    const std::string path = dir.File("edit.dat");
    prompts.saveNames = {QString::fromStdString(path)};
    Trigger(ids::menu::kSaveAs);
    EXPECT_EQ(window->windowTitle(), "/edit.dat - VOROZUDE V1.15");

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
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)), QStringList({"INT", "USA", "WX"}));
}

// Open and Load Default set each identity field from the document they show, empty where it holds
// none: no radio's identities are carried into another document.
TEST_F(MainWindowTest, ShowingADocumentSetsEveryIdentityFieldFromIt) {
    auto held = Defaults(kModelEurInt);
    held->mmsiByUser = held->atisByUser = 0;
    CopyText(held->mmsiId, "211234560");
    CopyText(held->atisId, "211234567");
    CopyText(held->nmeaNo, "123456");
    CopyText(held->serialNo, "20261206");
    const std::string with = WriteDocument("with.dat", *held);
    const std::string without = WriteDocument("without.dat", *Defaults(kModelEurInt));
    const auto fields = [this] {
        QStringList texts;
        for (int id : {ids::main::kMmsiEdit, ids::main::kAtisEdit, ids::main::kNmeaEdit, ids::main::kSerialEdit})
            texts << Find<QLineEdit>(id)->text();
        return texts;
    };
    const std::function<void()> shows[] = {[&] { Open(without); },
                                           [&] {
                                               prompts.dialogScript.push_back(PressOk);
                                               Trigger(ids::menu::kLoadDefault);
                                           }};
    for (const auto& show : shows) {
        Open(with);
        ASSERT_EQ(fields(), QStringList({"211234560", "211234567", "123456", "20261206"}));
        show();
        EXPECT_EQ(fields(), QStringList({"", "", "", ""}));
    }
    Open(with);
    Open(without);
    prompts.saveNames = {QString::fromStdString(dir.File("copy.dat"))};
    Trigger(ids::menu::kSaveAs);
    EXPECT_TRUE(ReadBytes(dir.File("copy.dat")) == ReadBytes(without)) << "Save as changed the document shown";
}

// Any edit of any field of the document marks it modified at once: "*" in the title, and the save
// question before the document is dropped.
TEST_F(MainWindowTest, EveryEditMarksTheDocumentModifiedAtOnce) {
    const std::string path = WriteDocument("m.dat", *Defaults(kModelUsa));
    const auto type = [this](int id) { QTest::keyClicks(Find<QLineEdit>(id), "1"); };
    const auto arrow = [this](int id) { QTest::mouseClick(Find<ui::UpDownArrows>(id)->UpButton(), Qt::LeftButton); };
    const auto pick = [this](int id) { Combo(id)->setCurrentIndex(1 - Combo(id)->currentIndex()); };
    const std::function<void()> edits[] = {
        [&] { type(ids::main::kMmsiEdit); },    [&] { type(ids::main::kAtisEdit); },
        [&] { type(ids::main::kNmeaEdit); },    [&] { type(ids::main::kSerialEdit); },
        [&] { arrow(ids::main::kNmeaSpin); },   [&] { arrow(ids::main::kSerialSpin); },
        [&] { pick(ids::main::kTxStepCombo); }, [&] { pick(ids::main::kRxStepCombo); },
        [&] { pick(ids::main::kRxMidCombo); },
    };
    for (std::size_t i = 0; i < std::size(edits); ++i) {
        SCOPED_TRACE(i);
        Start(FreshAppState());
        Open(path);
        edits[i]();
        EXPECT_EQ(window->windowTitle(), "/m.dat* - VOROZUDE V1.15");
        prompts.questions.clear();
        Trigger(ids::menu::kExit);
        EXPECT_EQ(prompts.questions.size(), 1u);
    }
}

// Texts that go into a settings file or a radio take printable ASCII only: anything else, typed
// or pasted, is refused by character and position, and the field keeps what it held.
TEST_F(MainWindowTest, TextFieldsRefuseAllButPrintableAscii) {
    const auto paste = [this](QLineEdit* edit, const char* what) {
        edit->setText("12");
        edit->end(false);
        QGuiApplication::clipboard()->setText(QString::fromUtf8("3\xC3\xA9"));
        edit->paste();
        QCoreApplication::processEvents();
        EXPECT_EQ(edit->text(), "12") << what;
        EXPECT_EQ(prompts.MessageTexts().value(prompts.messages.size() - 1),
                  QString::fromUtf8(what) + " holds \"\xC3\xA9\" at position 4: only printable ASCII characters can be stored.");
    };
    paste(Find<QLineEdit>(ids::main::kSerialEdit), "The serial number");
    paste(Find<QLineEdit>(ids::main::kNmeaEdit), "The NMEA2000 number");
    prompts.dialogScript.push_back([&](QDialog& dialog) {
        paste(FindById<QLineEdit>(&dialog, ids::feature::kBrandEdit), "The brand name");
        paste(FindById<QLineEdit>(&dialog, ids::feature::kModelEdit), "The model name");
        return PressOk(dialog);
    });
    Trigger(ids::menu::kFeatureSetup);
    EXPECT_EQ(prompts.messages.size(), 4u);
    EXPECT_EQ(std::string(window->Settings().modelName), "12");
}

TEST_F(MainWindowTest, StoredStepsTheComboCannotShowSurviveUntilTheUserPicksOne) {
    auto doc = Defaults(kModelUsa);
    doc->bandPrivate = 0;  // as gathering the USA model leaves it
    doc->rxStepIndex = 7;
    const std::string path = WriteDocument("pll.dat", *doc);
    Open(path);
    Trigger(ids::menu::kSave);
    EXPECT_EQ(ReadBytes(path), BytesOf(*doc));

    Combo(ids::main::kRxStepCombo)->setCurrentIndex(kStep12_5kHz);
    Trigger(ids::menu::kSave);
    EXPECT_EQ(Word(path, offsetof(RadioSettings, rxStepIndex)), 1u);
}

TEST_F(MainWindowTest, FilesThatCannotBeLoadedChangeNothingAndSayWhy) {
    auto bad = Defaults(kModelEurInt);
    PrivateChannel(*bad, 0) = PrivateRecord("P1", 175.0);
    Open(WriteDocument("bad.dat", *bad));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "Error");
    EXPECT_EQ(prompts.messages[0].text, "Unknown File Format.");
    EXPECT_EQ(window->windowTitle(), "ORVEN V1.15");
    EXPECT_FALSE(Find<QAction>(ids::menu::kSave)->isEnabled());

    Open(dir.File("missing.dat"));
    EXPECT_EQ(prompts.MessageTexts().last(), "Open File Error.");
}

TEST_F(MainWindowTest, FailedSavesReportAndKeepTheDocumentState) {
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
            EXPECT_EQ(Word(path, offsetof(RadioSettings, bandCAN)), yes ? 0u : 1u);
            WriteDocument("q.dat", *Defaults(kModelUsa));
        }
    }
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, LoadDefaultTakesTheWizardsModelAndCountry) {
    Open(WriteDocument("w.dat", *Defaults(kModelUsa)));
    prompts.dialogScript.push_back([](QDialog& dialog) {
        FindById<QRadioButton>(&dialog, ids::wizard::kEurInt)->click();
        FindById<QComboBox>(&dialog, ids::wizard::kCountryCombo)->setCurrentIndex(2);  // Denmark
        return PressOk(dialog);
    });
    Trigger(ids::menu::kLoadDefault);
    EXPECT_EQ(state.modelType, kModelEurInt);
    EXPECT_EQ(state.countryIndex, 2);
    EXPECT_TRUE(Find<QRadioButton>(ids::main::kModelEurope)->isChecked());
    ShowBand("Private");
    // Denmark's presets 101..103 and 111, 112 become F1..F3, L1, L2; 101 is 155.6250 MHz.
    ASSERT_EQ(List()->count(), 5);
    EXPECT_TRUE(List()->item(0)->text().startsWith(" F1,TX:155.6250  RX:155.6250 "));
    EXPECT_EQ(window->windowTitle(), "ORVEN V1.15");  // untitled again
    EXPECT_EQ(state.modified, 0u);
}

TEST_F(MainWindowTest, ArrowsStepTheirOwnNumberField) {
    auto press = [](QToolButton* arrow) { QTest::mouseClick(arrow, Qt::LeftButton); };
    auto* nmea = Find<QLineEdit>(ids::main::kNmeaEdit);
    nmea->setText("89999999");
    press(Find<ui::UpDownArrows>(ids::main::kNmeaSpin)->UpButton());
    EXPECT_EQ(nmea->text(), "90000000");
    auto* serial = Find<QLineEdit>(ids::main::kSerialEdit);
    serial->setText("007");
    press(Find<ui::UpDownArrows>(ids::main::kSerialSpin)->DownButton());
    EXPECT_EQ(serial->text(), "6");
}

TEST(SteppedDecimalTextTest, ReadsLeadingDigitsAndStaysInRange) {
    using ui::ArrowDirection;
    const struct {
        const char* text;
        ArrowDirection direction;
        const char* stepped;
    } cases[] = {{"90000000", ArrowDirection::Up, "90000000"},
                 {"95000000", ArrowDirection::Down, "94999999"},
                 {"12ab", ArrowDirection::Up, "13"},
                 {"99999999999", ArrowDirection::Down, "4294967294"}};
    for (const auto& c : cases)
        EXPECT_EQ(ui::SteppedDecimalText(c.text, c.direction), QString::fromLatin1(c.stepped)) << c.text;
}

TEST_F(MainWindowTest, ExportWritesTheReportInTheCurrentFolderAndOpensIt) {
    WorkingDirectoryGuard restore;
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    Trigger(ids::menu::kExportFreqTable);
    const std::string report = dir.File("FreqTabl.txt");
    EXPECT_EQ(prompts.viewed, QStringList({QString::fromStdString(report)}));
    EXPECT_NE(ReadText(report).find("\nUSA\n\nCAN\n\nWX\n"), std::string::npos);

    // A folder that was removed under the program cannot take the report.
    const std::string gone = dir.File("gone");
    std::filesystem::create_directory(gone);
    ASSERT_EQ(chdir(gone.c_str()), 0);
    std::filesystem::remove(gone);
    Trigger(ids::menu::kExportFreqTable);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("Can't Create file:\n"));
    EXPECT_EQ(prompts.viewed.size(), 1);

    // Without a viewer on the desktop the user learns where the report is.
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    prompts.viewerStarts = false;
    Trigger(ids::menu::kExportFreqTable);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_TRUE(prompts.messages[1].text.endsWith(":\n" + QString::fromStdString(report))) << prompts.messages[1].text.toStdString();
}

TEST_F(MainWindowTest, AboutOpensTheUserOptionsOnlyWhileCtrlIsHeld) {
    Trigger(ids::menu::kAbout);
    prompts.ctrlHeld = true;
    prompts.dialogScript.push_back([](QDialog& dialog) {
        FindById<QCheckBox>(&dialog, ids::user::kTraceLog)->setChecked(true);
        FindById<QCheckBox>(&dialog, ids::user::kDumpImages)->setChecked(true);
        return PressOk(dialog);
    });
    Trigger(ids::menu::kAbout);
    EXPECT_EQ(prompts.dialogTitles, QStringList({"About Dialog V1.15", "User Dialog"}));
    EXPECT_EQ(state.traceLog, 1u);
    EXPECT_EQ(Text(ids::main::kOptionLine), "Logo;Save RomMap;");
}

TEST_F(MainWindowTest, AtItsSmallestTheWindowCutsNoControlAndOverlapsNone) {
    window->resize(400, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->size(), window->minimumSize());
    const std::vector<QWidget*> placed = PlacedWidgets(window.get());
    for (QWidget* w : placed) {
        SCOPED_TRACE(Describe(w));
        const QSize least = LeastSize(w);
        EXPECT_GE(w->width(), least.width());
        EXPECT_GE(w->height(), least.height());
        if (w->hasHeightForWidth()) {
            EXPECT_GE(w->height(), w->heightForWidth(w->width()));
        }
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()));
        for (QWidget* other : placed) {
            if (other != w && other->parentWidget() == w->parentWidget()) {
                EXPECT_FALSE(w->geometry().intersects(other->geometry())) << Describe(other);
            }
        }
    }
}

// Captions, the option line and the band combo's entries change; no control moves for that, nor
// on its own once the window is on screen (a combo sizing itself to its entries did, a moment
// after they were filled).
TEST_F(MainWindowTest, ControlsKeepTheirPlaceWhenTextsAroundThemChange) {
    const QSize size = window->size();
    GeometrySpy spy(PlacedWidgets(window.get()));
    const struct {
        const char* change;
        std::function<void()> run;
    } changes[] = {
        {"nothing", [] {}},
        {"an option appears", [&] { Trigger(ids::menu::kFastTransfer); }},
        {"the band combo offers Private", [&] { Click(ids::main::kModelEurope); }},
        {"the caption empties after Save as",
         [&] {
             prompts.saveNames = {QString::fromStdString(dir.File("still.dat"))};
             Trigger(ids::menu::kSaveAs);
         }},
    };
    for (const auto& c : changes) {
        c.run();
        QTest::qWait(kSettleMs);
        EXPECT_EQ(spy.changes, std::vector<std::string>()) << "after " << c.change;
    }
    EXPECT_EQ(window->size(), size);
    EXPECT_EQ(Text(ids::main::kOptionLine), "Fast;");
    EXPECT_EQ(Find<QGroupBox>(ids::main::kIdentityGroup)->title(), "");
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)), QStringList({"INT", "USA", "CAN", "Private"}));
}

TEST_F(MainWindowTest, TheWindowIconIsThePackagingPicture) {
    const QImage icon = window->windowIcon().pixmap(32, 32).toImage();
    ASSERT_FALSE(icon.isNull()) << "no icon: is the toolkit's vector picture support installed?";
    EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(icon.pixelColor(11, 20).name(), "#1f4e79");  // the radio's body
}

TEST_F(MainWindowTest, StatusReturnsToReadyTenTicksAfterACommand) {
    prompts.saveNames = {QString::fromStdString(dir.File("t.dat"))};
    Trigger(ids::menu::kSaveAs);
    for (int tick = 1; tick < ui::kStatusTicks; ++tick) window->OnTimer();
    EXPECT_EQ(Text(ids::main::kStatusText), "Save as file OK.");
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
    window->SetUsbDevice(noRadio);
}

TEST_F(MainWindowTest, PortComboMarksThePortsThatAnsweredTheLastScan) {
    ports.MakePresent(3);
    Click(ids::main::kScanButton);
    QComboBox* port = Combo(ids::main::kPortCombo);
    const QStringList items = ComboItems(port);
    EXPECT_EQ(items.filter(" -").size(), 31);
    EXPECT_EQ(items.value(3), "COM3");

    port->setCurrentIndex(3);
    EXPECT_EQ(state.comPort, 3);
    EXPECT_EQ(state.modified, 0u);

    // A remembered port that has gone stays selected, marked absent.
    ports.MakeAbsent(3);
    Click(ids::main::kScanButton);
    EXPECT_EQ(port->currentText(), "COM3 -");
}

// The program's own Clone menu choices are state words (kept in the state file) shown in the
// option line.
TEST_F(MainWindowTest, CloneChoicesAreStateWordsShownInTheOptionLine) {
    Trigger(ids::menu::kFastTransfer);
    Trigger(ids::menu::kVerifyAfterWrite);
    EXPECT_EQ(Text(ids::main::kOptionLine), "Fast;Verify;");
    EXPECT_EQ(state.fastTransfer + state.verifyAfterWrite, 2u);
    Trigger(ids::menu::kFastTransfer);
    EXPECT_EQ(Text(ids::main::kOptionLine), "Verify;");
    EXPECT_EQ(state.fastTransfer, 0u);
}

}  // namespace
}  // namespace orven::test
