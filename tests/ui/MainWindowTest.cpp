// The main window as the user meets it: the title, the fields and the modified flag, the file
// commands and their questions, the tools, the option line, the layout, the timer and the ports.
#include "tests/ui/MainWindowFixture.h"

#include "files/Paths.h"
#include "files/RadioArchive.h"
#include "sim/SimulatedHidBackend.h"
#include "ui/ElidedLabel.h"
#include "ui/UpDownArrows.h"
#include "ui/UserPrompts.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QRadioButton>
#include <QToolButton>

#include <cstring>
#include <functional>

namespace orven::test {
namespace {

std::uint32_t BandCan(const std::string& path) {
    std::uint32_t value = 0;
    std::memcpy(&value, ReadBytes(path).data() + offsetof(RadioSettings, bandCAN), sizeof value);
    return value;
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
    const QRect r = w->geometry();
    return QStringLiteral("%1 %2 at %3,%4 %5x%6")
        .arg(QLatin1String(w->metaObject()->className()), w->objectName())
        .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())
        .toStdString();
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
        if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Hide)
            changes.push_back(Describe(static_cast<QWidget*>(watched)));
        return false;
    }
};

// The title names the document: the defaults by the model name, an opened file by its path within
// the working folder with "(Read only)" as it applies, "*" once edited, and the variant of the
// document shown, whatever the wizard chose last.
TEST_F(MainWindowTest, TheTitleNamesTheDocumentItsStateAndItsVariant) {
    Click(ids::main::kBandCan);
    EXPECT_EQ(window->windowTitle(), "ORVEN* V1.15");
    Open(WriteDocument("e.dat", *Defaults(kModelEurInt)));
    EXPECT_EQ(window->windowTitle(), "/e.dat - RAVUZORU V1.15");
    Click(ids::main::kModelUsa);
    EXPECT_EQ(window->windowTitle(), "/e.dat* - VOROZUDE V1.15");

    const std::string path = WriteDocument("a.dat", *Defaults(kModelUsa));
    window->SetWriteAccessTest([](const std::string&) { return false; });  // a write-protected file
    Open(path);
    Click(ids::main::kBandCan);
    EXPECT_EQ(window->windowTitle(), "/a.dat(Read only)* - VOROZUDE V1.15");

    // Neither Save nor Yes to the close question can overwrite the protected file: each asks for a
    // new name.
    Trigger(ids::menu::kSave);
    EXPECT_EQ(prompts.fileDialogTitles, QStringList({"Open", "Open", "Save as"}));
    EXPECT_EQ(window->windowTitle(), "/a.dat(Read only)* - VOROZUDE V1.15");
    prompts.questions.clear();
    prompts.saveChoices = {ui::SaveChoice::Save};
    prompts.saveNames = {QString::fromStdString(dir.File("b.dat"))};
    window->close();
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(BandCan(path), 1u);
    EXPECT_EQ(BandCan(dir.File("b.dat")), 0u);
    EXPECT_FALSE(window->isVisible());
}

