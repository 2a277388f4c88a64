// The program's only main window. It owns the one settings document, shows it in its controls and
// gathers it back from them, and keeps the window's own state: the identity fields, the radio
// features, the title and the modified flag, the status line, the ports, the menus and the file
// commands. The channel list (ChannelListPanel) and the clone commands (CloneCommandController)
// are parts of their own.
//
// Where each part of the window lives:
//   CCloneMainDlg.cpp        start-up, settings <-> controls, title, status line, ports, closing
//   CCloneMainDlgLayout.cpp  menus and controls, and which handler each one reaches
//   CCloneMainDlgFiles.cpp   Load Default, Open, Save, Save as, reports, About, feature setup,
//                            the radio archive, the connection check
//   CCloneMainDlgSpreadsheet.cpp  the private channels from and to a spreadsheet
#pragma once

#include "GlobalDef.h"
#include "clone/CloneWords.h"
#include "clone/CloneTiming.h"
#include "model/AppState.h"
#include "model/ChannelBand.h"
#include "model/DocumentFields.h"
#include "model/IdentityRules.h"
#include "model/RadioSettings.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QCloseEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace orven {
class CHidDevice;
struct ArchiveEntry;
}

namespace orven::ui {

class CaptionGroupBox;
class ChannelListPanel;
class ElidedLabel;
class CloneCommandController;
class ConnectionCheckDlg;
class UpDownArrows;

// Seconds a command's result stays in the status line before it returns to "Ready.".
inline constexpr int kStatusTicks = 10;
inline constexpr int kTimerPeriodMs = 1000;

inline constexpr const char* kReadyAtStart = "Ready";
inline constexpr const char* kReady = kReadyText;
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
    // An edit of the document: sets `modified` and refreshes the title, unless it was already set.
    void MarkModified();
    // How many edits the document has had; a command that replaces the document later tells by it
    // whether the user changed the document meanwhile.
    unsigned EditCount() const { return editCount_; }
    // Stores `modified` without refreshing the title.
    void SetModifiedFlag(bool modified);
    // Stores `untitled`: the document has no file, and Save asks for a name.
    void SetUntitled(bool untitled);
    // Before the document on screen is replaced or dropped: when it has unsaved changes (also an
    // untitled one), asks whether to save it, with Yes, No and Cancel. Yes saves it (asking for a
    // name when it has none or its file is write-protected). False when the user cancelled or the
    // save failed: the document must stay.
    bool MayDropDocument();
    // Opens a settings file as File > Open does once a name is chosen: the document it holds, or
    // the reason it did not open.
    void OpenFile(const std::string& path);
    // The settings a read found become the document: untitled and modified, the title naming the
    // radio by its serial number, so that nothing saves them over a file unasked.
    void TakeRadioDocument(const RadioSettings& read);
    // The identity edits are open for typing only while their "entry by user" box is off; a
    // ticked box empties its edit (a valid number typed there stays in the document) and says the
    // radio keeps its own, an unticked one shows the document's number again.
    void UpdateEntryByUserFields();
    // The identity fields as they stand, for the write checks.
    IdentityEntry EnteredIdentities() const;
    // The warnings the MMSI and ATIS a write would program deserve (never a refusal).
    std::vector<std::string> IdentityWarningsNow() const;
    // Stores the port, baud rate and band selections into the state.
    void StoreSelections();
    // The selected port as the user names it: "USB", "COM3".
    std::string PortName() const;

    // Shows a command's result in the status line for kStatusTicks seconds.
    void ShowStatus(const QString& text);
    // Shows a text in the status line until the next change.
    void SetStatusText(const QString& text);

    // While a question is open, the status line says what it waits for ("Waiting for your answer:"
    // and the question on a line of its own, short enough to show whole); the status it showed
    // comes back when the question closes.
    class AwaitingAnswer {
    public:
        AwaitingAnswer(CCloneMainDlg& window, const QString& awaited);
        ~AwaitingAnswer();
        AwaitingAnswer(const AwaitingAnswer&) = delete;
        AwaitingAnswer& operator=(const AwaitingAnswer&) = delete;

