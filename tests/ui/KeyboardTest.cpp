// The window without a mouse: menus with mnemonics and shortcuts, Tab through the controls in the
// order they are laid out, and a name for every control that a screen reader reads.
#include "tests/ui/MainWindowFixture.h"

#include "clone/CloneEvent.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QMenu>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>

#include <chrono>
#include <set>

namespace orven::test {
namespace {

// The mnemonic letter of a menu text, or 0 when it has none or more than one.
QChar Mnemonic(const QString& text) {
    const auto marks = text.count('&');
    const auto at = text.indexOf('&');
    return marks == 1 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
}

using KeyboardTest = MainWindowTest;

// Every menu and every item has one mnemonic, none shared within its menu; the clone commands keep
// theirs in the busy layout too.
TEST_F(KeyboardTest, EveryMenuAndItemHasAMnemonicOfItsOwn) {
    const auto check = [](const QList<QAction*>& actions, const QString& where) {
        std::set<QChar> taken;
        for (const QAction* action : actions) {
            if (action->isSeparator()) continue;
            const QChar letter = Mnemonic(action->text());
            EXPECT_FALSE(letter.isNull()) << where.toStdString() << ": " << action->text().toStdString();
            EXPECT_TRUE(taken.insert(letter).second) << where.toStdString() << ": " << action->text().toStdString();
        }
    };
    QMenuBar* bar = window->menuBar();
    check(bar->actions(), QStringLiteral("menu bar"));
    for (const QAction* top : bar->actions()) check(top->menu()->actions(), top->text());
}

// Ctrl+O opens, Ctrl+S saves (asking for a name for a document that has none), Ctrl+Shift+S saves
// under a new name, Ctrl+Q ends the program through the save question.
TEST_F(KeyboardTest, ShortcutsReachTheFileCommands) {
    const auto press = [this](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(window.get(), key, modifiers);
    };
    const std::string path = WriteDocument("k.dat", *Defaults(kModelUsa));
    prompts.openNames = {QString::fromStdString(path)};
    press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(window->windowTitle(), "/k.dat - VOROZUDE V1.15");
    TypeInto(*Edit(ids::main::kSerialEdit), "KEYS");
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_NE(ReadText(path).find("KEYS"), std::string::npos);
    prompts.saveNames = {QString::fromStdString(dir.File("k2.dat"))};
    press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(window->windowTitle(), "/k2.dat - VOROZUDE V1.15");
    EXPECT_EQ(prompts.fileDialogTitles, QStringList({"Open", "Save as"}));

    Click(ids::main::kBandCan);
    prompts.saveChoices = {ui::SaveChoice::Cancel, ui::SaveChoice::Save};
    press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(window->isVisible());
    press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(prompts.questions.size(), 2u);
    const auto saved = ReadBytes(dir.File("k2.dat"));
    EXPECT_EQ(saved[offsetof(RadioSettings, bandCAN)], 0u);
}

// The controls Tab reaches, in turn, from the first one until it comes round again.
std::vector<int> TabChain(QWidget* first) {
    std::vector<int> chain;
    first->setFocus(Qt::TabFocusReason);
    for (int turn = 0; turn < 100; ++turn) {
        QWidget* now = QApplication::focusWidget();
        const int id = now ? now->property("resourceId").toInt() : 0;
        if (!now || (!chain.empty() && id == chain.front())) break;
        chain.push_back(id);
        QTest::keyClick(now, Qt::Key_Tab);
    }
    return chain;
}

// Tab goes through the window as it reads: the identities, the channel list and its buttons, the
// model and radio features, the port and the clone buttons, skipping what is off.
TEST_F(KeyboardTest, TabFollowsTheLayout) {
    namespace m = ids::main;
    const std::vector<int> identities = {m::kMmsiByUser, m::kMmsiEdit, m::kAtisByUser, m::kAtisEdit, m::kNmeaEdit,
                                         m::kSerialEdit};
    const std::vector<int> rest = {m::kBandCombo,     m::kChannelList,   m::kEditButton,    m::kAddButton,
                                   m::kRemoveButton,  m::kModelUsa,      m::kBandUsa,       m::kBandInt,
                                   m::kBandCan,       m::kBandUsaNarrow, m::kBandIntNarrow, m::kBandCanNarrow,
                                   m::kTxStepCombo,   m::kRxStepCombo,   m::kRxMidCombo,    m::kPortCombo,
                                   m::kBaudCombo,     m::kScanButton,    m::kWriteButton,   m::kReadButton};
    std::vector<int> expected = identities;
    expected.insert(expected.end(), rest.begin(), rest.end());
    // The defaults leave the MMSI to the radio: its field is off until "entry by user" is unticked.
    ASSERT_TRUE(Find<QCheckBox>(m::kMmsiByUser)->isChecked());
    std::vector<int> withoutMmsi = expected;
    withoutMmsi.erase(withoutMmsi.begin() + 1);
    EXPECT_EQ(TabChain(Find<QWidget>(m::kMmsiByUser)), withoutMmsi);
    Click(m::kMmsiByUser);
    EXPECT_EQ(TabChain(Find<QWidget>(m::kMmsiByUser)), expected);
}

// What a screen reader calls a control: its name, or for a drop-down (whose name here is the entry
// chosen) the label it is labelled by.
QString SpokenName(QWidget* w) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w);
    if (!accessible) return {};
    if (accessible->role() != QAccessible::ComboBox) return accessible->text(QAccessible::Name);
    const auto labels = accessible->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

// Every visible control under `root` has a name a screen reader reads; returns how many there are.
int ExpectEveryControlNamed(QWidget* root) {
    int controls = 0;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        // The insides of lists and drop-downs are named through them.
        bool inside = false;
        for (QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget())
            inside = inside || qobject_cast<QComboBox*>(p) || qobject_cast<QAbstractScrollArea*>(p);
        const bool control = w->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton*>(w) ||
                             qobject_cast<QLineEdit*>(w) || qobject_cast<QProgressBar*>(w) ||
                             qobject_cast<ui::ElidedLabel*>(w);
        if (inside || !control || !w->isVisibleTo(root)) continue;
        ++controls;
        EXPECT_FALSE(SpokenName(w).isEmpty()) << root->windowTitle().toStdString() << ": "
                                              << w->metaObject()->className() << " " << w->objectName().toStdString();
    }
    return controls;
}

