// Pictures of the dialogs for the documentation. Disabled in normal runs; to refresh them, run
// with ORVEN_SCREENSHOT_DIR=docs and --gtest_also_run_disabled_tests
// --gtest_filter='DialogScreenshots.*'.
#include "ui/CChannelSetupDlg.h"
#include "ui/CModelWizardDlg.h"

#include "ui/DialogDriver.h"
#include "ui/ScriptedPrompts.h"

#include <QComboBox>
#include <QDir>
#include <QPixmap>

#include <gtest/gtest.h>

namespace orven::test {
namespace {

using namespace orven::ui;

void Save(QDialog& dialog, const QString& name) {
    const QString dir = qEnvironmentVariable("ORVEN_SCREENSHOT_DIR");
    ASSERT_FALSE(dir.isEmpty()) << "set ORVEN_SCREENSHOT_DIR";
    dialog.show();
    dialog.adjustSize();
    QApplication::processEvents();
    const QPixmap picture = dialog.grab();
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.save(QDir(dir).filePath(name), "PNG")) << name.toStdString();
}

TEST(DialogScreenshots, DISABLED_WizardAndChannelSetup) {
    ScriptedPrompts prompts;
    AppState state = FreshAppState();
    state.modelType = kModelEurInt;
    RadioSettings settings{};
    LoadDefaults(settings, kModelEurInt);

    CModelWizardDlg wizard(state, settings);
    Control<QComboBox>(wizard, ids::wizard::kCountryCombo).setCurrentIndex(0);
    Save(wizard, QStringLiteral("wizard.png"));

    state.editBand = 3;
    state.editIndex = 0;  // channel 31 of the "All" presets the wizard put into settings
    CChannelSetupDlg setup(state, settings, false);
    Save(setup, QStringLiteral("channel-setup.png"));
}

}  // namespace
}  // namespace orven::test
