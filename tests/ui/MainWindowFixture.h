// A main window on a scratch folder, with scripted prompts, a port folder in which no COM port
// answers, and a USB device object that never finds a radio unless a test gives it one.
#pragma once

#include "GlobalDef.h"
#include "files/SettingsFile.h"
#include "link/CHidDevice.h"
#include "link/PortNames.h"
#include "model/AppState.h"
#include "model/RadioSettings.h"
#include "support/TestSupport.h"
#include "tests/ui/ScriptedPrompts.h"
#include "ui/CCloneMainDlg.h"
#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// Readable failure output for Qt texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{' << list.join(QStringLiteral("|")).toStdString() << '}';
}

namespace orven::test {

namespace ids = ::orven::ids;

// Points the COM port names at a folder of its own for the life of the object: every port is a
// link to nowhere (absent) unless a test makes it present.
class PortFolderGuard {
public:
    explicit PortFolderGuard(const std::string& folder) : folder_(folder) {
        if (const char* old = std::getenv(kPortDirVariable)) previous_ = old;
        std::filesystem::create_directories(folder_);
        for (int n = 1; n <= kComPortCount; ++n) MakeAbsent(n);
        setenv(kPortDirVariable, folder_.c_str(), 1);
    }
    ~PortFolderGuard() {
        if (previous_) setenv(kPortDirVariable, previous_->c_str(), 1);
        else unsetenv(kPortDirVariable);
    }
    // Makes COMn a plain file that opens, so the scan finds it.
    void MakePresent(int n) const {
        std::filesystem::remove(Entry(n));
        WriteText(Entry(n), "");
    }
    void MakeAbsent(int n) const {
        std::filesystem::remove(Entry(n));
        symlink("/nonexistent/orven-test-port", Entry(n).c_str());
    }

private:
    std::string Entry(int n) const { return folder_ + "/com" + std::to_string(n); }

    std::string folder_;
    std::optional<std::string> previous_;
};

inline QStringList ComboItems(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

// A private channel as a settings file holds it.
inline ChannelRecord PrivateRecord(const char* label, double mhz) {
    ChannelRecord r{};
    CopyText(r.label, label);
    r.txMHz = mhz;
    r.rxMHz = mhz;
    r.usage = 33;
    r.inUse = 1;
    return r;
}

// Clicks a button where its indicator or text is: check boxes and radio buttons answer only
// there, and their boxes may be wider than that.
inline void ClickButton(QAbstractButton* button) {
    const QPoint at(std::min(8, button->width() / 2), button->height() / 2);
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
}

// Presses a dialog's OK and reports how it ended, as a modal run would.
inline int PressOk(QDialog& dialog) {
    ui::FindById<QPushButton>(&dialog, ids::kOk)->click();
    return dialog.result();
}

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
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <class T>
    T* Find(int id) const {
        T* found = ui::FindById<T>(window.get(), id);
        EXPECT_NE(found, nullptr) << "no control " << id;
        return found;
    }
    QComboBox* Combo(int id) const { return Find<QComboBox>(id); }
    QListWidget* List() const { return Find<QListWidget>(ids::main::kChannelList); }
    QString Text(int id) const { return Find<QLabel>(id)->text(); }
    void Trigger(int commandId) { Find<QAction>(commandId)->trigger(); }
    void Click(int id) { ClickButton(Find<QAbstractButton>(id)); }

    // Selects the band combo entry with this text.
    void ShowBand(const char* name) {
        QComboBox* band = Combo(ids::main::kBandCombo);
        const int index = band->findText(QString::fromLatin1(name));
        ASSERT_GE(index, 0) << name << " is not offered";
        band->setCurrentIndex(index);
    }

    // Writes a settings file into the scratch folder and returns its path.
    std::string WriteDocument(const std::string& name, const RadioSettings& settings) {
        const std::string path = dir.File(name);
        EXPECT_EQ(SaveSettingsFile(path, settings), kResultOk);
        return path;
    }
    void Open(const std::string& path) {
        prompts.openNames.push_back(QString::fromStdString(path));
        Trigger(ids::menu::kOpen);
    }

    static std::unique_ptr<RadioSettings> Defaults(int modelType) {
        auto s = std::make_unique<RadioSettings>();
        LoadDefaults(*s, modelType);
        return s;
    }

    TempDir dir;
    PortFolderGuard ports{dir.File("ports")};
    ScriptedPrompts prompts;
    CHidDevice noRadio{kUsbVendorId, kUsbProductId};
    AppState state{};
    std::unique_ptr<ui::CCloneMainDlg> window;
};

}  // namespace orven::test
