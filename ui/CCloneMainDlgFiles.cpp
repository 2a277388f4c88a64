// The main window's file and tool commands: Load Default, Open, Save, Save as, the radio archive,
// the frequency table report, the checksum, About, the feature setup and the connection check.
#include "ui/CCloneMainDlg.h"

#include "clone/CloneResult.h"
#include "clone/CloneTrace.h"
#include "files/FileRead.h"
#include "files/AtomicFile.h"
#include "files/FreqReport.h"
#include "files/Paths.h"
#include "files/RadioArchive.h"
#include "files/ReportTime.h"
#include "files/SettingsFile.h"
#include "link/PortNames.h"
#include "model/Checksum.h"
#include "model/IdentityRules.h"
#include "model/LineFormat.h"
#include "ui/CAboutDlg.h"
#include "ui/CFeatureSetupDlg.h"
#include "ui/CModelWizardDlg.h"
#include "ui/CUserDlg.h"
#include "ui/CloneCommandController.h"
#include "ui/ConnectionCheckDlg.h"
#include "ui/FleetProgrammingDlg.h"
#include "ui/RadioArchiveDlg.h"
#include "ui/UserPrompts.h"

#include <QDialog>
#include <QString>

#include <algorithm>
#include <memory>
#include <vector>

namespace orven::ui {

namespace {

const QString kWarning = QStringLiteral("WARNING");
const QString kError = QStringLiteral("Error");

std::string LocalPath(const QString& path) { return path.toLocal8Bit().toStdString(); }

// A path the state record can hold whole; a longer one would be remembered cut short.
bool FitsFilePath(const std::string& path) { return path.size() < sizeof(AppState::filePath); }

}  // namespace

std::string CCloneMainDlg::ArchiveFolder() const {
    return RadioArchive::FolderFor(demoRadio_ && state_.comPort == 0);
}

bool CCloneMainDlg::OutsideArchives(const std::string& path) {
    const std::optional<std::string> refusal = ArchiveOutputRefusal(path);
    if (refusal) Prompts().Message(this, kError, QString::fromStdString(*refusal) + '.', PromptIcon::Error);
    return !refusal;
}

CloneResult CCloneMainDlg::SaveSettings(const std::string& path) {
    const CloneResult result = SaveSettingsFile(path, settings_);
    if (result == kResultOk) SetModifiedFlag(false);
    return result;
}

CloneResult CCloneMainDlg::LoadSettings(const std::string& path) {
    if (!FitsFilePath(path)) return kResultOpenFile;
    const CloneResult result = LoadSettingsFile(path, settings_);
    if (result != kResultOk) return result;
    SetModifiedFlag(false);
    state_.fileReadOnly = writeAccess_(path) ? 0 : 1;
    CopyText(state_.filePath, path.c_str());
    return kResultOk;
}

std::string CCloneMainDlg::CurrentFilePath() const {
    return std::string(FixedSlotText(state_.filePath));
}

QString CCloneMainDlg::FileDialogStart() const {
    return QString::fromLocal8Bit(JoinPath(workDir_, "*.dat").c_str());
}

CCloneMainDlg::SaveOutcome CCloneMainDlg::SaveAs() {
    GatherSettings();
    if (!IdentitiesFitTheFile()) return SaveOutcome::Failed;
    const QString chosen = Prompts().SaveFileName(this, QStringLiteral("Save as"), FileDialogStart(), FileKind::Settings);
    if (chosen.isEmpty()) return SaveOutcome::Cancelled;
    const std::string path = LocalPath(chosen);
    if (!MaySaveTo(path)) return SaveOutcome::Failed;
    if (!FitsFilePath(path) || SaveSettings(path) != kResultOk) {
        ShowSaveFailure(path);
        return SaveOutcome::Failed;
    }
    state_.fileReadOnly = 0;
    CopyText(state_.filePath, path.c_str());
    SetUntitled(false);
    untitledName_.clear();
    return SaveOutcome::Saved;
}

CCloneMainDlg::SaveOutcome CCloneMainDlg::SaveToItsFile() {
    GatherSettings();
    const std::string path = CurrentFilePath();
    if (!IdentitiesFitTheFile() || !MaySaveTo(path)) return SaveOutcome::Failed;
    if (SaveSettings(path) == kResultOk) return SaveOutcome::Saved;
    ShowSaveFailure(path);
    return SaveOutcome::Failed;
}

CCloneMainDlg::SaveOutcome CCloneMainDlg::SaveDocument() {
    return state_.untitled || state_.fileReadOnly ? SaveAs() : SaveToItsFile();
}

void CCloneMainDlg::ShowSaveFailure(const std::string& path) {
    const std::string why = FitsFilePath(path) ? SaveObstacle(path) : "the path is too long to be remembered";
    Prompts().Message(this, kError,
                      QStringLiteral("The settings could not be saved to %1: %2.\n\nThe document on screen is as "
                                     "it was; Save as can save it elsewhere.")
                          .arg(QString::fromLocal8Bit(path.c_str()), QString::fromStdString(why)),
                      PromptIcon::Error);
}

bool CCloneMainDlg::IdentitiesFitTheFile() {
    const IdentityEntry entry = EnteredIdentities();
    const struct {
        bool byUser;
        const std::string& text;
        std::string (*refusal)(std::string_view);
    } fields[] = {{entry.mmsiByUser, entry.mmsi, InvalidMmsiMessage},
                  {entry.atisByUser, entry.atis, InvalidAtisMessage}};
    for (const auto& field : fields) {
        if (field.byUser || field.text.empty() || IsValidIdentity9(field.text)) continue;
        Prompts().Message(this, kError,
                          QString::fromStdString(field.refusal(field.text)) +
                              QStringLiteral("\n\nNothing was saved: complete the number, or empty the field to "
                                             "leave it to the radio."),
                          PromptIcon::Error);
        return false;
    }
    return true;
}

bool CCloneMainDlg::MaySaveTo(const std::string& path) {
    if (!OutsideArchives(path)) return false;
    std::vector<std::string> own = {statePath_};
    for (const char* name : {kVerifyFileName, kFreqReportFileName, kTraceFileName, kWriteDumpFileName, kReadDumpFileName})
        own.push_back(JoinPath(workDir_, name));
    const bool taken = std::any_of(own.begin(), own.end(),
                                   [&](const std::string& file) { return !file.empty() && IsSameFile(path, file); });
    if (taken)
        Prompts().Message(this, kError,
                          QString::fromLocal8Bit(path.c_str()) +
                              QStringLiteral(" is a file this program writes itself, and would be overwritten: "
                                             "choose another name."),
                          PromptIcon::Error);
    return !taken;
}

bool CCloneMainDlg::MayDropDocument() {
    if (!state_.modified) return true;
    SaveChoice choice;
    {
        const AwaitingAnswer awaiting(*this, QStringLiteral("save the changes?"));
        choice = Prompts().AskToSave(this, kWarning, QStringLiteral("File is modified. Do you want to save?"));
    }
    if (choice == SaveChoice::Discard) return true;
    if (choice == SaveChoice::Cancel || SaveDocument() != SaveOutcome::Saved) return false;
    ShowStatus(QStringLiteral("Save file OK."));
    RefreshTitle();
    return true;
}

void CCloneMainDlg::ShowUntitledDocument(const QString& name, bool modified) {
    SetModifiedFlag(modified);
    SetUntitled(true);
    untitledName_ = name;
    ShowSettings();
    RefreshTitle();
}

void CCloneMainDlg::ShowOpenFailure(CloneResult result, const std::string& path) {
    const QString text = QString::fromStdString(ResultText(result));
    ShowStatus(text);
    const std::string cause = result == kResultOpenFile || result == kResultFileRead ? OpenFailureCause(path) : "";
    // The file is named: one given on the command line was not chosen in a dialog just now.
    const QString why = QStringLiteral("\n(%1: %2)").arg(QString::fromStdString(path), QString::fromStdString(cause));
    Prompts().Message(this, kError, cause.empty() ? text : text + why, PromptIcon::Error);
}

void CCloneMainDlg::ShowReport(const QString& path) {
    if (Prompts().OpenInTextViewer(path)) return;
    Prompts().Message(this, QStringLiteral("Report"),
                      QStringLiteral("No text viewer could be started. The report is in:\n") + path,
                      PromptIcon::Information);
}

void CCloneMainDlg::OnLoadDefault() {
    auto buffer = std::make_unique<RadioSettings>();
    const std::int32_t model = state_.modelType, country = state_.countryIndex;
    CModelWizardDlg wizard(state_, *buffer, this);
    if (Prompts().RunDialog(wizard) != QDialog::Accepted) return;
    if (!MayDropDocument()) {
        // Nothing was loaded, so the wizard's choice is not remembered either.
        state_.modelType = model;
        state_.countryIndex = country;
        return;
    }
    settings_ = *buffer;
    ShowUntitledDocument(QString(), false);
}

void CCloneMainDlg::OnOpen() {
    if (!MayDropDocument()) return;
    const QString chosen = Prompts().OpenFileName(this, QStringLiteral("Open"), FileDialogStart(), FileKind::Settings);
    if (!chosen.isEmpty()) OpenFile(LocalPath(chosen));
}

void CCloneMainDlg::OpenFile(const std::string& path) {
    const CloneResult result = LoadSettings(path);
    if (result != kResultOk) return ShowOpenFailure(result, path);
    ShowStatus(QString::fromLatin1(kOpenFileOkText));
    SetUntitled(false);
    untitledName_.clear();
    ShowSettings();
    RefreshTitle();
}

// A document without a file, or whose file is write-protected, is saved under a name the user gives.
void CCloneMainDlg::OnSave() {
    if (state_.untitled || state_.fileReadOnly) return OnSaveAs();
    const bool saved = SaveToItsFile() == SaveOutcome::Saved;
    ShowStatus(saved ? QStringLiteral("Save file OK.") : QStringLiteral("Save file error."));
    RefreshTitle();
}

void CCloneMainDlg::OnSaveAs() {
    switch (SaveAs()) {
    case SaveOutcome::Failed:
        ShowStatus(QStringLiteral("Save as file error."));
        break;
    case SaveOutcome::Saved:
        ShowStatus(QStringLiteral("Save as file OK."));
        RefreshTitle();
        break;
    case SaveOutcome::Cancelled:
        break;
    }
}

void CCloneMainDlg::OnExportFreqTable() {
    const std::string path = JoinPath(CurrentDirectory(), kFreqReportFileName);
    const QString shown = QString::fromLocal8Bit(path.c_str());
    if (!OutsideArchives(path)) return;
    if (!WriteFrequencyReport(path, settings_, LocalReportTime())) {
        Prompts().Message(this, kError, QStringLiteral("Can't Create file:\n") + shown,
                          PromptIcon::Error);
        return;
    }
    ShowReport(shown);
}

void CCloneMainDlg::OnViewCheckSum() {
    Prompts().Message(this, QStringLiteral("CheckSum"),
                      QString::fromStdString(ChecksumText(SettingsChecksum(settings_))),
                      PromptIcon::Information);
}

void CCloneMainDlg::OnAbout() {
    if (Prompts().CtrlHeld()) {
        CUserDlg options(state_, this);
        if (Prompts().RunDialog(options) == QDialog::Accepted) RefreshTitle();
        return;
    }
    CAboutDlg about(this);
    Prompts().RunDialog(about);
}

void CCloneMainDlg::OnFeatureSetup() {
    CFeatureSetupDlg feature(state_, settings_, this);
    if (Prompts().RunDialog(feature) != QDialog::Accepted) return;
    MarkModified();
    // The identity group's caption shows the model name the dialog may have changed.
    RefreshTitle();
}

void CCloneMainDlg::OnRadioArchive() {
    if (clone_->Running()) return;
    StoreSelections();
    const RadioArchive archive(ArchiveFolder());
    RadioArchiveDlg dialog(archive, QString::fromStdString(PortName()), this);
    const int choice = Prompts().RunDialog(dialog);
    const std::optional<ArchiveEntry> entry = dialog.Chosen();
    if (!entry) return;
    if (choice == RadioArchiveDlg::kOpenChosen) OpenArchiveEntry(*entry);
    else if (choice == RadioArchiveDlg::kRestoreChosen) clone_->StartRestore(*entry);
}

// As Open does, but untitled: the archive keeps its entry, and Save asks for a name of its own.
void CCloneMainDlg::OpenArchiveEntry(const ArchiveEntry& entry) {
    if (!MayDropDocument()) return;
    const std::string path = JoinPath(entry.folder, kArchiveSettingsName);
    auto loaded = std::make_unique<RadioSettings>();
    const CloneResult result = LoadSettingsFile(path, *loaded);
    if (result != kResultOk) return ShowOpenFailure(result, path);
    settings_ = *loaded;
    ShowStatus(QString::fromLatin1(kOpenFileOkText));
    ShowUntitledDocument(QStringLiteral("From archive ") + QString::fromStdString(entry.id), false);
}

// Modeless, so the window stays at hand; choosing it again brings it up and checks again.
void CCloneMainDlg::OnCheckConnection() {
    if (!checkDialog_) {
        checkDialog_ = new ConnectionCheckDlg(
            [this](ConnectionCheckDlg::Delivery done) { return clone_->StartCheck(std::move(done)); }, this);
        checkDialog_->setAttribute(Qt::WA_DeleteOnClose);
    }
    checkDialog_->show();
    checkDialog_->raise();
    checkDialog_->activateWindow();
    checkDialog_->Check();
}

// The demo radio stands on USB; a fleet programs real radios only, into the user's own archive.
void CCloneMainDlg::OnFleetProgramming() {
    if (clone_->Running()) return;
    StoreSelections();
    FleetSetup setup;
    setup.state = state_;
    setup.timing = clone_->Timing();
    setup.workDir = workDir_;
    setup.archiveFolder = RadioArchive::FolderFor(false);
    setup.usbDevice = usbDevice_;
    if (!demoRadio_) setup.ports << QStringLiteral("USB");
    const std::array<bool, kComPortCount> present = ScanComPorts();
    for (int n = 1; n <= kComPortCount; ++n)
        if (present[n - 1]) setup.ports << QString::fromStdString(ComPortName(n));
    FleetProgrammingDlg dialog(std::move(setup), this);
    Prompts().RunDialog(dialog);
}

}  // namespace orven::ui
