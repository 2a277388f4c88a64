// The program's only main window. It owns the one settings document, shows it in its controls,
// gathers it back from them, and carries every user command: files, clone, channel editing,
// band selection, ports and radio detection, the model wizard and the small dialogs.
#pragma once

#include "GlobalDef.h"
#include "clone/CloneRunner.h"
#include "model/AppState.h"
#include "model/ChannelBand.h"
#include "model/RadioSettings.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <functional>
#include <string>

class QAction;
class QCheckBox;
class QCloseEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace orven {
class CHidDevice;
}

namespace orven::ui {

class CaptionGroupBox;
class UpDownArrows;
struct WorkerOutcome;

// Seconds a command's result stays in the status line before it returns to "Ready.".
inline constexpr int kStatusTicks = 10;
inline constexpr int kTimerPeriodMs = 1000;

inline constexpr const char* kReadyAtStart = "Ready";
inline constexpr const char* kReady = "Ready.";
inline constexpr const char* kUsbDetected = "Detected";
inline constexpr const char* kUsbAbsent = "--------";
// After a port's name in the port combo when the port did not open at the last scan.
inline constexpr const char* kAbsentPortMark = " -";

class CCloneMainDlg : public QMainWindow {
    Q_OBJECT
public:
    // The window keeps the reference to the application's state for its whole life. workDir is
    // the folder the program works in: the file dialogs start there and the title shortens
    // paths inside it.
    CCloneMainDlg(AppState& state, std::string workDir, QWidget* parent = nullptr);
    ~CCloneMainDlg() override;

    // Copies the controls into the settings. Invalid MMSI and ATIS texts are not taken.
    void GatherSettings();
    // Copies the settings into the controls, refills the band combo and the channel list.
    void ShowSettings();
    // Window title, caption of the identity group and the option line.
    void RefreshTitle();
    // Sets `modified` and refreshes the title, unless it was already set.
    void MarkModified();
    // Stores `modified` without refreshing the title.
    void SetModifiedFlag(bool modified);
    // Stores `untitled`; "Save" is greyed while it is set.
    void SetUntitled(bool untitled);
    // The identity edits are open for typing only while their "entry by user" box is off.
    void UpdateEntryByUserFields();

    // The band combo's entries for the ticked band boxes, the first one selected.
    void FillBandCombo();
    // The channel list for the selected band; -1 (and an empty list) when a built-in band is
    // selected whose box is off, else 0.
    int FillChannelList();
    // The band the band combo's current text names.
    ChannelBand SelectedBand() const;

    // Shows a command's result in the status line for kStatusTicks seconds.
    void ShowStatus(const QString& text);
    // One tick of the one-second timer: the status countdown and the USB radio detection.
    void OnTimer();

    RadioSettings& Settings() { return settings_; }
    const RadioSettings& Settings() const { return settings_; }
    AppState& State() { return state_; }
    const std::string& WorkDir() const { return workDir_; }

    // The USB device that detection polls (the process-wide one unless replaced); borrowed.
    void SetUsbDevice(CHidDevice& device) { usbDevice_ = &device; }
    CHidDevice& UsbDevice() const { return *usbDevice_; }

    // Whether an opened settings file can be written; the operating system's write-access test
    // unless replaced.
    using WriteAccessTest = std::function<bool(const std::string& path)>;
    void SetWriteAccessTest(WriteAccessTest test) { writeAccess_ = std::move(test); }

    // How long the clone engines wait; the product's timing unless replaced.
    void SetCloneTiming(const CloneTiming& timing) { cloneTiming_ = timing; }

    // Switches the buttons and the Clone menu between the idle and the busy layout of a clone
    // command.
    void SetBusyLayout(bool busy, CloneOperation operation);

public slots:
    // The clone commands, from their buttons and the Clone menu.
    void OnWriteToRadio();
    void OnReadFromRadio();
    void OnVerify();
    void OnHandShake();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Leaving the MMSI or ATIS edit marks the settings modified.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class SaveAsOutcome { Saved, Failed, Cancelled };

    // Building (MainWindowLayout.cpp).
    void BuildMenus();
    // A checkable Clone menu choice kept in a state word (remembered in the state file, shown in
    // the option line).
    void AddStateChoice(QMenu* menu, const char* text, int id, std::uint32_t AppState::*word);
    void BuildWidgets();
    QWidget* BuildIdentityGroup();
    QWidget* BuildChannelGroup();
    QWidget* BuildRightColumn();
    QWidget* BuildStatusGroup();
    QWidget* BuildPortGroup();
    void ConnectControls();

