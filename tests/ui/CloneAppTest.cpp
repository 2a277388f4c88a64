// Start-up and shut-down: the state file is read before the window opens, the options of one
// run are cleared, and the state is written after the window has closed.
#include "tests/ui/MainWindowFixture.h"

#include "clone/CloneEvent.h"
#include "ui/CCloneApp.h"

#include <QCheckBox>
#include <QRadioButton>

#include <cstring>

namespace orven::test {
namespace {

using ui::FindById;

constexpr const char* kProgram = "orven-clone";

std::int32_t Field(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::int32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

class CloneAppTest : public ::testing::Test {
protected:
    // Starts the application in the scratch folder; the window is shown and polls no USB radio.
    ui::CCloneMainDlg& StartUp(ui::CCloneApp& app) {
        ui::CCloneMainDlg& window = app.StartUp(dir.path(), kProgram);
        window.SetUsbDevice(noRadio);
        window.show();
        return window;
    }
    template <class T>
    static T* Find(const ui::CCloneMainDlg& window, int id) {
        T* found = FindById<T>(&window, id);
        EXPECT_NE(found, nullptr) << "no control " << id;
        return found;
    }

    TempDir dir;
    PortFolderGuard ports{dir.File("ports")};
    ScriptedPrompts prompts;
    CHidDevice noRadio{kUsbVendorId, kUsbProductId};
};

TEST(ProgramNameTest, IsTheExecutablesBaseNameWithoutExtension) {
    EXPECT_EQ(ui::ProgramNameOf("/usr/local/bin/orven-clone"), "orven-clone");
    EXPECT_EQ(ui::ProgramNameOf("./ORVEN.exe"), "ORVEN");
    EXPECT_EQ(ui::ProgramNameOf("orven-clone"), "orven-clone");
}

TEST_F(CloneAppTest, SelectionsLastFromOneRunToTheNextButTheRunOptionsDoNot) {
    {
        ui::CCloneApp app;
        CloneStopEvent.Set();
        CloneBusyEvent.Set();
        ui::CCloneMainDlg& window = StartUp(app);
        EXPECT_FALSE(CloneStopEvent.IsSet());
        EXPECT_FALSE(CloneBusyEvent.IsSet());
        EXPECT_EQ(app.StatePath(), dir.File("orven-clone.Bin"));
        EXPECT_EQ(Find<QComboBox>(window, ids::main::kPortCombo)->currentText(), "USB");
        EXPECT_EQ(Find<QComboBox>(window, ids::main::kBaudCombo)->currentText(), "9600");

        Find<QComboBox>(window, ids::main::kPortCombo)->setCurrentIndex(2);
        Find<QComboBox>(window, ids::main::kBaudCombo)->setCurrentIndex(4);
        prompts.dialogScript.push_back([](QDialog& wizard) {
            FindById<QRadioButton>(&wizard, ids::wizard::kEurInt)->click();
            FindById<QComboBox>(&wizard, ids::wizard::kCountryCombo)->setCurrentIndex(1);
            return PressOk(wizard);
        });
        Find<QAction>(window, ids::menu::kLoadDefault)->trigger();
        prompts.ctrlHeld = true;
        prompts.dialogScript.push_back([](QDialog& options) {
            FindById<QCheckBox>(&options, ids::user::kTraceLog)->setChecked(true);
            FindById<QCheckBox>(&options, ids::user::kUiReadOnly)->setChecked(true);
            return PressOk(options);
        });
        Find<QAction>(window, ids::menu::kAbout)->trigger();
        ASSERT_EQ(Find<QLabel>(window, ids::main::kOptionLine)->text(), "Logo;");
        window.close();
        EXPECT_TRUE(app.Finish());
        EXPECT_EQ(app.MainWindow(), nullptr);
    }

    const auto bytes = ReadBytes(dir.File("orven-clone.Bin"));
    ASSERT_EQ(bytes.size(), 1208u);
    EXPECT_EQ(Field(bytes, offsetof(AppState, modelType)), kModelEurInt);
    EXPECT_EQ(Field(bytes, offsetof(AppState, countryIndex)), 1);
    EXPECT_EQ(Field(bytes, offsetof(AppState, comPort)), 2);
    EXPECT_EQ(Field(bytes, offsetof(AppState, baudIndex)), 4);
    // The file keeps what the run ended with; the next start-up clears it.
    EXPECT_EQ(Field(bytes, offsetof(AppState, traceLog)), 1);
    EXPECT_EQ(Field(bytes, offsetof(AppState, uiReadOnly)), 1);
    EXPECT_EQ(Field(bytes, offsetof(AppState, untitled)), 1);

    ui::CCloneApp again;
    ui::CCloneMainDlg& window = StartUp(again);
    EXPECT_EQ(again.State().traceLog, 0u);
    EXPECT_EQ(again.State().dumpImages, 0u);
    EXPECT_EQ(again.State().uiReadOnly, 0u);
    EXPECT_EQ(Find<QLabel>(window, ids::main::kOptionLine)->text(), "");
    EXPECT_EQ(Find<QComboBox>(window, ids::main::kPortCombo)->currentIndex(), 2);
    EXPECT_EQ(Find<QComboBox>(window, ids::main::kBaudCombo)->currentText(), "38400");
    EXPECT_TRUE(Find<QRadioButton>(window, ids::main::kModelEurope)->isChecked());
    window.close();
    EXPECT_TRUE(again.Finish());
}

TEST_F(CloneAppTest, TheStateIsWrittenAlsoWhenTheSaveQuestionIsAnsweredNo) {
    auto doc = std::make_unique<RadioSettings>();
    LoadDefaults(*doc, kModelUsa);
    const std::string path = dir.File("d.dat");
    ASSERT_EQ(SaveSettingsFile(path, *doc), kResultOk);

    ui::CCloneApp app;
    ui::CCloneMainDlg& window = StartUp(app);
    prompts.openNames = {QString::fromStdString(path)};
    Find<QAction>(window, ids::menu::kOpen)->trigger();
    ClickButton(Find<QCheckBox>(window, ids::main::kBandCan));
    const auto before = ReadBytes(path);
    prompts.answers = {false};
    window.close();
    EXPECT_EQ(prompts.questions.size(), 1u);
    EXPECT_TRUE(app.Finish());
    EXPECT_EQ(ReadBytes(path), before);

    const auto bytes = ReadBytes(app.StatePath());
    ASSERT_EQ(bytes.size(), 1208u);
    EXPECT_EQ(Field(bytes, offsetof(AppState, modified)), 1);
    EXPECT_EQ(Field(bytes, offsetof(AppState, untitled)), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()) + offsetof(AppState, filePath)),
              path);
}

TEST_F(CloneAppTest, AnUnreadableStateFileGivesTheFreshState) {
    // A folder where the state file belongs can be neither read nor replaced.
    std::filesystem::create_directory(dir.File("orven-clone.Bin"));
    ui::CCloneApp app;
    ui::CCloneMainDlg& window = StartUp(app);
    const AppState& state = app.State();
    EXPECT_EQ(state.modelType, 0);
    EXPECT_EQ(state.countryIndex, 0);
    EXPECT_EQ(state.comPort, 0);
    EXPECT_EQ(state.baudIndex, 1);
    EXPECT_EQ(state.filePath[0], '\0');
    EXPECT_EQ(window.windowTitle(), "ORVEN V1.15");
    window.close();
    EXPECT_FALSE(app.Finish());
}

}  // namespace
}  // namespace orven::test