// Every edit of a field marks the document modified at once, "*" in the title, and reaches the
// file on Save. A text that is no valid identity leaves the stored one as it was, and a stored
// PLL step the combo cannot show survives until the user picks one.
TEST_F(MainWindowTest, EveryEditMarksTheDocumentAtOnceAndReachesTheFile) {
    auto expected = Defaults(kModelUsa);
    RadioSettings& s = *expected;
    s.bandPrivate = 0;  // as gathering the USA model leaves it
    s.rxStepIndex = 7;
    s.mmsiByUser = 0;  // the MMSI field takes typing
    const std::string path = WriteDocument("m.dat", s);
    Open(path);
    const auto type = [this](int id, const char* text) { return [=, this] { TypeInto(*Edit(id), text); }; };
    const auto arrow = [this](int spin, bool up) {
        ui::UpDownArrows* arrows = Find<ui::UpDownArrows>(spin);
        return [=] { QTest::mouseClick(up ? arrows->UpButton() : arrows->DownButton(), Qt::LeftButton); };
    };
    const auto pick = [this](int id) { return [=, this] { Combo(id)->setCurrentIndex(1); }; };
    const std::pair<std::function<void()>, std::function<void()>> edits[] = {
        {type(ids::main::kMmsiEdit, "366123456"), [&] { CopyText(s.mmsiId, "366123456"); }},
        {type(ids::main::kMmsiEdit, "12345678"), [] {}},  // refused: a number typed in part is none to keep
        // An emptied field says "kept by radio": no number of the document's is left to be written.
        {type(ids::main::kMmsiEdit, ""), [&] { CopyText(s.mmsiId, ""); }},
        {type(ids::main::kAtisEdit, "211234567"), [&] { CopyText(s.atisId, "211234567"); }},
        {type(ids::main::kNmeaEdit, "099999"), [&] { CopyText(s.nmeaNo, "099999"); }},
        {arrow(ids::main::kNmeaSpin, true), [&] { CopyText(s.nmeaNo, "100000"); }},
        {type(ids::main::kSerialEdit, "1"), [&] { CopyText(s.serialNo, "1"); }},
        {arrow(ids::main::kSerialSpin, false), [&] { CopyText(s.serialNo, "0"); }},
        {pick(ids::main::kTxStepCombo), [&] { s.txStepIndex = kStep12_5kHz; }},
        {pick(ids::main::kRxStepCombo), [&] { s.rxStepIndex = kStep12_5kHz; }},
        {pick(ids::main::kRxMidCombo), [&] { s.rxMidIndex = 1; }},
        {[this] { Click(ids::main::kBandCan); }, [&] { s.bandCAN = 0; }},
    };
    for (std::size_t i = 0; i < std::size(edits); ++i) {
        edits[i].first();
        EXPECT_EQ(window->windowTitle(), "/m.dat* - VOROZUDE V1.15") << "edit " << i;
        edits[i].second();
        Trigger(ids::menu::kSave);
        EXPECT_TRUE(ReadBytes(path) == std::vector<std::uint8_t>(Bytes(s).begin(), Bytes(s).end())) << "edit " << i;
    }
}

