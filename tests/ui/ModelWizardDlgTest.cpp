#include "ui/CModelWizardDlg.h"

#include "model/RadioSettings.h"
#include "ui/DialogDriver.h"
#include "ui/ScriptedPrompts.h"

#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cstring>

namespace orven::test {
namespace {

using namespace orven::ui;
namespace wiz = ids::wizard;

class ModelWizardDlgTest : public ::testing::Test {
protected:
    ModelWizardDlgTest() {
        state.modelType = kModelEurInt;
        state.countryIndex = 5;
        std::memset(&buffer, 0xA5, sizeof buffer);  // whatever the caller's buffer held
    }

    QComboBox& Country(const QDialog& dlg) { return Control<QComboBox>(dlg, wiz::kCountryCombo); }
    QListWidget& Preview(const QDialog& dlg) { return Control<QListWidget>(dlg, wiz::kPreviewList); }

    ScriptedPrompts prompts;
    AppState state = FreshAppState();
    RadioSettings buffer;
};

std::string Label(const ChannelRecord& r) { return std::string(r.label, strnlen(r.label, sizeof r.label)); }

TEST_F(ModelWizardDlgTest, OpensWithTitleModelOfStateAndCountryNone) {
    CModelWizardDlg dlg(state, buffer);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Model Wizard Dialog V1.15"));
    EXPECT_TRUE(Control<QRadioButton>(dlg, wiz::kEurInt).isChecked());
    QComboBox& country = Country(dlg);
    EXPECT_FALSE(country.isEditable());
    ASSERT_EQ(country.count(), 9);
    EXPECT_EQ(country.itemText(0), QStringLiteral("All"));
    EXPECT_EQ(country.itemText(2), QStringLiteral("Denmark"));
    EXPECT_EQ(country.itemText(7), QStringLiteral("Belgium"));
    // The last country chosen (state.countryIndex) is not taken over.
    EXPECT_EQ(country.currentText(), QStringLiteral("None"));
    EXPECT_EQ(Preview(dlg).count(), 0);
}

TEST_F(ModelWizardDlgTest, ModelTypeBeyondTheKnownOnesOpensAsEurIntUsa) {
    state.modelType = 7;
    CModelWizardDlg dlg(state, buffer);
    EXPECT_TRUE(Control<QRadioButton>(dlg, wiz::kEurIntUsa).isChecked());
}

TEST_F(ModelWizardDlgTest, CountryPartsAreEnabledExactlyWhenUsaIsOff) {
    state.modelType = kModelUsa;
    CModelWizardDlg dlg(state, buffer);
    dlg.show();
    EXPECT_FALSE(Country(dlg).isEnabled());
    EXPECT_FALSE(Preview(dlg).isEnabled());
    Click(dlg, wiz::kEurIntUsa);
    EXPECT_TRUE(Country(dlg).isEnabled());
    EXPECT_TRUE(Preview(dlg).isEnabled());
    Click(dlg, wiz::kEurInt);
    EXPECT_TRUE(Country(dlg).isEnabled());
    Click(dlg, wiz::kUsa);
    EXPECT_FALSE(Country(dlg).isEnabled());
    EXPECT_FALSE(Preview(dlg).isEnabled());
}

TEST_F(ModelWizardDlgTest, PreviewOfAllShowsTwentyEightRowsAndFillsTheBuffer) {
    CModelWizardDlg dlg(state, buffer);
    Country(dlg).setCurrentIndex(0);
    QListWidget& preview = Preview(dlg);
    ASSERT_EQ(preview.count(), 28);
    // "%s Tx=%8.4f Rx=%8.4f %s" of "31", 157.55, 162.15 and usage 33 "       MARINA   ".
    EXPECT_EQ(preview.item(0)->text(), QStringLiteral("31 Tx=157.5500 Rx=162.1500        MARINA   "));
    // The last entry is number 149: letter "C" for 14 and beyond, then the units digit.
    EXPECT_EQ(Label(PrivateChannel(buffer, 27)), "C9");
    EXPECT_EQ(PrivateChannel(buffer, 28).inUse, 0u);

    // A smaller country clears what the larger one left behind.
    Country(dlg).setCurrentIndex(1);
    EXPECT_EQ(preview.count(), 2);
    EXPECT_EQ(Label(PrivateChannel(buffer, 0)), "M1");
    EXPECT_EQ(PrivateChannel(buffer, 2).inUse, 0u);
    EXPECT_EQ(PrivateChannel(buffer, 27).label[0], '\0');
}

TEST_F(ModelWizardDlgTest, OkWithUsaIgnoresTheCountryShown) {
    CModelWizardDlg dlg(state, buffer);
    dlg.show();
    Country(dlg).setCurrentIndex(2);
    Click(dlg, wiz::kUsa);
    ClickOk(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(state.modelType, kModelUsa);
    EXPECT_EQ(state.countryIndex, 5);
    EXPECT_EQ(buffer.model, kModelUsa);
    EXPECT_EQ(buffer.bandWX, 1u);
    EXPECT_EQ(std::string(buffer.modelName), "ORVEN");
    EXPECT_EQ(PrivateChannelCount(buffer), 0u);
    EXPECT_EQ(PrivateChannel(buffer, 0).label[0], '\0');
}

TEST_F(ModelWizardDlgTest, OkWithEurIntAndDenmarkStoresFivePrivateChannels) {
    state.modelType = kModelUsa;
    CModelWizardDlg dlg(state, buffer);
    dlg.show();
    Click(dlg, wiz::kEurInt);
    Country(dlg).setCurrentIndex(2);
    ClickOk(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(state.modelType, kModelEurInt);
    EXPECT_EQ(state.countryIndex, 2);
    EXPECT_EQ(buffer.model, kModelEurInt);
    EXPECT_EQ(buffer.bandCAN, 0u);
    ASSERT_EQ(PrivateChannelCount(buffer), 5u);
    const char* labels[] = {"F1", "F2", "F3", "L1", "L2"};
    const int usages[] = {35, 35, 35, 34, 34};  // FISHING x3, LEISURE x2
    const double tx[] = {155.625, 155.775, 155.825, 155.500, 155.525};
    for (std::size_t i = 0; i < 5; ++i) {
        const ChannelRecord& r = PrivateChannel(buffer, i);
        EXPECT_EQ(Label(r), labels[i]) << i;
        EXPECT_EQ(r.usage, usages[i]) << i;
        EXPECT_NEAR(r.txMHz, tx[i], 1e-6) << i;
        EXPECT_EQ(r.rxMHz, r.txMHz) << i;
        EXPECT_EQ(r.inUse, 1u) << i;
    }
}

TEST_F(ModelWizardDlgTest, OkWithEurIntUsaAndNoneGivesDefaultsWithoutPrivateChannels) {
    CModelWizardDlg dlg(state, buffer);
    dlg.show();
    Country(dlg).setCurrentIndex(0);
    Click(dlg, wiz::kEurIntUsa);
    Country(dlg).setCurrentIndex(8);
    ClickOk(dlg);
    EXPECT_EQ(state.modelType, kModelEurIntUsa);
    EXPECT_EQ(state.countryIndex, 8);
    EXPECT_EQ(buffer.bandCAN, 1u);
    EXPECT_EQ(buffer.bandWX, 0u);
    EXPECT_EQ(PrivateChannelCount(buffer), 0u);
    // Defaults start from all bytes zero: nothing of the caller's buffer is left.
    EXPECT_EQ(buffer.reserved2[0], 0u);
}

TEST_F(ModelWizardDlgTest, EscapeKeepsTheStateAndReopeningStartsAtNone) {
    {
        CModelWizardDlg dlg(state, buffer);
        dlg.show();
        Click(dlg, wiz::kEurIntUsa);
        Country(dlg).setCurrentIndex(3);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_EQ(state.modelType, kModelEurInt);
        EXPECT_EQ(state.countryIndex, 5);
    }
    {
        CModelWizardDlg dlg(state, buffer);
        dlg.show();
        Country(dlg).setCurrentIndex(6);
        ClickOk(dlg);
        EXPECT_EQ(state.countryIndex, 6);
    }
    CModelWizardDlg again(state, buffer);
    EXPECT_TRUE(Control<QRadioButton>(again, wiz::kEurInt).isChecked());
    EXPECT_EQ(Country(again).currentIndex(), 8);
}

}  // namespace
}  // namespace orven::test