// Every control has a name a screen reader reads: its own text, or the label beside it; in the
// window and in every dialog it opens.
TEST_F(KeyboardTest, EveryControlHasAnAccessibleName) {
    namespace m = ids::main;
    const std::pair<int, const char*> labelled[] = {
        {m::kMmsiEdit, "MMSI"},            {m::kAtisEdit, "ATIS"},            {m::kNmeaEdit, "NMEA2000"},
        {m::kSerialEdit, "Serial Number"}, {m::kBandCombo, "Band"},           {m::kChannelList, "Channel List"},
        {m::kTxStepCombo, "TX PLL STEP:"}, {m::kRxStepCombo, "RX PLL STEP:"}, {m::kRxMidCombo, "RX Mid Freq:"},
        {m::kPortCombo, "Comm Port"},      {m::kBaudCombo, "Comm Port"},      {m::kStatusText, "Status"},
    };
    for (const auto& [id, label] : labelled) EXPECT_EQ(SpokenName(Find<QWidget>(id)), label) << id;
    EXPECT_GT(ExpectEveryControlNamed(window.get()), 30);

    int dialogs = 0;
    const auto named = [&](QDialog& dialog) {
        dialog.show();
        EXPECT_GT(ExpectEveryControlNamed(&dialog), 0) << dialog.windowTitle().toStdString();
        ++dialogs;
        return QDialog::Rejected;
    };
    for (int i = 0; i < 6; ++i) prompts.dialogScript.push_back(named);
    Trigger(ids::menu::kWriteRemovingIdentities);
    Trigger(ids::menu::kLoadDefault);
    Trigger(ids::menu::kFeatureSetup);
    Trigger(ids::menu::kAbout);
    prompts.ctrlHeld = true;
    Trigger(ids::menu::kAbout);
    Trigger(ids::menu::kRadioArchive);
    Click(m::kModelEurope);
    ShowBand("Private");
    prompts.dialogScript.push_back(named);
    Click(m::kAddButton);
    EXPECT_EQ(dialogs, 7);
    Trigger(ids::menu::kCheckConnection);
    ExpectEveryControlNamed(&Control<QDialog>(*window, ids::kConnectionCheckDialog));
    // The check's worker uses the fixture's USB device: it must have ended before the device goes.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (CloneBusyEvent.IsSet() && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(CloneBusyEvent.IsSet());
}

}  // namespace
}  // namespace orven::test