// The arrows step a number of digits alone, keeping its digits (and leading zeros) and staying
// within what the field holds: six digits for the NMEA2000 number, 90000000 for the serial number.
// Any other text is no number to step: a press leaves it, and the document, as they were.
TEST_F(MainWindowTest, TheArrowsStepOnlyDigitsAndStayWithinTheField) {
    struct Case { int edit, spin; const char* before; bool up; const char* after; };
    const int nmea = ids::main::kNmeaEdit, nmeaSpin = ids::main::kNmeaSpin;
    const int serial = ids::main::kSerialEdit, serialSpin = ids::main::kSerialSpin;
    const Case cases[] = {
        {nmea, nmeaSpin, "AB12", true, "AB12"},         {nmea, nmeaSpin, "12 3", false, "12 3"},
        {nmea, nmeaSpin, "", true, ""},                 {nmea, nmeaSpin, "999999", true, "999999"},
        {nmea, nmeaSpin, "999998", true, "999999"},     {nmea, nmeaSpin, "000123", false, "000122"},
        {nmea, nmeaSpin, "009", true, "010"},           {nmea, nmeaSpin, "0", false, "0"},
        {serial, serialSpin, "89999999", true, "90000000"}, {serial, serialSpin, "90000000", true, "90000000"},
        {serial, serialSpin, "2026120A", true, "2026120A"}, {serial, serialSpin, "00000001", false, "00000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.before) + (c.up ? " up" : " down"));
        Edit(c.edit)->setText(QString::fromLatin1(c.before));
        window->SetModifiedFlag(false);
        ui::UpDownArrows* arrows = Find<ui::UpDownArrows>(c.spin);
        QTest::mouseClick(c.up ? arrows->UpButton() : arrows->DownButton(), Qt::LeftButton);
        EXPECT_EQ(Edit(c.edit)->text(), QString::fromLatin1(c.after));
        EXPECT_EQ(state.modified, std::string(c.before) != c.after ? 1u : 0u);
    }
}

// Open and Load Default set each identity field from the document they show, empty where it holds
// none: no radio's identities are carried into another document. Load Default shows the model and
// country the wizard chose, untitled and unmodified.
TEST_F(MainWindowTest, ShowingADocumentSetsEveryFieldFromIt) {
    auto held = Defaults(kModelUsa);
    held->mmsiByUser = 0;
    CopyText(held->mmsiId, "211234560");
    CopyText(held->atisId, "211234567");
    CopyText(held->nmeaNo, "123456");
    CopyText(held->serialNo, "20261206");
    const std::string with = WriteDocument("with.dat", *held);
    QStringList shown;
    const auto show = [&](const std::function<void()>& command) {
        Open(with);
        command();
        for (int id : {ids::main::kMmsiEdit, ids::main::kAtisEdit, ids::main::kNmeaEdit, ids::main::kSerialEdit})
            shown << Edit(id)->text();
    };
    show([] {});
    show([&] { Open(WriteDocument("without.dat", *Defaults(kModelUsa))); });
    prompts.dialogScript.push_back([](QDialog& dialog) {
        test::Click(dialog, ids::wizard::kEurInt);
        Control<QComboBox>(dialog, ids::wizard::kCountryCombo).setCurrentIndex(2);  // Denmark
        return PressOk(dialog);
    });
    show([&] { Trigger(ids::menu::kLoadDefault); });
    EXPECT_EQ(shown, QStringList({"211234560", "211234567", "123456", "20261206", "", "", "", "", "", "", "", ""}));
    EXPECT_TRUE(Find<QRadioButton>(ids::main::kModelEurope)->isChecked());
    ShowBand("Private");
    // Denmark's presets 101..103 and 111, 112 become F1..F3, L1, L2; 101 is 155.6250 MHz.
    EXPECT_TRUE(List()->item(0)->text().startsWith(" F1,TX:155.6250  RX:155.6250 "));
    EXPECT_EQ(window->windowTitle(), "ORVEN V1.15");
    EXPECT_EQ(state.modified, 0u);
}

// An identity entered by the user is the radio's to keep: its field is disabled and empty and says
// so; a number typed before ticking stays in the document and comes back when the box is unticked.
TEST_F(MainWindowTest, AnIdentityEnteredByUserIsLeftToTheRadio) {
    auto document = Defaults(kModelEurInt);
    document->mmsiByUser = 0;
    CopyText(document->mmsiId, "211234560");
    CopyText(document->atisId, "211234567");  // entered by the user all the same
    const std::string path = WriteDocument("d.dat", *document);
    Open(path);
    QLineEdit* mmsi = Edit(ids::main::kMmsiEdit);
    QLineEdit* atis = Edit(ids::main::kAtisEdit);
    EXPECT_TRUE(mmsi->isEnabled());
    EXPECT_EQ(mmsi->text(), "211234560");
    EXPECT_FALSE(atis->isEnabled());
    EXPECT_EQ(atis->text(), "");
    EXPECT_EQ(atis->placeholderText(), "kept by radio");

    TypeInto(*mmsi, "211234569");
    Click(ids::main::kMmsiByUser);
    EXPECT_FALSE(mmsi->isEnabled());
    EXPECT_EQ(mmsi->text(), "");
    Click(ids::main::kAtisByUser);
    EXPECT_TRUE(atis->isEnabled());
    EXPECT_EQ(atis->text(), "211234567");
    Trigger(ids::menu::kSave);
    RadioSettings saved;
    ASSERT_EQ(LoadSettingsFile(path, saved), kResultOk);
    EXPECT_EQ(saved.mmsiByUser, 1u);
    EXPECT_STREQ(saved.mmsiId, "211234569");
    EXPECT_EQ(saved.atisByUser, 0u);
    Click(ids::main::kMmsiByUser);
    EXPECT_EQ(mmsi->text(), "211234569");

    // Another document, whose MMSI and ATIS are entered by the user: no number of the one before
    // lands in it, and a field whose box stays ticked shows none either.
    auto other = Defaults(kModelEurInt);
    CopyText(other->atisId, "211987654");
    const std::string otherPath = WriteDocument("e.dat", *other);
    Click(ids::main::kAtisByUser);
    Open(otherPath);
    EXPECT_EQ(mmsi->text() + atis->text(), "");
    EXPECT_FALSE(mmsi->isEnabled() || atis->isEnabled());
    Trigger(ids::menu::kSave);
    EXPECT_TRUE(ReadBytes(otherPath) == std::vector<std::uint8_t>(Bytes(*other).begin(), Bytes(*other).end()));
}

// Beside the MMSI and ATIS fields, as the user types: what each number a write would program is
// (nothing for an incomplete one or one the user enters on the radio) and, for the model chosen,
// the warnings the two deserve, wrapped onto the lines kept for them.
TEST_F(MainWindowTest, TheIdentityFieldsAreDecodedAndWarnedAboutAsTheyAreTyped) {
    struct Case { int model; bool mmsiByUser; const char *mmsi, *atis, *mmsiSays, *atisSays; int warnings; };
    const char *usa = "ship station, MID 366, United States", *usaAtis = "ATIS, MID 366, United States";
    const Case cases[] = {
        {ids::main::kModelUsa, false, "36612345", "3661234", "", "", 0},
        {ids::main::kModelUsa, false, "366123456", "366123456", usa, usaAtis, 0},
        {ids::main::kModelEurope, false, "366123456", "366123456", usa, usaAtis, 1},  // ATIS not European
        {ids::main::kModelEurope, false, "970123456", "211234567", "AIS-SART", "ATIS, MID 211, Germany", 2},
        {ids::main::kModelEurope, true, "970123456", "", "", "", 0},
    };
    const auto says = [this](int id) { return Find<ui::ElidedLabel>(id)->text(); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mmsi);
        Click(c.model);
        Find<QCheckBox>(ids::main::kMmsiByUser)->setChecked(false);
        TypeInto(*Edit(ids::main::kMmsiEdit), QString::fromLatin1(c.mmsi));
        TypeInto(*Edit(ids::main::kAtisEdit), QString::fromLatin1(c.atis));
        Find<QCheckBox>(ids::main::kMmsiByUser)->setChecked(c.mmsiByUser);
        EXPECT_EQ(says(ids::main::kMmsiDecoded), QString::fromLatin1(c.mmsiSays));
        EXPECT_EQ(says(ids::main::kAtisDecoded), QString::fromLatin1(c.atisSays));
        EXPECT_EQ(says(ids::main::kIdentityWarnings).split('\n', Qt::SkipEmptyParts).size(), c.warnings);
        // A warning longer than a line wraps onto the next; what does not fit ends cut.
        const QStringList shown = Find<ui::ElidedLabel>(ids::main::kIdentityWarnings)->ShownLines();
        const QString whole = says(ids::main::kIdentityWarnings).replace('\n', ' ');
        EXPECT_EQ(shown.join(' ') == whole, c.warnings < 2) << shown.join('|').toStdString();
        EXPECT_EQ(shown.size(), c.warnings == 0 ? 1 : 2);
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
                  QString::fromUtf8(what) + " holds \"\xC3\xA9\" at position 4: only printable ASCII characters can be "
                                            "stored.");
    };
    paste(Edit(ids::main::kSerialEdit), "The serial number");
    paste(Edit(ids::main::kNmeaEdit), "The NMEA2000 number");
    prompts.dialogScript.push_back([&](QDialog& dialog) {
        paste(&Control<QLineEdit>(dialog, ids::feature::kBrandEdit), "The brand name");
        paste(&Control<QLineEdit>(dialog, ids::feature::kModelEdit), "The model name");
        return PressOk(dialog);
    });
    Trigger(ids::menu::kFeatureSetup);
    EXPECT_EQ(prompts.messages.size(), 4u);
    EXPECT_EQ(std::string(window->Settings().modelName), "12");
}