    private:
        CCloneMainDlg& window_;
        QString awaited_;
        QString text_;
        int ticks_;
    };
    // One tick of the one-second timer: the status countdown and the USB radio detection.
    void OnTimer();
    // Opens a report in the text viewer; where none can be started, tells where the report is.
    void ShowReport(const QString& path);

    RadioSettings& Settings() { return settings_; }
    const RadioSettings& Settings() const { return settings_; }
    AppState& State() { return state_; }
    const std::string& WorkDir() const { return workDir_; }
    CloneCommandController& CloneCommands() { return *clone_; }

    // The USB device that detection polls and the clone commands use (the process-wide one
    // unless replaced); borrowed.
    void SetUsbDevice(CHidDevice& device) { usbDevice_ = &device; }
    CHidDevice& UsbDevice() const { return *usbDevice_; }
    // Whether the USB radio is the built-in simulated one (demo mode): the connection check then
    // has no system to probe for it.
    void SetDemoRadio(bool demo) { demoRadio_ = demo; }
    bool DemoRadio() const { return demoRadio_; }
    // The radio archive of the radio on the chosen port: the demo radio keeps one of its own.
    std::string ArchiveFolder() const;

    // The state file the program writes when it ends: no save may go there.
    void SetStateFilePath(std::string path) { statePath_ = std::move(path); }

    // Whether an opened settings file can be written; the operating system's write-access test
    // unless replaced.
    using WriteAccessTest = std::function<bool(const std::string& path)>;
    void SetWriteAccessTest(WriteAccessTest test) { writeAccess_ = std::move(test); }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Leaving the MMSI or ATIS edit marks the settings modified.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class SaveOutcome { Saved, Failed, Cancelled };

    // Building (CCloneMainDlgLayout.cpp).
    void BuildMenus();
    // A checkable Clone menu choice kept in a state word (remembered in the state file, shown in
    // the option line).
    // A word that older state files hold as zero is on while zero (onWhenZero).
    void AddStateChoice(QMenu* menu, const char* text, int id, std::uint32_t AppState::*word,
                        bool onWhenZero = false);
    void BuildWidgets();
    QWidget* BuildIdentityGroup();
    QWidget* BuildRightColumn();
    QWidget* BuildStatusGroup();
    QWidget* BuildPortGroup();
    void ConnectControls();

    // Start-up, in the order the window has always run it.
    void InitDialog();
    void FillFixedCombos();

    // Transfer helpers: the controls as the core's fields of the document.
    DocumentFields ShownFields() const;
    void ShowIdentity(QCheckBox* byUser, bool byUserOn, QLineEdit* edit, const std::string& text);
    void FollowEntryByUser(const QCheckBox* byUser, QLineEdit* edit, char (&slot)[60]);
    // What the MMSI and ATIS fields say and the warnings they deserve, beside the fields.
    void RefreshIdentityNotes();
    std::array<bool, kBandCount> TickedBands() const;
    QCheckBox* BandBox(ChannelBand band) const { return bandBoxes_[static_cast<int>(band)]; }
    // Band selection: the model buttons and the band boxes decide the bands offered.
    void OnModelClicked();
    void OnBandBoxClicked();
    void RefillChannels();

    // Ports.
    void ScanAndSelectPorts();
    void FillPortCombo();

