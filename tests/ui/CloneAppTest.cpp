// Start-up and shut-down: the state file is read before the window opens, the options of one
// run are cleared, and the state is written after the window has closed.
#include "tests/ui/MainWindowFixture.h"

#include "clone/CloneEvent.h"
#include "model/LineFormat.h"
#include "ui/CCloneApp.h"

#include <QCheckBox>

#include <cstring>
#include <functional>

namespace orven::test {
namespace {

// The window fixture's folder, ports and prompts, with windows the application makes.
class CloneAppTest : public MainWindowTest {
protected:
    void SetUp() override {}
    // Starts the application in the scratch folder; the window is shown and polls no USB radio.
    ui::CCloneMainDlg& StartUp(ui::CCloneApp& app) {
        ui::CCloneMainDlg& main = app.StartUp(dir.path(), "orven-clone");
        main.SetUsbDevice(noRadio);
        main.show();
        return main;
    }
    static QComboBox& Baud(const ui::CCloneMainDlg& main) { return Control<QComboBox>(main, ids::main::kBaudCombo); }
};

// The selections and the document's place last from one run to the next, also when the save
// question is answered No (which leaves the file as it was); the options of one run do not.
TEST_F(CloneAppTest, TheStateLastsFromOneRunToTheNextButTheRunOptionsDoNot) {
    const std::string path = WriteDocument("d.dat", *Defaults(kModelUsa));
    const auto saved = ReadBytes(path);
    {
        ui::CCloneApp app;
        CloneStopEvent.Set();
        CloneBusyEvent.Set();
        ui::CCloneMainDlg& main = StartUp(app);
        EXPECT_FALSE(CloneStopEvent.IsSet() || CloneBusyEvent.IsSet());
        Baud(main).setCurrentIndex(4);
        prompts.ctrlHeld = true;
        prompts.dialogScript.push_back([](QDialog& options) {
            Control<QCheckBox>(options, ids::user::kUiReadOnly).setChecked(true);
            return PressOk(options);
        });
        Control<QAction>(main, ids::menu::kAbout).trigger();
        prompts.openNames = {QString::fromStdString(path)};
        Control<QAction>(main, ids::menu::kOpen).trigger();
        test::Click(main, ids::main::kBandCan);
        prompts.saveNames = {QString::fromStdString(dir.File("orven-clone.Bin"))};
        Control<QAction>(main, ids::menu::kSaveAs).trigger();
        main.close();
        EXPECT_EQ(prompts.questions.size(), 1u);
        EXPECT_TRUE(app.Finish());
    }
    EXPECT_EQ(ReadBytes(path), saved);
    // The state file is the program's own: a save there is refused, as it would be overwritten.
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QString::fromStdString(dir.File("orven-clone.Bin")) + " is a file"));
    const auto bytes = ReadBytes(dir.File("orven-clone.Bin"));
    ASSERT_EQ(bytes.size(), sizeof(AppState));
    AppState stored{};
    std::memcpy(&stored, bytes.data(), sizeof stored);
    EXPECT_EQ(stored.baudIndex, 4);
    EXPECT_EQ(stored.modified, 1u);
    EXPECT_EQ(FixedSlotText(stored.filePath), path);
    // The file keeps what the run ended with; the next start-up clears it.
    EXPECT_EQ(stored.uiReadOnly, 1u);

    ui::CCloneApp again;
    ui::CCloneMainDlg& main = StartUp(again);
    EXPECT_EQ(again.State().uiReadOnly, 0u);
    EXPECT_EQ(Baud(main).currentText(), "38400");
    main.close();
    EXPECT_TRUE(again.Finish());
}

// Only a state file that cannot be read gives the fresh state (9600 baud); what a short file
// does not hold stays zero, and a rate index no rate has selects the first rate too.
TEST_F(CloneAppTest, AStateFileThatSaysNoRateGives4800AndOnlyAnUnreadableOneTheFreshState) {
    const std::string statePath = dir.File("orven-clone.Bin");
    std::vector<std::uint8_t> damaged(sizeof(AppState), 0);
    damaged[offsetof(AppState, baudIndex)] = 99;
    const struct { const char* file; std::function<void()> make; const char* baud; } cases[] = {
        // A folder where the state file belongs can be neither read nor replaced.
        {"unreadable", [&] { std::filesystem::create_directory(statePath); }, "9600"},
        {"short", [&] { WriteBytes(statePath, std::vector<std::uint8_t>(offsetof(AppState, baudIndex), 0)); }, "4800"},
        {"damaged", [&] { WriteBytes(statePath, damaged); }, "4800"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::filesystem::remove_all(statePath);
        c.make();
        ui::CCloneApp app;
        ui::CCloneMainDlg& main = StartUp(app);
        EXPECT_EQ(Baud(main).currentText(), c.baud);
        EXPECT_EQ(main.windowTitle(), "ORVEN V1.15");
        main.close();
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
    EXPECT_FALSE(std::filesystem::exists(dir.File("orven-clone.Bin")));
}

// A settings file named on the command line (as a file manager or the desktop entry passes it) is
// opened at start as File > Open opens it: the run ends with it as the document. An option the
// program does not know, or a second file, is refused before any window opens.
TEST_F(CloneAppTest, AFileOnTheCommandLineIsOpenedAtStart) {
    WriteDocument("start.dat", *Defaults(kModelEurInt));
    const std::string program = std::string("timeout 60 env QT_QPA_PLATFORM=offscreen '") + ORVEN_CLONE_PATH + "'";
    const ProcessResult opened = RunProcess(program + " --quit-after-show start.dat", dir.path());
    EXPECT_EQ(opened.exitCode, 0) << opened.err;
    AppState stored{};
    const auto bytes = ReadBytes(dir.File("orven-clone.Bin"));
    ASSERT_EQ(bytes.size(), sizeof stored);
    std::memcpy(&stored, bytes.data(), sizeof stored);
    EXPECT_EQ(FixedSlotText(stored.filePath), dir.File("start.dat"));
    EXPECT_EQ(stored.untitled, 0u);

    for (const char* refused : {" --demo --frobnicate", " a.dat b.dat"}) {
        SCOPED_TRACE(refused);
        const ProcessResult result = RunProcess(program + refused, dir.path());
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find("orven-clone: "), std::string::npos) << result.err;
    }
}

}  // namespace
}  // namespace orven::test