// A file that cannot be loaded changes nothing and says why; a failed save keeps the document and
// its state and says why, and a close whose save fails keeps the window. No save goes where the
// program writes files of its own, which would overwrite it.
TEST_F(MainWindowTest, FileFailuresChangeNothingAndSayWhy) {
    auto bad = Defaults(kModelEurInt);
    PrivateChannel(*bad, 0) = InUseChannel("P1", 175.0, 175.0);
    Open(WriteDocument("bad.dat", *bad));
    EXPECT_EQ(prompts.MessageTexts(), QStringList({"Unknown File Format."}));
    Open(dir.File("missing.dat"));
    EXPECT_EQ(prompts.MessageTexts().last(),
              "Open File Error.\n(" + QString::fromStdString(dir.File("missing.dat")) + ": no such file)");
    prompts.messages.clear();
    prompts.saveNames = {QString::fromStdString(dir.File("no/such/x.dat"))};
    Trigger(ids::menu::kSaveAs);
    EXPECT_EQ(Text(ids::main::kStatusText), "Save as file error.");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("The settings could not be saved to " +
                                                    QString::fromStdString(dir.File("no/such/x.dat")) + ": the folder " +
                                                    QString::fromStdString(dir.File("no/such")) + " does not exist.\n"))
        << prompts.messages[0].text.toStdString();
    // A folder that exists but takes no new files (it answers "no such file") is not called missing.
    prompts.saveNames = {QStringLiteral("/proc/x.dat")};
    Trigger(ids::menu::kSaveAs);
    EXPECT_TRUE(prompts.MessageTexts().last().contains(": the folder /proc may not be written.\n"))
        << prompts.MessageTexts().last().toStdString();
    prompts.messages.pop_back();
    EXPECT_EQ(window->windowTitle(), "ORVEN V1.15");
    for (const char* own : {"Verify.txt", "ReadRom.bin"}) {
        prompts.saveNames = {QString::fromStdString(dir.File(own))};
        Trigger(ids::menu::kSaveAs);
        EXPECT_TRUE(prompts.MessageTexts().last().endsWith("is a file this program writes itself, and would be "
                                                           "overwritten: choose another name."));
        EXPECT_FALSE(std::filesystem::exists(dir.File(own)));
    }
    prompts.saveNames = {QString::fromStdString(dir.File("FreqTabl.txt"))};
    Trigger(ids::menu::kExportChannels);
    EXPECT_FALSE(std::filesystem::exists(dir.File("FreqTabl.txt")));
    EXPECT_EQ(prompts.messages.size(), 4u);

    // The opened file has become a folder, which no save can replace.
    const std::string path = WriteDocument("s.dat", *Defaults(kModelUsa));
    Open(path);
    Click(ids::main::kBandCan);
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    prompts.messages.clear();
    Trigger(ids::menu::kSave);
    EXPECT_EQ(Text(ids::main::kStatusText), "Save file error.");
    EXPECT_EQ(window->windowTitle(), "/s.dat* - VOROZUDE V1.15");
    prompts.saveChoices = {ui::SaveChoice::Save};
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(Find<QCheckBox>(ids::main::kBandCan)->isChecked());
    EXPECT_EQ(window->windowTitle(), "/s.dat* - VOROZUDE V1.15");
    ASSERT_EQ(prompts.messages.size(), 2u);
    for (const ShownMessage& m : prompts.messages)
        EXPECT_TRUE(m.text.contains(": " + QString::fromStdString(path) + " is a folder.\n")) << m.text.toStdString();
}

