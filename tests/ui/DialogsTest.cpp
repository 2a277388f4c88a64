// The option dialogs on their own: channel setup, model wizard and feature setup.
#include "ui/CChannelSetupDlg.h"
#include "ui/CFeatureSetupDlg.h"
#include "ui/CModelWizardDlg.h"

#include "model/RadioSettings.h"
#include "model/SettingsRules.h"
#include "tests/ui/MainWindowFixture.h"

#include <QApplication>
#include <QFocusEvent>
#include <QListWidget>
#include <QRadioButton>

#include <cstring>
#include <memory>

namespace orven::test {
namespace {

using namespace orven::ui;
namespace ch = ids::channel;
namespace wiz = ids::wizard;

const QString kInvalidTx =
    QStringLiteral("Invalid Tx Frequency.\nFrequency=0.00625*N.\nRange=136.0000 - 174.0000");

bool SameBytes(const RadioSettings& a, const RadioSettings& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Prompts whose warning box takes the focus from the target while it is shown, as a real one does.
struct FocusStealingPrompts : ScriptedPrompts {
    void Message(QWidget* parent, const QString& title, const QString& text, PromptIcon icon) override {
        ScriptedPrompts::Message(parent, title, text, icon);
        QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
        if (target && ++steals <= 3) QApplication::sendEvent(target, &out);
    }
    QWidget* target = nullptr;
    int steals = 0;
};

class ChannelSetupDlgTest : public ::testing::Test {
protected:
    ChannelSetupDlgTest() { LoadDefaults(settings, kModelEurInt); }

    // Private channel i as the channel list would hand it to the dialog for Edit.
    ChannelRecord& EditPrivate(int i, const char* label, double tx, double rx) {
        state.editBand = 3;
        state.editIndex = i;
        return PrivateChannel(settings, static_cast<std::size_t>(i)) = InUseChannel(label, tx, rx);
    }
    // The dialog on screen, for a new channel or for the one EditPrivate picked.
    std::unique_ptr<CChannelSetupDlg> Shown(bool newChannel) {
        auto dlg = std::make_unique<CChannelSetupDlg>(state, settings, newChannel);
        dlg->show();
        return dlg;
    }

    static QLineEdit& Tx(const QDialog& d) { return Control<QLineEdit>(d, ch::kTxEdit); }
    static QLineEdit& Rx(const QDialog& d) { return Control<QLineEdit>(d, ch::kRxEdit); }
    static QComboBox& Box(const QDialog& d, int id) { return Control<QComboBox>(d, id); }
    static bool Checked(const QDialog& d, int id) { return Control<QRadioButton>(d, id).isChecked(); }

    FocusStealingPrompts prompts;
    AppState state = FreshAppState();
    RadioSettings settings;
};

// OK takes only a TX on the grid inside the band, and only an RX (TX and the mode's offset) that
// the settings file check accepts too.
TEST_F(ChannelSetupDlgTest, OkAcceptsOnlyChannelsTheSettingsFileAccepts) {
    struct Case { const char* text; int mode; const QString refusal; };
    const QString invalidRx = QString::fromStdString(InvalidRxMessage());
    const Case cases[] = {
        {"156.00625", ch::kSimplex, {}},        {"174.0", ch::kSimplex, {}},          {"156.003", ch::kSimplex, kInvalidTx},
        {"135.99375", ch::kSimplex, kInvalidTx}, {"174.00625", ch::kSimplex, kInvalidTx}, {"abc", ch::kSimplex, kInvalidTx},
        {"172.0", ch::kDuplexPlus, invalidRx},  {"169.4", ch::kDuplexPlus, {}},       {"140.0", ch::kDuplexMinus, invalidRx}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        prompts.messages.clear();
        EditPrivate(0, "F2", 156.0, 156.0);
        const auto dlg = Shown(false);
        TypeInto(Tx(*dlg), QString::fromLatin1(c.text));
        Click(*dlg, c.mode);
        PressOk(*dlg);
        EXPECT_EQ(dlg->isVisible(), !c.refusal.isEmpty());
        EXPECT_EQ(prompts.MessageTexts(), c.refusal.isEmpty() ? QStringList() : QStringList({c.refusal}));
        EXPECT_TRUE(SettingsPassCheck(settings));
    }
}

// A new channel opens simplex on the default frequency and OK fills only its own record. An
// existing one opens with the mode of the side its RX lies on; OK stores RX from TX and the mode
// into the record in place, Cancel stores nothing, and a position outside the store is edited
// nowhere.
TEST_F(ChannelSetupDlgTest, OpensTheChannelAndStoresItOnlyOnOk) {
    const RadioSettings defaults = settings;
    const auto added = Shown(true);
    EXPECT_TRUE(Checked(*added, ch::kSimplex));
    Box(*added, ch::kNameFirst).setCurrentIndex(12);  // "F"
    Box(*added, ch::kNameSecond).setCurrentIndex(3);
    Box(*added, ch::kUsageCombo).setCurrentIndex(24);
    EXPECT_EQ(Box(*added, ch::kUsageCombo).currentText(), "FISHING");  // without the list's padding
    PressOk(*added);
    EXPECT_EQ(std::string(added->OwnRecord().label) + " " + std::to_string(added->OwnRecord().usage), "F3 35");
    EXPECT_EQ(added->OwnRecord().rxMHz, 157.85);
    EXPECT_TRUE(SameBytes(defaults, settings));

    for (const auto& [rx, mode] : {std::pair{150.0, ch::kDuplexMinus}, {156.000005, ch::kSimplex}, {161.0, ch::kDuplexPlus}}) {
        EditPrivate(7, "F2", 156.0, rx);
        EXPECT_TRUE(Checked(*Shown(false), mode)) << rx;  // only the side counts, not how far
    }
    const ChannelRecord neighbour = EditPrivate(6, "L1", 155.5, 155.5);
    ChannelRecord& r = EditPrivate(7, "F2", 156.0, 161.0);
    const RadioSettings before = settings;
    {
        const auto dlg = Shown(false);
        Box(*dlg, ch::kNameFirst).setCurrentIndex(1);
        TypeInto(Tx(*dlg), QStringLiteral("160.0"));
        Click(*dlg, ids::kCancel);
    }
    EXPECT_TRUE(SameBytes(before, settings));
    PressOk(*Shown(false));
    EXPECT_NEAR(r.rxMHz, 160.6, 1e-9);
    EXPECT_EQ(std::string(r.label), "F2");
    EXPECT_EQ(std::memcmp(&neighbour, &PrivateChannel(settings, 6), sizeof neighbour), 0);

    const RadioSettings edited = settings;
    state.editBand = 7;
    state.editIndex = 400;
    const auto outside = Shown(false);
    TypeInto(Tx(*outside), QStringLiteral("156.0"));
    EXPECT_EQ(PressOk(*outside), QDialog::Accepted);
    EXPECT_TRUE(SameBytes(edited, settings));
}

// Leaving TX shows RX of the mode, or warns once.
TEST_F(ChannelSetupDlgTest, LeavingTxShowsRxOfTheModeOrWarnsOnce) {
    const auto dlg = Shown(true);
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    const auto leaveTx = [&dlg] {
        Tx(*dlg).setFocus(Qt::MouseFocusReason);
        Box(*dlg, ch::kUsageCombo).setFocus(Qt::MouseFocusReason);
    };
    Click(*dlg, ch::kDuplexMinus);
    TypeInto(Tx(*dlg), QStringLiteral("160.0"));
    leaveTx();
    EXPECT_EQ(Rx(*dlg).text(), QStringLiteral("155.40000"));
    Click(*dlg, ch::kDuplexPlus);
    EXPECT_EQ(Rx(*dlg).text(), QStringLiteral("164.60000"));
    EXPECT_TRUE(prompts.messages.empty());

    // Neither the warning box taking the focus nor a switch to another window warns again.
    prompts.target = &Tx(*dlg);
    TypeInto(Tx(*dlg), QStringLiteral("150.003"));
    leaveTx();
    QFocusEvent switched(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&Tx(*dlg), &switched);
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(Rx(*dlg).text(), QStringLiteral("164.60000"));
}

class ModelWizardDlgTest : public ::testing::Test {
protected:
    ModelWizardDlgTest() { std::memset(&buffer, 0xA5, sizeof buffer); }  // whatever the caller's buffer held
    static QComboBox& Country(const QDialog& dlg) { return Control<QComboBox>(dlg, wiz::kCountryCombo); }

    ScriptedPrompts prompts;
    AppState state = [] {
        AppState s = FreshAppState();
        s.modelType = kModelEurInt;
        s.countryIndex = 5;
        return s;
    }();
    RadioSettings buffer;
};

// The preview follows the country and clears what a larger one left. OK stores the model and
// country in the state and builds that document in the buffer; with USA the country shown is
// ignored. Escape and Cancel keep the state.
TEST_F(ModelWizardDlgTest, PreviewFollowsTheCountryAndOkStoresModelCountryAndDocument) {
    CModelWizardDlg escaped(state, buffer);
    escaped.show();
    EXPECT_EQ(Country(escaped).currentText(), QStringLiteral("None"));  // the last choice is not taken over
    Country(escaped).setCurrentIndex(0);
    QListWidget& preview = Control<QListWidget>(escaped, wiz::kPreviewList);
    ASSERT_EQ(preview.count(), 28);
    EXPECT_EQ(preview.item(0)->text(), QStringLiteral("31 Tx=157.5500 Rx=162.1500        MARINA   "));
    Country(escaped).setCurrentIndex(1);
    EXPECT_EQ(preview.count(), 2);
    EXPECT_EQ(PrivateChannel(buffer, 2).inUse, 0u);
    EXPECT_EQ(PrivateChannel(buffer, 27).label[0], '\0');
    Click(escaped, wiz::kEurIntUsa);
    Country(escaped).setCurrentIndex(3);
    QTest::keyClick(&escaped, Qt::Key_Escape);
    EXPECT_EQ(state.modelType, kModelEurInt);
    EXPECT_EQ(state.countryIndex, 5);
    CModelWizardDlg cancelled(state, buffer);
    cancelled.show();
    Click(cancelled, wiz::kUsa);
    Click(cancelled, ids::kCancel);
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_EQ(state.modelType, kModelEurInt);
    struct Case { int button, country, model, storedCountry; std::size_t privateChannels; };
    const Case cases[] = {
        {wiz::kUsa, 2, kModelUsa, 5, 0}, {wiz::kEurInt, 2, kModelEurInt, 2, 5}, {wiz::kEurIntUsa, 8, kModelEurIntUsa, 8, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        state.countryIndex = 5;
        std::memset(&buffer, 0xA5, sizeof buffer);
        CModelWizardDlg dlg(state, buffer);
        dlg.show();
        Country(dlg).setCurrentIndex(0);
        Click(dlg, c.button);
        EXPECT_EQ(Country(dlg).isEnabled(), c.model != kModelUsa);
        Country(dlg).setCurrentIndex(c.country);
        PressOk(dlg);
        EXPECT_EQ(state.modelType, c.model);
        EXPECT_EQ(state.countryIndex, c.storedCountry);
        EXPECT_EQ(PrivateChannelCount(buffer), c.privateChannels);
        EXPECT_EQ(buffer.reserved2[0], 0u);  // defaults start from all bytes zero
    }
}

// OK stores the names as typed, within twelve characters; Cancel keeps them; a read-only interface
// lets nothing change and OK keeps even a longer name from a file whole.
TEST(FeatureSetupDlgTest, OkStoresTheTypedNamesCancelAndAReadOnlyInterfaceKeepThem) {
    ScriptedPrompts prompts;
    AppState state = FreshAppState();
    RadioSettings settings;
    LoadDefaults(settings, kModelUsa);
    CopyText(settings.brandName, "Fifteen Chars!!");  // as a settings file may bring it
    const RadioSettings before = settings;
    const auto brand = [](const QDialog& d) -> QLineEdit& { return Control<QLineEdit>(d, ids::feature::kBrandEdit); };
    state.uiReadOnly = 1;
    {
        CFeatureSetupDlg dlg(state, settings);
        for (int id : {ids::feature::kBrandEdit, ids::feature::kModelEdit, ids::feature::kGpsAlert, ids::feature::kWxAlert})
            EXPECT_FALSE(Control<QWidget>(dlg, id).isEnabled()) << id;
        dlg.show();
        EXPECT_EQ(PressOk(dlg), QDialog::Accepted);
    }
    state.uiReadOnly = 0;
    {
        CFeatureSetupDlg dlg(state, settings);
        dlg.show();
        TypeInto(brand(dlg), QStringLiteral("Other"));
        Click(dlg, ids::kCancel);
    }
    EXPECT_TRUE(SameBytes(before, settings));
    CFeatureSetupDlg dlg(state, settings);
    dlg.show();
    TypeInto(Control<QLineEdit>(dlg, ids::feature::kModelEdit), QStringLiteral("Seafarer Marine"));
    PressOk(dlg);
    EXPECT_EQ(std::string(settings.modelName), "Seafarer Mar");
}

}  // namespace
}  // namespace orven::test
