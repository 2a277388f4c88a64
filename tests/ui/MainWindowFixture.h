// A main window on a scratch folder, with scripted prompts, a port folder in which no COM port
// answers, a radio archive of its own, and a USB device object that never finds a radio unless a
// test gives it one.
#pragma once

#include "files/SettingsFile.h"
#include "link/CHidDevice.h"
#include "link/LinkTestSupport.h"
#include "support/Documents.h"
#include "support/TestSupport.h"
#include "tests/ui/DialogDriver.h"
#include "tests/ui/ScriptedPrompts.h"
#include "ui/CCloneMainDlg.h"
#include "ui/ElidedLabel.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>

#include <filesystem>
#include <unistd.h>

namespace orven::test {

// Points the COM port names at a folder of its own: every port is a link to nowhere (absent)
// unless a test makes it present.
class PortFolderGuard : public PortFolderScope {
public:
    PortFolderGuard() {
        for (int n = 1; n <= kComPortCount; ++n) Link(n, kNowhere);
    }
    // Makes COMn a plain file that opens, so the scan finds it.
    void MakePresent(int n) const {
        std::filesystem::remove(Entry(n));
        WriteText(Entry(n), "");
    }
    void MakeAbsent(int n) const {
        std::filesystem::remove(Entry(n));
        Link(n, kNowhere);
    }

private:
    static constexpr const char* kNowhere = "/nonexistent/orven-test-port";
};

// Puts the radio archive under the folder, never where the user's is.
struct ArchiveFolderGuard {
    explicit ArchiveFolderGuard(const std::string& dataHome) { setenv("XDG_DATA_HOME", dataHome.c_str(), 1); }
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { Start(FreshAppState()); }

    // A new window over the given state (the previous one, if any, goes first).
    void Start(const AppState& initial) {
        window.reset();
        state = initial;
        window = std::make_unique<ui::CCloneMainDlg>(state, dir.path());
        window->SetUsbDevice(noRadio);
        window->show();
        // The status as it shows, so that one cut short at the window's size does not pass.
        prompts.statusProbe = [this] {
            return Find<ui::ElidedLabel>(ids::main::kStatusText)->ShownLines().join(QLatin1Char('\n'));
        };
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <class T>
    T* Find(int id) const { return &Control<T>(*window, id); }
    QComboBox* Combo(int id) const { return Find<QComboBox>(id); }
    QLineEdit* Edit(int id) const { return Find<QLineEdit>(id); }
    QListWidget* List() const { return Find<QListWidget>(ids::main::kChannelList); }
    QString Text(int id) const {
        if (auto* elided = ui::FindById<ui::ElidedLabel>(window.get(), id)) return elided->text();
        return Find<QLabel>(id)->text();
    }
    void Trigger(int commandId) { Find<QAction>(commandId)->trigger(); }
    void Click(int id) { ClickButton(Find<QAbstractButton>(id)); }

    // Selects the band combo entry with this text.
    void ShowBand(const char* name) {
        Combo(ids::main::kBandCombo)->setCurrentText(QString::fromLatin1(name));
        EXPECT_EQ(Combo(ids::main::kBandCombo)->currentText(), QString::fromLatin1(name)) << "not offered";
    }

    // Writes a settings file into the scratch folder and returns its path.
    std::string WriteDocument(const std::string& name, const RadioSettings& settings) {
        EXPECT_EQ(SaveSettingsFile(dir.File(name), settings), kResultOk);
        return dir.File(name);
    }
    void Open(const std::string& path) {
        prompts.openNames.push_back(QString::fromStdString(path));
        Trigger(ids::menu::kOpen);
    }

    TempDir dir;
    PortFolderGuard ports;
    ArchiveFolderGuard archiveFolder{dir.File("data")};
    ScriptedPrompts prompts;
    CHidDevice noRadio{kUsbVendorId, kUsbProductId};
    AppState state{};
    std::unique_ptr<ui::CCloneMainDlg> window;
};

}  // namespace orven::test
