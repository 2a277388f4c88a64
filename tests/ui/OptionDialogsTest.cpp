#include "ui/CFeatureSetupDlg.h"
#include "ui/CUserDlg.h"

#include "ui/DialogDriver.h"
#include "ui/ScriptedPrompts.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <cstring>

namespace orven::test {
namespace {

using namespace orven::ui;

class UserDlgTest : public ::testing::Test {
protected:
    UserDlgTest() {
        state.traceLog = 1;
        state.dumpImages = 0;
        state.uiReadOnly = 0;
        FirstCloneFlag() = 1;
    }
    ~UserDlgTest() override { FirstCloneFlag() = 0; }

    static QCheckBox& Box(const QDialog& d, int id) { return Control<QCheckBox>(d, id); }

    ScriptedPrompts prompts;
    AppState state = FreshAppState();
};

TEST_F(UserDlgTest, OpensWithTheFlagsAndTheNotesOfThisVersion) {
    CUserDlg dlg(state);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("User Dialog"));
    EXPECT_TRUE(Box(dlg, ids::user::kFirstClone).isChecked());
    EXPECT_TRUE(Box(dlg, ids::user::kTraceLog).isChecked());
    EXPECT_FALSE(Box(dlg, ids::user::kDumpImages).isChecked());
    EXPECT_FALSE(Box(dlg, ids::user::kUiReadOnly).isChecked());
    EXPECT_EQ(Box(dlg, ids::user::kDumpImages).text(), QStringLiteral("Create ROM map file."));
    const QListWidget& notes = Control<QListWidget>(dlg, ids::user::kVersionNotes);
    ASSERT_GT(notes.count(), 2);
    // The newest release noted is the one running.
    EXPECT_TRUE(notes.item(0)->text().startsWith(QLatin1String(ids::kStrVersion)));
    EXPECT_TRUE(notes.findItems(QStringLiteral(" "), Qt::MatchExactly).size() >= 1);
}

TEST_F(UserDlgTest, OkStoresEveryBoxAndCancelNothing) {
    {
        CUserDlg dlg(state);
        dlg.show();
        Click(dlg, ids::user::kFirstClone);
        Click(dlg, ids::user::kDumpImages);
        Click(dlg, ids::user::kUiReadOnly);
        ClickCancel(dlg);
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_EQ(state.dumpImages, 0u);
        EXPECT_EQ(state.uiReadOnly, 0u);
        EXPECT_EQ(FirstCloneFlag(), 1);
    }
    CUserDlg dlg(state);
    dlg.show();
    Click(dlg, ids::user::kFirstClone);
    Click(dlg, ids::user::kTraceLog);
    Click(dlg, ids::user::kDumpImages);
    Click(dlg, ids::user::kUiReadOnly);
    ClickOk(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(state.traceLog, 0u);
    EXPECT_EQ(state.dumpImages, 1u);
    EXPECT_EQ(state.uiReadOnly, 1u);
    EXPECT_EQ(FirstCloneFlag(), 0);
}

class FeatureSetupDlgTest : public ::testing::Test {
protected:
    FeatureSetupDlgTest() { LoadDefaults(settings, kModelUsa); }

    static QLineEdit& Brand(const QDialog& d) { return Control<QLineEdit>(d, ids::feature::kBrandEdit); }
    static QLineEdit& Model(const QDialog& d) { return Control<QLineEdit>(d, ids::feature::kModelEdit); }

    ScriptedPrompts prompts;
    AppState state = FreshAppState();
    RadioSettings settings;
};

TEST_F(FeatureSetupDlgTest, OkStoresTheTypedNamesWithinTwelveCharacters) {
    CFeatureSetupDlg dlg(state, settings);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Feature Setup Dialog"));
    EXPECT_EQ(Brand(dlg).text(), QStringLiteral("Corvantexia"));
    EXPECT_EQ(Model(dlg).text(), QStringLiteral("ORVEN"));
    EXPECT_EQ(Control<QCheckBox>(dlg, ids::feature::kWxAlert).text(), QStringLiteral("Enale WX Alert Check."));
    dlg.show();
    TypeInto(Brand(dlg), QStringLiteral("Seafarer Marine"));
    TypeInto(Model(dlg), QStringLiteral("X9"));
    ClickOk(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(std::string(settings.brandName), "Seafarer Mar");
    EXPECT_EQ(std::string(settings.modelName), "X9");
    // Nothing of the longer name stays behind the new one.
    for (std::size_t i = 2; i < sizeof settings.modelName; ++i) EXPECT_EQ(settings.modelName[i], '\0') << i;
}

TEST_F(FeatureSetupDlgTest, CancelKeepsTheNames) {
    const RadioSettings before = settings;
    CFeatureSetupDlg dlg(state, settings);
    dlg.show();
    TypeInto(Brand(dlg), QStringLiteral("Other"));
    ClickCancel(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(std::memcmp(&before, &settings, sizeof settings), 0);
}

TEST_F(FeatureSetupDlgTest, ReadOnlyInterfaceDisablesEverythingAndOkKeepsLongNamesWhole) {
    state.uiReadOnly = 1;
    CopyText(settings.brandName, "Fifteen Chars!!");  // as a settings file may bring it
    const RadioSettings before = settings;
    CFeatureSetupDlg dlg(state, settings);
    for (int id : {ids::feature::kBrandEdit, ids::feature::kModelEdit, ids::feature::kGpsAlert,
                   ids::feature::kWxAlert})
        EXPECT_FALSE(Control<QWidget>(dlg, id).isEnabled()) << id;
    EXPECT_EQ(Brand(dlg).text(), QStringLiteral("Fifteen Chars!!"));
    dlg.show();
    ClickOk(dlg);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(std::memcmp(&before, &settings, sizeof settings), 0);
}

}  // namespace
}  // namespace orven::test
