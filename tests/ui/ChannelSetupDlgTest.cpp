#include "ui/CChannelSetupDlg.h"

#include "ui/DialogDriver.h"
#include "ui/ScriptedPrompts.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cstring>

namespace orven::test {
namespace {

using namespace orven::ui;
namespace ch = ids::channel;

const QString kInvalidTx =
    QStringLiteral("Invalid Tx Frequency.\nFrequency=0.00625*N.\nRange=136.0000 - 174.0000");

class ChannelSetupDlgTest : public ::testing::Test {
protected:
    ChannelSetupDlgTest() { LoadDefaults(settings, kModelEurInt); }

    // Private channel i as the channel list would hand it to the dialog for Edit.
    ChannelRecord& EditPrivate(int i, const char* label, double tx, double rx, int usage) {
        state.editBand = 3;
        state.editIndex = i;
        ChannelRecord& r = PrivateChannel(settings, static_cast<std::size_t>(i));
        CopyText(r.label, label);
        r.txMHz = tx;
        r.rxMHz = rx;
        r.usage = static_cast<std::uint8_t>(usage);
        r.inUse = 1;
        return r;
    }

    static QLineEdit& Tx(const QDialog& d) { return Control<QLineEdit>(d, ch::kTxEdit); }
    static QLineEdit& Rx(const QDialog& d) { return Control<QLineEdit>(d, ch::kRxEdit); }
    static QComboBox& Box(const QDialog& d, int id) { return Control<QComboBox>(d, id); }
    static bool Checked(const QDialog& d, int id) { return Control<QRadioButton>(d, id).isChecked(); }

    // Moves the focus out of the TX edit, as a click elsewhere would.
    static void LeaveTx(QDialog& d) {
        Tx(d).setFocus(Qt::MouseFocusReason);
        Box(d, ch::kUsageCombo).setFocus(Qt::MouseFocusReason);
    }