// An MMSI or ATIS typed in part is no number a file keeps: the save (Save, Save as, the save
// before closing) is refused with the reason, rather than keeping the document's number before it
// behind "Save file OK.". Completed or emptied, it saves.
TEST_F(MainWindowTest, ASaveRefusesAnIdentityTypedInPart) {
    auto document = Defaults(kModelEurInt);
    document->mmsiByUser = document->atisByUser = 0;
    CopyText(document->mmsiId, "211234560");
    const std::string path = WriteDocument("i.dat", *document);
    const auto onDisk = [&] { return ReadBytes(path); };
    Open(path);
    const std::vector<std::uint8_t> before = onDisk();

    TypeInto(*Edit(ids::main::kMmsiEdit), "2112345");
    Trigger(ids::menu::kSave);
    EXPECT_EQ(Text(ids::main::kStatusText), "Save file error.");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("Invalid MMIS ID:2112345\n")) << prompts.messages[0].text.toStdString();
    EXPECT_TRUE(prompts.messages[0].text.contains("Nothing was saved")) << prompts.messages[0].text.toStdString();
    EXPECT_TRUE(onDisk() == before);
    EXPECT_EQ(window->windowTitle(), "/i.dat* - RAVUZORU V1.15");

    prompts.saveChoices = {ui::SaveChoice::Save};
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(onDisk() == before);

    TypeInto(*Edit(ids::main::kMmsiEdit), "211234569");
    TypeInto(*Edit(ids::main::kAtisEdit), "0123");
    prompts.messages.clear();
    prompts.saveNames = {QString::fromStdString(dir.File("other.dat"))};
    Trigger(ids::menu::kSaveAs);
    EXPECT_EQ(Text(ids::main::kStatusText), "Save as file error.");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("Invalid ATIS ID:0123\n")) << prompts.messages[0].text.toStdString();
    EXPECT_FALSE(std::filesystem::exists(dir.File("other.dat")));

    TypeInto(*Edit(ids::main::kAtisEdit), "");
    Trigger(ids::menu::kSave);
    EXPECT_EQ(Text(ids::main::kStatusText), "Save file OK.");
    RadioSettings saved;
    ASSERT_EQ(LoadSettingsFile(path, saved), kResultOk);
    EXPECT_STREQ(saved.mmsiId, "211234569");
    EXPECT_STREQ(saved.atisId, "");
}