    // Clone commands (MainWindowClone.cpp).
    // Starts the command's worker, or asks the running one to stop.
    void StartClone(CloneOperation operation);
    // The identity checks of Write to Radio on the controls' texts; false after a refusal box.
    bool IdentitiesPassWriteChecks();
    // On the GUI thread, once the worker's exchange has ended.
    void FinishClone(const WorkerOutcome& outcome);
    void ShowCloneOutcome(const WorkerOutcome& outcome);
    void ShowReadBack(const ReadBackOutcome& readBack);
    void ShowUnloadableRead(const WorkerOutcome& outcome);

    // Start-up, in the order the window has always run it.
    void InitDialog();
    void FillFixedCombos();

    // Transfer helpers.
    void GatherIdentity(QCheckBox* byUser, std::uint32_t& byUserFlag, QLineEdit* edit,
                        char (&slot)[60]);
    void ShowIdentity(QCheckBox* byUser, std::uint32_t byUserFlag, QLineEdit* edit,
                      const char (&slot)[60]);
    std::array<bool, kBandCount> TickedBands() const;
    QCheckBox* BandBox(ChannelBand band) const { return bandBoxes_[static_cast<int>(band)]; }

    // Ports.
    void ScanAndSelectPorts();
    void FillPortCombo();

    // Files (MainWindowFiles.cpp).
    CloneResult SaveSettings(const std::string& path);
    CloneResult LoadSettings(const std::string& path);
    SaveAsOutcome SaveAs();
    void SaveAfterYes();
    // Opens a report in the text viewer; where none can be started, tells where the report is.
    void ShowReport(const QString& path);
    QString FileDialogStart() const;
    std::string CurrentFilePath() const;
    void OnLoadDefault();
    void OnOpen();
    void OnSave();
    void OnSaveAs();
    void OnExportFreqTable();
    void OnViewCheckSum();
    void OnAbout();
    void OnFeatureSetup();

    // Channel list and band selection (ChannelListEditor.cpp).
    bool RefuseUnlessPrivate();
    int SelectedRow() const;
    void EditRow(int row);
    void OnEditChannel();
    void OnAddChannel();
    void OnRemoveChannel();
    void OnChannelDoubleClicked();
    void OnModelClicked();
    void OnBandBoxClicked();
    void ShowRefusal(const char* text);

    AppState& state_;
    std::string workDir_;
    RadioSettings settings_;
    std::array<bool, kComPortCount> portPresent_{};
    int statusTicks_ = 0;
    CloneOperation cloneOperation_ = CloneOperation::None;
    CloneTiming cloneTiming_ = kProductTiming;
    bool closeAfterClone_ = false;  // a close came while a clone ran
    CHidDevice* usbDevice_;
    WriteAccessTest writeAccess_;
    bool closeHandled_ = false;
    QTimer* timer_ = nullptr;

    // Menu actions.
    QAction* saveAction_ = nullptr;
    QAction* writeAction_ = nullptr;
    QAction* readAction_ = nullptr;
    QAction* verifyAction_ = nullptr;
    QAction* handShakeAction_ = nullptr;

    // Identity group.
    CaptionGroupBox* identityGroup_ = nullptr;
    QLabel* optionLine_ = nullptr;
    QCheckBox* mmsiByUser_ = nullptr;
    QLineEdit* mmsiEdit_ = nullptr;
    QCheckBox* atisByUser_ = nullptr;
    QLineEdit* atisEdit_ = nullptr;
    QLineEdit* nmeaEdit_ = nullptr;
    UpDownArrows* nmeaArrows_ = nullptr;
    QLineEdit* serialEdit_ = nullptr;
    UpDownArrows* serialArrows_ = nullptr;

    // Channel list.
    QComboBox* bandCombo_ = nullptr;
    QListWidget* channelList_ = nullptr;
    QPushButton* editButton_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;

    // Model, USB status and radio feature.
    QRadioButton* modelUsa_ = nullptr;
    QRadioButton* modelEurope_ = nullptr;
    QLabel* usbStatus_ = nullptr;
    std::array<QCheckBox*, kBandCount> bandBoxes_{};  // by ChannelBand value
    QComboBox* txStepCombo_ = nullptr;
    QComboBox* rxStepCombo_ = nullptr;
    QComboBox* rxMidCombo_ = nullptr;

    // Status and ports.
    QLabel* statusText_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QComboBox* portCombo_ = nullptr;
    QComboBox* baudCombo_ = nullptr;
    QPushButton* scanButton_ = nullptr;
    QPushButton* writeButton_ = nullptr;
    QPushButton* readButton_ = nullptr;
};

}  // namespace orven::ui
