// The option dialogs on their own: channel setup, model wizard, user options and feature setup.
#include "ui/CChannelSetupDlg.h"
#include "ui/CFeatureSetupDlg.h"
#include "ui/CModelWizardDlg.h"
#include "ui/CUserDlg.h"

#include "model/RadioSettings.h"
#include "model/SettingsRules.h"
#include "ui/DialogDriver.h"
#include "ui/ScriptedPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cstring>

namespace orven::test {
namespace {

using namespace orven::ui;
namespace ch = ids::channel;
namespace wiz = ids::wizard;

const QString kInvalidTx =
    QStringLiteral("Invalid Tx Frequency.\nFrequency=0.00625*N.\nRange=136.0000 - 174.0000");

bool SameBytes(const RadioSettings& a, const RadioSettings& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class ChannelSetupDlgTest : public ::testing::Test {
protected:
    ChannelSetupDlgTest() { LoadDefaults(settings, kModelEurInt); }

    // Private channel i as the channel list would hand it to the dialog for Edit.
    ChannelRecord& EditPrivate(int i, const char* label, double tx, double rx) {
        state.editBand = 3;
        state.editIndex = i;
        ChannelRecord& r = PrivateChannel(settings, static_cast<std::size_t>(i));
        CopyText(r.label, label);
        r.txMHz = tx;
        r.rxMHz = rx;
        r.usage = 35;
        r.inUse = 1;
        return r;
    }

    static QLineEdit& Tx(const QDialog& d) { return Control<QLineEdit>(d, ch::kTxEdit); }
    static QLineEdit& Rx(const QDialog& d) { return Control<QLineEdit>(d, ch::kRxEdit); }
    static QComboBox& Box(const QDialog& d, int id) { return Control<QComboBox>(d, id); }
    static bool Checked(const QDialog& d, int id) { return Control<QRadioButton>(d, id).isChecked(); }

    ScriptedPrompts prompts;
    AppState state = FreshAppState();
    RadioSettings settings;
};

TEST_F(ChannelSetupDlgTest, NewChannelOpensAsSimplexAndOkFillsOnlyItsOwnRecord) {
    CChannelSetupDlg dlg(state, settings, true);
    EXPECT_TRUE(Checked(dlg, ch::kSimplex));
    const RadioSettings before = settings;
    dlg.show();
    Box(dlg, ch::kNameFirst).setCurrentIndex(12);  // "F"
    Box(dlg, ch::kNameSecond).setCurrentIndex(3);
    Box(dlg, ch::kUsageCombo).setCurrentIndex(24);
    EXPECT_EQ(Box(dlg, ch::kUsageCombo).currentText(), "FISHING");  // without the list's padding
    ClickOk(dlg);
    const ChannelRecord& own = dlg.OwnRecord();
    EXPECT_EQ(std::string(own.label), "F3");
    EXPECT_EQ(own.usage, 35);
    EXPECT_EQ(own.rxMHz, 157.85);  // the default frequency
    EXPECT_TRUE(SameBytes(before, settings));
}

// OK takes only a TX on the grid inside the band, and only an RX (TX and the mode's offset) that
// the settings file check accepts too.
TEST_F(ChannelSetupDlgTest, OkAcceptsOnlyChannelsTheSettingsFileAccepts) {
    struct Case { const char* text; int mode; const QString refusal; };
    const QString invalidRx = QString::fromStdString(InvalidRxMessage());
    const Case cases[] = {{"156.00625", ch::kSimplex, {}},       {"174.0", ch::kSimplex, {}},
                          {"156.003", ch::kSimplex, kInvalidTx},  {"135.99375", ch::kSimplex, kInvalidTx},
                          {"174.00625", ch::kSimplex, kInvalidTx}, {"abc", ch::kSimplex, kInvalidTx},
                          {"172.0", ch::kDuplexPlus, invalidRx},  {"169.4", ch::kDuplexPlus, {}},
                          {"140.0", ch::kDuplexMinus, invalidRx}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        prompts.messages.clear();
        EditPrivate(0, "F2", 156.0, 156.0);
        CChannelSetupDlg dlg(state, settings, false);
        dlg.show();
        TypeInto(Tx(dlg), QString::fromLatin1(c.text));
        Click(dlg, c.mode);
        ClickOk(dlg);
        EXPECT_EQ(dlg.isVisible(), !c.refusal.isEmpty());
        EXPECT_EQ(prompts.MessageTexts(), c.refusal.isEmpty() ? QStringList() : QStringList({c.refusal}));
        EXPECT_TRUE(SettingsPassCheck(settings));
    }
}

TEST_F(ChannelSetupDlgTest, EditsThePrivateRecordInPlaceAndRxFollowsTheMode) {
    const ChannelRecord neighbour = EditPrivate(6, "L1", 155.5, 155.5);
    // RX 5 MHz above TX: only the side counts; below is minus, nearly equal is simplex.
    for (const auto& [rx, mode] : {std::pair{150.0, ch::kDuplexMinus}, {156.000005, ch::kSimplex}}) {
        EditPrivate(7, "F2", 156.0, rx);
        CChannelSetupDlg opened(state, settings, false);
        EXPECT_TRUE(Checked(opened, mode)) << rx;
    }
    ChannelRecord& r = EditPrivate(7, "F2", 156.0, 161.0);
    CChannelSetupDlg dlg(state, settings, false);
    EXPECT_TRUE(Checked(dlg, ch::kDuplexPlus));
    dlg.show();
    ClickOk(dlg);
    EXPECT_NEAR(r.rxMHz, 160.6, 1e-9);
    EXPECT_EQ(std::string(r.label), "F2");
    EXPECT_EQ(std::memcmp(&neighbour, &PrivateChannel(settings, 6), sizeof neighbour), 0);
}

TEST_F(ChannelSetupDlgTest, LeavingTxShowsRxOfTheModeOrWarnsOnce) {
    CChannelSetupDlg dlg(state, settings, true);
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    const auto leaveTx = [&dlg] {
        Tx(dlg).setFocus(Qt::MouseFocusReason);
        Box(dlg, ch::kUsageCombo).setFocus(Qt::MouseFocusReason);
    };
    Click(dlg, ch::kDuplexMinus);
    TypeInto(Tx(dlg), QStringLiteral("160.0"));
    leaveTx();
    EXPECT_EQ(Rx(dlg).text(), QStringLiteral("155.40000"));
    Click(dlg, ch::kDuplexPlus);
    EXPECT_EQ(Rx(dlg).text(), QStringLiteral("164.60000"));
    EXPECT_TRUE(prompts.messages.empty());

    TypeInto(Tx(dlg), QStringLiteral("150.003"));
    leaveTx();
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(Rx(dlg).text(), QStringLiteral("164.60000"));
}

// A warning box takes the focus while it is shown; that must not start a second warning.
class FocusStealingPrompts : public ScriptedPrompts {
public:
    void Message(QWidget* parent, const QString& title, const QString& text, PromptIcon icon) override {
        ScriptedPrompts::Message(parent, title, text, icon);
        if (target && ++steals <= 3) {
            QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
            QApplication::sendEvent(target, &out);
        }
    }
    QWidget* target = nullptr;
    int steals = 0;
};

TEST_F(ChannelSetupDlgTest, FocusLossDuringTheWarningOrByWindowSwitchDoesNotWarnAgain) {
    FocusStealingPrompts stealing;
    CChannelSetupDlg dlg(state, settings, true);
    stealing.target = &Tx(dlg);
    Tx(dlg).setText(QStringLiteral("1"));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&Tx(dlg), &out);
    QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&Tx(dlg), &deactivated);
    EXPECT_EQ(stealing.messages.size(), 1u);
}

// Cancel keeps the record; a position outside the store is edited nowhere, even on OK.
TEST_F(ChannelSetupDlgTest, CancelOrAPositionOutsideTheStoreChangesNothing) {
    EditPrivate(5, "M2", 157.0, 157.0);
    const RadioSettings before = settings;
    {
        CChannelSetupDlg dlg(state, settings, false);
        dlg.show();
        Box(dlg, ch::kNameFirst).setCurrentIndex(1);
        TypeInto(Tx(dlg), QStringLiteral("160.0"));
        Click(dlg, ch::kDuplexPlus);
        ClickCancel(dlg);
    }
    state.editBand = 7;
    state.editIndex = 400;
    CChannelSetupDlg dlg(state, settings, false);
    dlg.show();
    TypeInto(Tx(dlg), QStringLiteral("156.0"));
    ClickOk(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(SameBytes(before, settings));
}

class ModelWizardDlgTest : public ::testing::Test {
protected:
    ModelWizardDlgTest() {
        state.modelType = kModelEurInt;
        state.countryIndex = 5;
        std::memset(&buffer, 0xA5, sizeof buffer);  // whatever the caller's buffer held
    }
    QComboBox& Country(const QDialog& dlg) { return Control<QComboBox>(dlg, wiz::kCountryCombo); }

    ScriptedPrompts prompts;
    AppState state = FreshAppState();
    RadioSettings buffer;
};

TEST_F(ModelWizardDlgTest, PreviewFollowsTheCountryAndClearsWhatALargerOneLeft) {
    CModelWizardDlg dlg(state, buffer);
    EXPECT_EQ(Country(dlg).currentText(), QStringLiteral("None"));  // the last choice is not taken over
    Country(dlg).setCurrentIndex(0);
    QListWidget& preview = Control<QListWidget>(dlg, wiz::kPreviewList);
    ASSERT_EQ(preview.count(), 28);
    EXPECT_EQ(preview.item(0)->text(), QStringLiteral("31 Tx=157.5500 Rx=162.1500        MARINA   "));

    Country(dlg).setCurrentIndex(1);
    EXPECT_EQ(preview.count(), 2);
    EXPECT_EQ(PrivateChannel(buffer, 2).inUse, 0u);
    EXPECT_EQ(PrivateChannel(buffer, 27).label[0], '\0');
}

// OK stores the model and country in the state and builds that document in the buffer; with
// USA the country shown is ignored. Escape keeps the state.
TEST_F(ModelWizardDlgTest, OkStoresModelAndCountryAndBuildsTheDocument) {
    {
        CModelWizardDlg dlg(state, buffer);
        dlg.show();
        Click(dlg, wiz::kEurIntUsa);
        Country(dlg).setCurrentIndex(3);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        EXPECT_EQ(state.modelType, kModelEurInt);
        EXPECT_EQ(state.countryIndex, 5);
    }
    struct Case {
        int button, country, model, storedCountry;
        std::size_t privateChannels;
        std::uint32_t can, wx;
    };
    const Case cases[] = {{wiz::kUsa, 2, kModelUsa, 5, 0, 1, 1},
                          {wiz::kEurInt, 2, kModelEurInt, 2, 5, 0, 0},
                          {wiz::kEurIntUsa, 8, kModelEurIntUsa, 8, 0, 1, 0}};
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
        ClickOk(dlg);
        EXPECT_EQ(state.modelType, c.model);
        EXPECT_EQ(state.countryIndex, c.storedCountry);
        EXPECT_EQ(buffer.bandCAN, c.can);
        EXPECT_EQ(buffer.bandWX, c.wx);
        EXPECT_EQ(PrivateChannelCount(buffer), c.privateChannels);
        EXPECT_EQ(buffer.reserved2[0], 0u);  // defaults start from all bytes zero
    }
}

// The main window tests take the boxes through OK; here Cancel, and the first-clone flag that
// lives outside the state.
TEST(UserDlgTest, OkStoresTheFirstCloneFlagAndCancelNothing) {
    ScriptedPrompts prompts;
    AppState state = FreshAppState();
    FirstCloneFlag() = 1;
    for (const bool ok : {false, true}) {
        CUserDlg dlg(state);
        dlg.show();
        Click(dlg, ids::user::kFirstClone);
        Click(dlg, ids::user::kDumpImages);
        ok ? ClickOk(dlg) : ClickCancel(dlg);
        EXPECT_EQ(state.dumpImages, ok ? 1u : 0u);
        EXPECT_EQ(FirstCloneFlag(), ok ? 0 : 1);
    }
    // The newest release noted is the one running.
    CUserDlg dlg(state);
    EXPECT_TRUE(Control<QListWidget>(dlg, ids::user::kVersionNotes).item(0)->text().startsWith(
        QLatin1String(ids::kStrVersion)));
}

class FeatureSetupDlgTest : public ::testing::Test {
protected:
    FeatureSetupDlgTest() { LoadDefaults(settings, kModelUsa); }
    static QLineEdit& Brand(const QDialog& d) { return Control<QLineEdit>(d, ids::feature::kBrandEdit); }