// Open, the archive's Open, Load Default and closing drop the document on screen: when it has
// unsaved changes (also an untitled one) each asks first. Yes saves it (an untitled one under a
// name the user gives) and goes on; No goes on and leaves the file as it was; Cancel, and Yes
// whose Save as is cancelled, keep the document as it is.
TEST_F(MainWindowTest, CommandsThatDropTheDocumentAskFirstWhenItHasChanges) {
    const std::string path = WriteDocument("q.dat", *Defaults(kModelUsa));
    const std::string named = dir.File("named.dat");
    auto entry = Defaults(kModelEurInt);
    CopyText(entry->serialNo, "20261206");
    ArchiveRecord read;
    read.time = "2026-12-07 10:15:30";
    read.sha256 = CloneRangeSha256(RadioImage{});
    std::string error;
    ASSERT_TRUE(RadioArchive(RadioArchive::DefaultFolder()).Store(read, RadioImage{}, entry.get(), error));
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"Open", [&] { Open(WriteDocument("other.dat", *Defaults(kModelUsa))); }},
        {"the archive's Open",
         [&] {
             prompts.dialogScript.push_back([](QDialog& dialog) {
                 test::Click(dialog, ids::archive::kOpen);
                 return dialog.result();
             });
             Trigger(ids::menu::kRadioArchive);
         }},
        {"Load Default",
         [&] {
             prompts.dialogScript.push_back([](QDialog& dialog) {
                 test::Click(dialog, ids::wizard::kEurInt);
                 return PressOk(dialog);
             });
             Trigger(ids::menu::kLoadDefault);
         }},
        {"Exit", [&] { Trigger(ids::menu::kExit); }},
    };
    using ui::SaveChoice;
    // savedToFile: the edit reached the opened file.
    struct Round { bool opened, edited; SaveChoice answer; bool nameGiven, asked, dropped, savedToFile; };
    const Round rounds[] = {
        {false, false, SaveChoice::Cancel, false, false, true, false},
        {false, true, SaveChoice::Cancel, false, true, false, false},
        {false, true, SaveChoice::Save, false, true, false, false},  // Save as cancelled
        {false, true, SaveChoice::Save, true, true, true, false},
        {true, false, SaveChoice::Cancel, false, false, true, false},
        {true, true, SaveChoice::Cancel, false, true, false, false},
        {true, true, SaveChoice::Discard, false, true, true, false},
        {true, true, SaveChoice::Save, false, true, true, true},
    };
    for (const auto& [command, run] : commands) {
        for (std::size_t r = 0; r < std::size(rounds); ++r) {
            const Round& round = rounds[r];
            SCOPED_TRACE(std::string(command) + ", round " + std::to_string(r));
            WriteDocument("q.dat", *Defaults(kModelUsa));
            std::filesystem::remove(named);
            Start(FreshAppState());
            if (round.opened) Open(path);
            if (round.edited) TypeInto(*Edit(ids::main::kSerialEdit), "EDITED");
            prompts.questions.clear();
            prompts.saveChoices = {round.answer};
            if (round.nameGiven) prompts.saveNames = {QString::fromStdString(named)};
            run();
            ASSERT_EQ(prompts.questions.size(), round.asked ? 1u : 0u);
            if (round.asked) {
                EXPECT_EQ(prompts.questions[0].title, "WARNING");
                EXPECT_EQ(prompts.questions[0].text, "File is modified. Do you want to save?");
                EXPECT_EQ(prompts.questions[0].details, "Yes|No|Cancel");
            }
            const bool dropped = !window->isVisible() || Edit(ids::main::kSerialEdit)->text() != "EDITED";
            EXPECT_EQ(dropped, round.dropped);
            EXPECT_EQ(ReadText(path).find("EDITED") != std::string::npos, round.savedToFile);
            EXPECT_EQ(std::filesystem::exists(named), round.nameGiven);
            EXPECT_TRUE(!round.nameGiven || ReadText(named).find("EDITED") != std::string::npos);
            EXPECT_TRUE(round.dropped || window->windowTitle().contains('*'));
            // The wizard's choice is remembered only with the document it made.
            EXPECT_TRUE(std::string(command) != "Load Default" ||
                        state.modelType == (round.dropped ? kModelEurInt : kModelUsa));
            prompts.saveNames.clear();
            prompts.openNames.clear();  // the file a cancelled Open did not ask for
        }
    }
}

