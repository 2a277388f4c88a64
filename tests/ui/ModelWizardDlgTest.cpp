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

TEST_F(ModelWizardDlgTest, OpensWithTitleModelOfStateAndCountryNone) {
    CModelWizardDlg dlg(state, buffer);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Model Wizard Dialog V1.15"));
    EXPECT_TRUE(Control<QRadioButton>(dlg, wiz::kEurInt).isChecked());
    QComboBox& country = Country(dlg);
    EXPECT_FALSE(country.isEditable());
    ASSERT_EQ(country.count(), 9);
    EXPECT_EQ(country.itemText(0), QStringLiteral("All"));
    EXPECT_EQ(country.itemText(7), QStringLiteral("Belgium"));
    // The last country chosen (state.countryIndex) is not taken over.
    EXPECT_EQ(country.currentText(), QStringLiteral("None"));
    EXPECT_EQ(Preview(dlg).count(), 0);

    state.modelType = 7;  // beyond the known ones
    CModelWizardDlg unknown(state, buffer);
    EXPECT_TRUE(Control<QRadioButton>(unknown, wiz::kEurIntUsa).isChecked());
}

TEST_F(ModelWizardDlgTest, CountryPartsAreEnabledExactlyWhenUsaIsOff) {
    state.modelType = kModelUsa;
    CModelWizardDlg dlg(state, buffer);
    dlg.show();
    EXPECT_FALSE(Country(dlg).isEnabled());
    for (const auto& [button, enabled] : {std::pair{wiz::kEurIntUsa, true}, {wiz::kEurInt, true},
                                          {wiz::kUsa, false}}) {
        Click(dlg, button);
        EXPECT_EQ(Country(dlg).isEnabled(), enabled) << button;
        EXPECT_EQ(Preview(dlg).isEnabled(), enabled) << button;
    }
}

TEST_F(ModelWizardDlgTest, PreviewFollowsTheCountryAndClearsWhatALargerOneLeft) {
    CModelWizardDlg dlg(state, buffer);
    Country(dlg).setCurrentIndex(0);
    QListWidget& preview = Preview(dlg);
    ASSERT_EQ(preview.count(), 28);
    EXPECT_EQ(preview.item(0)->text(), QStringLiteral("31 Tx=157.5500 Rx=162.1500        MARINA   "));
    EXPECT_EQ(PrivateChannel(buffer, 27).inUse, 1u);

    Country(dlg).setCurrentIndex(1);
    EXPECT_EQ(preview.count(), 2);
    EXPECT_EQ(PrivateChannel(buffer, 2).inUse, 0u);
    EXPECT_EQ(PrivateChannel(buffer, 27).label[0], '\0');
}

// OK stores the model and country in the state and builds that document in the buffer; with
// USA the country shown is ignored.
TEST_F(ModelWizardDlgTest, OkStoresModelAndCountryAndBuildsTheDocument) {
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
        Country(dlg).setCurrentIndex(c.country);
        ClickOk(dlg);
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(state.modelType, c.model);
        EXPECT_EQ(state.countryIndex, c.storedCountry);
        EXPECT_EQ(buffer.model, c.model);
        EXPECT_EQ(buffer.bandCAN, c.can);
        EXPECT_EQ(buffer.bandWX, c.wx);
        EXPECT_EQ(PrivateChannelCount(buffer), c.privateChannels);
        EXPECT_EQ(std::string(buffer.modelName), "ORVEN");
        // Defaults start from all bytes zero: nothing of the caller's buffer is left.
        EXPECT_EQ(buffer.reserved2[0], 0u);
    }
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
    CModelWizardDlg again(state, buffer);
    EXPECT_TRUE(Control<QRadioButton>(again, wiz::kEurInt).isChecked());
    EXPECT_EQ(Country(again).currentIndex(), 8);
}

}  // namespace
}  // namespace orven::test