    ScriptedPrompts prompts;
    AppState state = FreshAppState();
    RadioSettings settings;
};

TEST_F(FeatureSetupDlgTest, OkStoresTheTypedNamesWithinTwelveCharactersAndCancelKeepsThem) {
    {
        const RadioSettings before = settings;
        CFeatureSetupDlg dlg(state, settings);
        dlg.show();
        TypeInto(Brand(dlg), QStringLiteral("Other"));
        ClickCancel(dlg);
        EXPECT_TRUE(SameBytes(before, settings));
    }
    CFeatureSetupDlg dlg(state, settings);
    dlg.show();
    TypeInto(Brand(dlg), QStringLiteral("Seafarer Marine"));
    TypeInto(Control<QLineEdit>(dlg, ids::feature::kModelEdit), QStringLiteral("X9"));
    ClickOk(dlg);
    EXPECT_EQ(std::string(settings.brandName), "Seafarer Mar");
    // Nothing of the longer name stays behind the new one.
    EXPECT_EQ(std::string(settings.modelName, sizeof settings.modelName),
              std::string("X9").append(sizeof settings.modelName - 2, '\0'));
}

TEST_F(FeatureSetupDlgTest, ReadOnlyInterfaceDisablesEverythingAndOkKeepsLongNamesWhole) {
    state.uiReadOnly = 1;
    CopyText(settings.brandName, "Fifteen Chars!!");  // as a settings file may bring it
    const RadioSettings before = settings;
    CFeatureSetupDlg dlg(state, settings);
    for (int id : {ids::feature::kBrandEdit, ids::feature::kModelEdit, ids::feature::kGpsAlert,
                   ids::feature::kWxAlert})
        EXPECT_FALSE(Control<QWidget>(dlg, id).isEnabled()) << id;
    dlg.show();
    ClickOk(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(SameBytes(before, settings));
}

}  // namespace
}  // namespace orven::test