TEST_F(MainWindowTest, ExportWritesTheReportInTheCurrentFolderAndOpensIt) {
    struct Restore {
        const std::string saved = CurrentDirectory();
        ~Restore() { EXPECT_EQ(chdir(saved.c_str()), 0); }
    } restore;
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    Trigger(ids::menu::kExportFreqTable);
    const QString report = QString::fromStdString(dir.File("FreqTabl.txt"));
    EXPECT_EQ(prompts.viewed, QStringList({report}));
    EXPECT_NE(ReadText(dir.File("FreqTabl.txt")).find("\nUSA\n\nCAN\n\nWX\n"), std::string::npos);

    // Without a viewer on the desktop the user learns where the report is.
    prompts.viewerStarts = false;
    Trigger(ids::menu::kExportFreqTable);
    EXPECT_TRUE(prompts.MessageTexts().value(0).endsWith(":\n" + report));

    // A folder that was removed under the program cannot take the report.
    const std::string gone = dir.File("gone");
    std::filesystem::create_directory(gone);
    ASSERT_EQ(chdir(gone.c_str()), 0);
    std::filesystem::remove(gone);
    Trigger(ids::menu::kExportFreqTable);
    EXPECT_TRUE(prompts.MessageTexts().value(1).startsWith("Can't Create file:\n"));
    EXPECT_EQ(prompts.viewed.size(), 2);
}