    // Files (CCloneMainDlgFiles.cpp).
    CloneResult SaveSettings(const std::string& path);
    CloneResult LoadSettings(const std::string& path);
    // Each gathers the controls and saves; a failure is shown with its reason, and the document,
    // its file and its state stay as they were.
    SaveOutcome SaveAs();
    SaveOutcome SaveToItsFile();
    // Where the document belongs: its file, or a name the user gives when it has none or its
    // file is write-protected.
    SaveOutcome SaveDocument();
    void ShowSaveFailure(const std::string& path);
    // False, after saying why, while the MMSI or ATIS field holds a number the file cannot keep
    // (one typed in part): the save would keep the document's number before it, unseen.
    bool IdentitiesFitTheFile();
    // False, after saying why, where the user's file must not go: into a radio archive, or over one
    // of the files the program writes itself (the state file, the reports, the trace and dumps),
    // which would overwrite it.
    bool MaySaveTo(const std::string& path);
    // A document of its own making becomes the one shown: untitled, named `name` in the title
    // (empty: the model name, as for the defaults).
    void ShowUntitledDocument(const QString& name, bool modified);
    // A file that did not open: the reason in the status line and in a message box.
    // The result's text, and below it why the file could not be opened or read.
    void ShowOpenFailure(CloneResult result, const std::string& path);
    // False, after telling why, when a user's file at `path` would land in a radio archive.
    bool OutsideArchives(const std::string& path);
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
    // The radio archive dialog, and what it chose: an entry opened as the document, or restored.
    void OnRadioArchive();
    void OpenArchiveEntry(const ArchiveEntry& entry);
    // Tools > Check Connection: the one checklist dialog, shown and checking.
    void OnCheckConnection();
    // Tools > Fleet Programming: the template into the radios on the ports the window knows.
    void OnFleetProgramming();

    // Spreadsheets (CCloneMainDlgSpreadsheet.cpp).
    void OnImportChannels();
    void OnExportChannels();

    AppState& state_;
    std::string workDir_;
    std::string statePath_;
    RadioSettings settings_;
    std::array<bool, kComPortCount> portPresent_{};
    int statusTicks_ = 0;
    CHidDevice* usbDevice_;
    bool demoRadio_ = false;
    WriteAccessTest writeAccess_;
    bool closeHandled_ = false;
    unsigned editCount_ = 0;
    QString untitledName_;  // what the title calls an untitled document; empty for the defaults
    QTimer* timer_ = nullptr;

    // Menu actions.
    QAction* saveAction_ = nullptr;
    QAction* writeAction_ = nullptr;
    QAction* readAction_ = nullptr;
    QAction* verifyAction_ = nullptr;
    QAction* handShakeAction_ = nullptr;
    QAction* writeRemovingAction_ = nullptr;

    // Identity group.
    CaptionGroupBox* identityGroup_ = nullptr;
    QLabel* optionLine_ = nullptr;
    QCheckBox* mmsiByUser_ = nullptr;
    QLineEdit* mmsiEdit_ = nullptr;
    QCheckBox* atisByUser_ = nullptr;
    QLineEdit* atisEdit_ = nullptr;
    ElidedLabel* mmsiDecoded_ = nullptr;
    ElidedLabel* atisDecoded_ = nullptr;
    ElidedLabel* identityWarnings_ = nullptr;
    QLineEdit* nmeaEdit_ = nullptr;
    UpDownArrows* nmeaArrows_ = nullptr;
    QLineEdit* serialEdit_ = nullptr;
    UpDownArrows* serialArrows_ = nullptr;

    ChannelListPanel* channels_ = nullptr;

    // Model, USB status and radio feature.
    QRadioButton* modelUsa_ = nullptr;
    QRadioButton* modelEurope_ = nullptr;
    QLabel* usbStatus_ = nullptr;
    std::array<QCheckBox*, kBandCount> bandBoxes_{};  // by ChannelBand value
    QComboBox* txStepCombo_ = nullptr;
    QComboBox* rxStepCombo_ = nullptr;
    QComboBox* rxMidCombo_ = nullptr;

    // Status and ports.
    ElidedLabel* statusText_ = nullptr;  // the result, and on a second line where the radio's bytes are kept
    QProgressBar* progress_ = nullptr;
    QComboBox* portCombo_ = nullptr;
    QComboBox* baudCombo_ = nullptr;
    QPushButton* scanButton_ = nullptr;
    QPushButton* writeButton_ = nullptr;
    QPushButton* readButton_ = nullptr;

    CloneCommandController* clone_ = nullptr;
    QPointer<ConnectionCheckDlg> checkDialog_;  // while it is open
};

}  // namespace orven::ui