    ScriptedPrompts prompts;
    AppState state = FreshAppState();
    RadioSettings settings;
};

TEST_F(ChannelSetupDlgTest, NewChannelOpensAsSimplexOnTheDefaultFrequency) {
    CChannelSetupDlg dlg(state, settings, true);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Channel Setup Dialog"));
    QComboBox& first = Box(dlg, ch::kNameFirst);
    QComboBox& second = Box(dlg, ch::kNameSecond);
    QComboBox& usage = Box(dlg, ch::kUsageCombo);
    EXPECT_EQ(first.count(), 15);
    EXPECT_EQ(first.itemText(14), QStringLiteral("M"));
    EXPECT_EQ(second.count(), 10);
    EXPECT_EQ(usage.count(), 25);
    EXPECT_EQ(usage.itemText(24), QStringLiteral("      FISHING   "));
    EXPECT_FALSE(first.isEditable() || second.isEditable() || usage.isEditable());
    EXPECT_EQ(first.currentText(), QStringLiteral("0"));
    EXPECT_EQ(second.currentText(), QStringLiteral("0"));
    EXPECT_EQ(usage.currentText(), QStringLiteral(" PORT OPERATION "));
    EXPECT_EQ(Tx(dlg).text(), QStringLiteral("157.85000"));
    EXPECT_EQ(Rx(dlg).text(), QStringLiteral("157.85000"));
    EXPECT_TRUE(Rx(dlg).isReadOnly());
    EXPECT_TRUE(Checked(dlg, ch::kSimplex));

    const RadioSettings before = settings;
    dlg.show();
    Box(dlg, ch::kNameFirst).setCurrentIndex(12);  // "F"
    Box(dlg, ch::kNameSecond).setCurrentIndex(3);
    Box(dlg, ch::kUsageCombo).setCurrentIndex(24);
    ClickOk(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const ChannelRecord& own = dlg.OwnRecord();
    EXPECT_EQ(std::string(own.label), "F3");
    EXPECT_EQ(own.usage, 35);
    EXPECT_EQ(own.txMHz, 157.85);
    EXPECT_EQ(own.rxMHz, 157.85);
    EXPECT_EQ(own.inUse, 1u);
    EXPECT_EQ(std::memcmp(&before, &settings, sizeof settings), 0);
}

TEST_F(ChannelSetupDlgTest, OkAcceptsOnlyTxFrequenciesOnTheGridInsideTheBand) {
    struct Case { const char* text; bool valid; };
    const Case cases[] = {
        {"156.00625", true}, {"174.0", true}, {"136", true}, {"156.003", false},
        {"135.99375", false}, {"174.00625", false}, {"abc", false}, {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        prompts.messages.clear();
        CChannelSetupDlg dlg(state, settings, true);
        dlg.show();
        TypeInto(Tx(dlg), QString::fromLatin1(c.text));
        ClickOk(dlg);
        if (c.valid) {
            EXPECT_EQ(dlg.result(), QDialog::Accepted);
            EXPECT_TRUE(prompts.messages.empty());
            continue;
        }
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.OwnRecord().txMHz, 157.85);
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].title, QStringLiteral("Error"));
        EXPECT_EQ(prompts.messages[0].text, kInvalidTx);
        EXPECT_EQ(prompts.messages[0].icon, PromptIcon::None);
    }
}

TEST_F(ChannelSetupDlgTest, EditsThePrivateRecordInPlaceAndRxFollowsTheMode) {
    const ChannelRecord neighbour = EditPrivate(6, "L1", 155.5, 155.5, 34);
    ChannelRecord& r = EditPrivate(7, "F2", 156.0, 161.0, 35);
    // RX 5 MHz above TX: only the side counts; below is minus, nearly equal is simplex.
    for (const auto& [rx, mode] : {std::pair{150.0, ch::kDuplexMinus}, {156.000005, ch::kSimplex}}) {
        EditPrivate(7, "F2", 156.0, rx, 35);
        CChannelSetupDlg opened(state, settings, false);
        EXPECT_TRUE(Checked(opened, mode)) << rx;
    }
    EditPrivate(7, "F2", 156.0, 161.0, 35);
    CChannelSetupDlg dlg(state, settings, false);
    EXPECT_TRUE(Checked(dlg, ch::kDuplexPlus));
    EXPECT_EQ(Rx(dlg).text(), QStringLiteral("161.00000"));
    EXPECT_EQ(Box(dlg, ch::kNameFirst).currentText(), QStringLiteral("F"));
    EXPECT_EQ(Box(dlg, ch::kNameSecond).currentText(), QStringLiteral("2"));
    EXPECT_EQ(Box(dlg, ch::kUsageCombo).currentIndex(), 24);
    dlg.show();
    ClickOk(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(r.txMHz, 156.0);
    EXPECT_NEAR(r.rxMHz, 160.6, 1e-9);
    EXPECT_EQ(std::string(r.label), "F2");
    EXPECT_EQ(std::memcmp(&neighbour, &PrivateChannel(settings, 6), sizeof neighbour), 0);
}

TEST_F(ChannelSetupDlgTest, LeavingTxShowsRxOfTheModeOrWarnsOnce) {
    CChannelSetupDlg dlg(state, settings, true);
    ShowActive(dlg);
    Click(dlg, ch::kDuplexMinus);
    TypeInto(Tx(dlg), QStringLiteral("160.0"));
    LeaveTx(dlg);
    // "%8.5f" pads to 8 characters at least; 155.40000 is already 9.
    EXPECT_EQ(Rx(dlg).text(), QStringLiteral("155.40000"));
    EXPECT_TRUE(prompts.messages.empty());

    Click(dlg, ch::kDuplexPlus);
    EXPECT_EQ(Rx(dlg).text(), QStringLiteral("164.60000"));

    TypeInto(Tx(dlg), QStringLiteral("150.003"));
    LeaveTx(dlg);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, kInvalidTx);
    EXPECT_EQ(Rx(dlg).text(), QStringLiteral("164.60000"));
}

TEST_F(ChannelSetupDlgTest, SimplexCopiesTheTypedTextAndOkStoresRxEqualTx) {
    EditPrivate(2, "A1", 156.0, 160.6, 20);
    CChannelSetupDlg dlg(state, settings, false);
    dlg.show();
    TypeInto(Tx(dlg), QStringLiteral("156.3"));
    Click(dlg, ch::kSimplex);
    EXPECT_EQ(Rx(dlg).text(), QStringLiteral("156.3"));
    ClickOk(dlg);
    EXPECT_EQ(PrivateChannel(settings, 2).txMHz, 156.3);
    EXPECT_EQ(PrivateChannel(settings, 2).rxMHz, 156.3);
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
    EXPECT_EQ(stealing.messages.size(), 1u);

    QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&Tx(dlg), &deactivated);
    EXPECT_EQ(stealing.messages.size(), 1u);
}