// Captions, the option line (the user options, About with Ctrl held, and the Clone menu's own
// choices, state words kept in the state file) and the band combo's entries change; no control
// moves for that, nor on its own once the window is on screen (a combo sizing itself to its
// entries did, a moment after they were filled). At its smallest the window cuts no control and
// overlaps none.
TEST_F(MainWindowTest, ControlsKeepTheirPlaceWhenTextsAroundThemChangeAndAreWholeAtTheSmallestSize) {
    const QSize size = window->size();
    const std::vector<QWidget*> placed = PlacedWidgets(window.get());
    GeometrySpy spy(placed);
    const auto userOptions = [this] {
        prompts.ctrlHeld = true;
        prompts.dialogScript.push_back([](QDialog& dialog) {
            Control<QCheckBox>(dialog, ids::user::kTraceLog).setChecked(true);
            Control<QCheckBox>(dialog, ids::user::kDumpImages).setChecked(true);
            return PressOk(dialog);
        });
        Trigger(ids::menu::kAbout);
    };
    const auto saveAs = [this] {
        prompts.saveNames = {QString::fromStdString(dir.File("still.dat"))};
        Trigger(ids::menu::kSaveAs);
    };
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"nothing", [] {}},
        {"About", [this] { Trigger(ids::menu::kAbout); }},
        {"the user options", userOptions},
        {"Fast Transfer", [this] { Trigger(ids::menu::kFastTransfer); }},
        {"Verify after write", [this] { Trigger(ids::menu::kVerifyAfterWrite); }},
        {"Back up before write", [this] { Trigger(ids::menu::kBackupBeforeWrite); }},
        {"the band combo offers Private", [this] { Click(ids::main::kModelEurope); }},
        {"identities decoded, with more warnings than room",
         [this] {
             Click(ids::main::kMmsiByUser);
             TypeInto(*Edit(ids::main::kMmsiEdit), "970123456");
             TypeInto(*Edit(ids::main::kAtisEdit), "366123456");
         }},
        {"the caption empties after Save as", saveAs},
    };
    for (const auto& [change, run] : changes) {
        run();
        QTest::qWait(kSettleMs);
        EXPECT_EQ(spy.changes, std::vector<std::string>()) << "after " << change;
    }
    EXPECT_EQ(window->size(), size);
    EXPECT_EQ(prompts.dialogTitles, QStringList({"About Dialog V1.15", "User Dialog"}));
    EXPECT_EQ(Text(ids::main::kOptionLine), "Logo;Save RomMap;Fast;Verify;");
    EXPECT_EQ(state.traceLog + state.dumpImages + state.fastTransfer + state.verifyAfterWrite, 4u);
    EXPECT_EQ(state.noBackupBeforeWrite, 1u);
    Trigger(ids::menu::kFastTransfer);
    Trigger(ids::menu::kBackupBeforeWrite);
    EXPECT_EQ(Text(ids::main::kOptionLine), "Logo;Save RomMap;Verify;Backup;");
    EXPECT_EQ(Find<QGroupBox>(ids::main::kIdentityGroup)->title(), "");
    EXPECT_EQ(ComboItems(Combo(ids::main::kBandCombo)), QStringList({"INT", "USA", "CAN", "Private"}));

    window->resize(400, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->size(), window->minimumSize());
    for (QWidget* w : placed) {
        SCOPED_TRACE(Describe(w));
        // Smaller than its own minimum, else its minimum hint, is cut, unless its policy lets the layout
        // ignore the hint.
        const QSize hint = w->minimumSizeHint(), set = w->minimumSize();
        const QSize least(set.width() > 0 ? set.width() : hint.width(), set.height() > 0 ? set.height() : hint.height());
        EXPECT_TRUE(w->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored || w->width() >= least.width());
        EXPECT_TRUE(w->sizePolicy().verticalPolicy() == QSizePolicy::Ignored || w->height() >= least.height());
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()));
        for (QWidget* other : placed)
            EXPECT_FALSE(other != w && other->parentWidget() == w->parentWidget() &&
                         w->geometry().intersects(other->geometry()))
                << Describe(other);
    }
}

// Each tick counts a command's status text down to "Ready." and shows whether the USB radio is
// attached, without searching again for one that is. The window's icon is the packaging picture.
TEST_F(MainWindowTest, TheTimerAndThePortComboShowWhatIsAttached) {
    const QImage icon = window->windowIcon().pixmap(32, 32).toImage();
    EXPECT_EQ(icon.pixelColor(11, 20).name(), "#1f4e79") << "the radio's body: is the vector picture support installed?";

    prompts.saveNames = {QString::fromStdString(dir.File("t.dat"))};
    Trigger(ids::menu::kSaveAs);
    SimulatedHidBackend radio;
    CHidDevice usb(kUsbVendorId, kUsbProductId, &radio);
    window->SetUsbDevice(usb);
    for (int tick = 1; tick < ui::kStatusTicks; ++tick) window->OnTimer();
    EXPECT_EQ(Text(ids::main::kStatusText), "Save as file OK.");
    EXPECT_EQ(Text(ids::main::kUsbStatus), "Detected");
    EXPECT_EQ(radio.Opens(), 1u);
    window->OnTimer();
    EXPECT_EQ(Text(ids::main::kStatusText), "Ready.");
    radio.SetPlugged(false);
    window->OnTimer();
    EXPECT_EQ(Text(ids::main::kUsbStatus), "--------");
    window->SetUsbDevice(noRadio);

    // The port combo marks the ports that did not answer the last scan; a remembered port that has
    // gone stays selected, marked absent. Choosing a port changes the state, not the document.
    ports.MakePresent(3);
    Click(ids::main::kScanButton);
    QComboBox* port = Combo(ids::main::kPortCombo);
    EXPECT_EQ(ComboItems(port).filter(" -").size(), 31);
    port->setCurrentIndex(3);
    EXPECT_EQ(port->currentText(), "COM3");
    EXPECT_EQ(state.comPort, 3);
    EXPECT_EQ(state.modified, 0u);
    ports.MakeAbsent(3);
    Click(ids::main::kScanButton);
    EXPECT_EQ(port->currentText(), "COM3 -");
}

}  // namespace
}  // namespace orven::test
