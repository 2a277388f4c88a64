// Start-up and shut-down: the state file is read before the window opens, the options of one
// run are cleared, and the state is written after the window has closed.
#include "tests/ui/MainWindowFixture.h"

#include "clone/CloneEvent.h"
#include "ui/CCloneApp.h"

#include <QCheckBox>

#include <cstring>
#include <functional>

namespace orven::test {
namespace {

using ui::FindById;

constexpr std::size_t kStateFileSize = 1208;

std::int32_t Field(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::int32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

class CloneAppTest : public ::testing::Test {
protected:
    // Starts the application in the scratch folder; the window is shown and polls no USB radio.
    ui::CCloneMainDlg& StartUp(ui::CCloneApp& app) {
        ui::CCloneMainDlg& window = app.StartUp(dir.path(), "orven-clone");
        window.SetUsbDevice(noRadio);
        window.show();
        return window;
    }

    TempDir dir;
    PortFolderGuard ports{dir.File("ports")};
    ScriptedPrompts prompts;
    CHidDevice noRadio{kUsbVendorId, kUsbProductId};
};

TEST(ProgramNameTest, IsTheExecutablesBaseNameWithoutExtension) {
    EXPECT_EQ(ui::ProgramNameOf("/usr/local/bin/orven-clone"), "orven-clone");
    EXPECT_EQ(ui::ProgramNameOf("./ORVEN.exe"), "ORVEN");
}

TEST_F(CloneAppTest, SelectionsLastFromOneRunToTheNextButTheRunOptionsDoNot) {
    {
        ui::CCloneApp app;
        CloneStopEvent.Set();
        CloneBusyEvent.Set();
        ui::CCloneMainDlg& window = StartUp(app);
        EXPECT_FALSE(CloneStopEvent.IsSet());
        EXPECT_FALSE(CloneBusyEvent.IsSet());
        FindById<QComboBox>(&window, ids::main::kBaudCombo)->setCurrentIndex(4);
        prompts.ctrlHeld = true;
        prompts.dialogScript.push_back([](QDialog& options) {
            FindById<QCheckBox>(&options, ids::user::kUiReadOnly)->setChecked(true);
            return PressOk(options);
        });
        FindById<QAction>(&window, ids::menu::kAbout)->trigger();
        window.close();
        EXPECT_TRUE(app.Finish());
    }

    const auto bytes = ReadBytes(dir.File("orven-clone.Bin"));
    ASSERT_EQ(bytes.size(), kStateFileSize);
    EXPECT_EQ(Field(bytes, offsetof(AppState, baudIndex)), 4);
    // The file keeps what the run ended with; the next start-up clears it.
    EXPECT_EQ(Field(bytes, offsetof(AppState, uiReadOnly)), 1);

    ui::CCloneApp again;
    ui::CCloneMainDlg& window = StartUp(again);
    EXPECT_EQ(again.State().uiReadOnly, 0u);
    EXPECT_EQ(FindById<QComboBox>(&window, ids::main::kBaudCombo)->currentText(), "38400");
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
    FindById<QAction>(&window, ids::menu::kOpen)->trigger();
    ClickButton(FindById<QCheckBox>(&window, ids::main::kBandCan));
    const auto before = ReadBytes(path);
    prompts.answers = {false};
    window.close();
    EXPECT_EQ(prompts.questions.size(), 1u);
    EXPECT_TRUE(app.Finish());
    EXPECT_EQ(ReadBytes(path), before);

    const auto bytes = ReadBytes(app.StatePath());
    ASSERT_EQ(bytes.size(), kStateFileSize);
    EXPECT_EQ(Field(bytes, offsetof(AppState, modified)), 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()) + offsetof(AppState, filePath)),
              path);
}

// Only a state file that cannot be read gives the fresh state (9600 baud); what a short file
// does not hold stays zero, and a rate index no rate has selects the first rate too.
TEST_F(CloneAppTest, AStateFileThatSaysNoRateGives4800AndOnlyAnUnreadableOneTheFreshState) {
    const std::string statePath = dir.File("orven-clone.Bin");
    const struct {
        const char* file;
        std::function<void()> make;
        const char* baud;
    } cases[] = {
        // A folder where the state file belongs can be neither read nor replaced.
        {"unreadable", [&] { std::filesystem::create_directory(statePath); }, "9600"},
        {"short", [&] { WriteBytes(statePath, std::vector<std::uint8_t>(offsetof(AppState, baudIndex), 0)); }, "4800"},
        {"damaged",
         [&] {
             std::vector<std::uint8_t> bytes(kStateFileSize, 0);
             bytes[offsetof(AppState, baudIndex)] = 99;
             WriteBytes(statePath, bytes);
         },
         "4800"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::filesystem::remove_all(statePath);
        c.make();
        ui::CCloneApp app;
        ui::CCloneMainDlg& window = StartUp(app);
        EXPECT_EQ(FindById<QComboBox>(&window, ids::main::kBaudCombo)->currentText(), c.baud);
        EXPECT_EQ(window.windowTitle(), "ORVEN V1.15");
        window.close();
        EXPECT_EQ(app.Finish(), std::string(c.file) != "unreadable");
    }
}

// The version and the help are answered on the terminal, without a display and without a window.
TEST_F(CloneAppTest, VersionAndHelpNeedNoDisplay) {
    const std::string program = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '") + ORVEN_CLONE_PATH + "'";
    const ProcessResult version = RunProcess(program + " --version", dir.path());
    EXPECT_EQ(version.exitCode, 0) << version.err;
    EXPECT_EQ(version.out, std::string("orven-clone ") + kPackageVersion + "\n");

    const ProcessResult help = RunProcess(program + " --help", dir.path());
    EXPECT_EQ(help.exitCode, 0) << help.err;
    EXPECT_NE(help.out.find("--demo"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
    EXPECT_FALSE(std::filesystem::exists(dir.File("orven-clone.Bin")));
}

}  // namespace
}  // namespace orven::test