TEST_F(ChannelSetupDlgTest, UnknownUsageShowsTheFirstEntryAndIsStoredAsEleven) {
    for (int usage : {0, 40, 200}) {
        SCOPED_TRACE(usage);
        ChannelRecord& r = EditPrivate(1, "03", 156.15, 156.15, usage);
        CChannelSetupDlg dlg(state, settings, false);
        EXPECT_EQ(Box(dlg, ch::kUsageCombo).currentIndex(), 0);
        dlg.show();
        ClickOk(dlg);
        EXPECT_EQ(r.usage, 11);
    }
}

TEST_F(ChannelSetupDlgTest, NameCharactersOutsideTheListsShowEntryZeroOrNoSelection) {
    // 'Z' is no name character: entry 0. 'C' is one, but not among the digits of the second box.
    ChannelRecord& r = EditPrivate(4, "ZC", 156.15, 156.15, 12);
    CChannelSetupDlg dlg(state, settings, false);
    EXPECT_EQ(Box(dlg, ch::kNameFirst).currentIndex(), 0);
    EXPECT_EQ(Box(dlg, ch::kNameSecond).currentIndex(), -1);
    dlg.show();
    ClickOk(dlg);
    EXPECT_EQ(std::string(r.label), "0C");
}

TEST_F(ChannelSetupDlgTest, CancelLeavesTheRecordAsItWas) {
    EditPrivate(5, "M2", 157.0, 157.0, 30);
    const RadioSettings before = settings;
    CChannelSetupDlg dlg(state, settings, false);
    dlg.show();
    Box(dlg, ch::kNameFirst).setCurrentIndex(1);
    Box(dlg, ch::kUsageCombo).setCurrentIndex(3);
    TypeInto(Tx(dlg), QStringLiteral("160.0"));
    Click(dlg, ch::kDuplexPlus);
    ClickCancel(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(std::memcmp(&before, &settings, sizeof settings), 0);
}

TEST_F(ChannelSetupDlgTest, EditPositionOfOtherBandsAndOutsideTheStore) {
    // A band beyond the four blocks takes editIndex as the store index itself.
    ChannelRecord& r = EditPrivate(9, "L3", 155.65, 155.65, 34);
    state.editBand = 7;
    state.editIndex = 309;
    {
        CChannelSetupDlg dlg(state, settings, false);
        EXPECT_EQ(Box(dlg, ch::kNameSecond).currentText(), QStringLiteral("3"));
        dlg.show();
        TypeInto(Tx(dlg), QStringLiteral("155.7"));
        ClickOk(dlg);
        EXPECT_EQ(r.txMHz, 155.7);
    }
    state.editIndex = 400;
    const RadioSettings before = settings;
    CChannelSetupDlg dlg(state, settings, false);
    EXPECT_TRUE(Tx(dlg).text().isEmpty());
    EXPECT_EQ(Box(dlg, ch::kNameFirst).currentIndex(), -1);
    EXPECT_FALSE(Checked(dlg, ch::kSimplex));
    dlg.show();
    TypeInto(Tx(dlg), QStringLiteral("156.0"));
    ClickOk(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(std::memcmp(&before, &settings, sizeof settings), 0);
}

}  // namespace
}  // namespace orven::test
