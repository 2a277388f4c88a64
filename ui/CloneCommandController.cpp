#include "ui/CloneCommandController.h"

#include "clone/CloneEvent.h"
#include "clone/CloneResult.h"
#include "clone/CloneWords.h"
#include "clone/ConnectionCheck.h"
#include "files/VerifyReport.h"
#include "model/IdentityRules.h"
#include "model/LineFormat.h"
#include "ui/CCloneMainDlg.h"
#include "ui/CloneWork.h"
#include "ui/GuiThreadPost.h"
#include "ui/IdentityConfirmDlg.h"
#include "ui/QueuedProgress.h"
#include "ui/RemoveIdentitiesDlg.h"
#include "ui/UserPrompts.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>

#include <memory>
#include <optional>
#include <system_error>
#include <thread>

namespace orven::ui {

namespace {

QString ToQString(const std::string& text) { return QString::fromStdString(text); }

bool Writes(CloneOperation operation) {
    return operation == CloneOperation::Write || operation == CloneOperation::Restore;
}

// The archive could not take the backup, so the write stopped before anything was sent.
bool BackupRefused(const WorkerOutcome& outcome) {
    return Writes(outcome.operation) && outcome.stage == WriteStage::Archive;
}

// Starts a worker thread; false when the system has none to give.
template <class Body>
bool LaunchWorker(Body body) {
    try {
        std::thread(std::move(body)).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

}  // namespace

CloneCommandController::CloneCommandController(CCloneMainDlg& window, const Controls& controls)
    : QObject(&window), window_(window), controls_(controls) {
    connect(controls_.write, &QAction::triggered, this, &CloneCommandController::OnWriteToRadio);
    connect(controls_.read, &QAction::triggered, this, &CloneCommandController::OnReadFromRadio);
    connect(controls_.verify, &QAction::triggered, this, &CloneCommandController::OnVerify);
    connect(controls_.handShake, &QAction::triggered, this, &CloneCommandController::OnHandShake);
    connect(controls_.writeRemoving, &QAction::triggered, this, &CloneCommandController::OnWriteRemovingIdentities);
    connect(controls_.writeButton, &QPushButton::clicked, this, &CloneCommandController::OnWriteToRadio);
    connect(controls_.readButton, &QPushButton::clicked, this, &CloneCommandController::OnReadFromRadio);
}

void CloneCommandController::OnWriteToRadio() { StartWrite({}); }

void CloneCommandController::OnWriteRemovingIdentities() {
    if (Running()) return;
    RemoveIdentitiesDlg dialog(&window_);
    if (Prompts().RunDialog(dialog) != QDialog::Accepted) return;
    StartWrite(dialog.Chosen());
}

// While a write runs its control is the Stop, which no field on screen may hold back.
void CloneCommandController::StartWrite(const IdentitySet& remove) {
    if (!Running() && (!IdentitiesPassWriteChecks() || !IdentityWarningsAccepted())) return;
    Start(CloneOperation::Write, nullptr, remove);
}

// A read replaces the document on screen, so unsaved changes are offered a save first.
void CloneCommandController::OnReadFromRadio() {
    if (!Running()) {
        if (!window_.MayDropDocument()) return;
        editsBeforeRead_ = window_.EditCount();
    }
    Start(CloneOperation::Read);
}

void CloneCommandController::OnVerify() { Start(CloneOperation::Verify); }

void CloneCommandController::OnHandShake() { Start(CloneOperation::HandShake); }

void CloneCommandController::StartRestore(const ArchiveEntry& entry) {
    if (Running()) return;
    auto image = std::make_unique<RadioImage>();
    std::string why;
    if (!RadioArchive(window_.ArchiveFolder()).LoadImage(entry, *image, why)) {
        Prompts().Message(&window_, QString::fromLatin1(kRestoreErrorTitle), ToQString(DamagedRestoreText(entry.id, why)),
                          PromptIcon::Warning);
        return;
    }
    Start(CloneOperation::Restore, std::move(image));
}

bool CloneCommandController::Running() const { return CloneBusyEvent.IsSet(); }

bool CloneCommandController::MayStopForClose() {
    // A write waiting for the identity answer has sent nothing yet.
    if (!writing_ || confirmDialog_) return true;
    const CCloneMainDlg::AwaitingAnswer awaiting(window_, QStringLiteral("stop the write and close?"));
    return Prompts().AskYesNo(&window_, QStringLiteral("Close"),
                              QStringLiteral("The radio is being written. Stopped now, it may be left half-written, "
                                             "holding neither its old settings nor the document's.\n\n"
                                             "Stop the write and close the window?"));
}

void CloneCommandController::StopAndCloseWindow() {
    CloneStopEvent.Set();
    closeAfterClone_ = true;
    // The worker waits for the answer: No lets it end, and the window close.
    if (confirmDialog_) confirmDialog_->reject();
}

bool CloneCommandController::IdentityWarningsAccepted() {
    QStringList warnings;
    for (const std::string& warning : window_.IdentityWarningsNow()) warnings << ToQString(warning);
    if (warnings.isEmpty()) return true;
    const CCloneMainDlg::AwaitingAnswer awaiting(window_,
                                                 QStringLiteral("write despite the warnings?"));
    return Prompts().AskYesNo(&window_, QString::fromLatin1(kIdentityWarningsTitle),
                              warnings.join(QLatin1Char('\n')) + QStringLiteral("\n\n") +
                                  QString::fromLatin1(kIdentityWarningsQuestion));
}

bool CloneCommandController::ConfirmIdentityChange(const IdentityChanges& changes) {
    if (CloneStopEvent.IsSet()) return false;
    // On the heap and watched: the dialog is the window's child and must not be deleted twice.
    const QPointer<IdentityConfirmDlg> dialog = new IdentityConfirmDlg(changes, &window_);
    confirmDialog_ = dialog;
    // The bar would still show the backup's end as if the write went on.
    const QString phase = controls_.progress->format();
    controls_.progress->setFormat(QStringLiteral("Waiting"));
    bool confirmed = false;
    {
        const CCloneMainDlg::AwaitingAnswer awaiting(
            window_, QStringLiteral("the identity changes; nothing is written yet."));
        confirmed = Prompts().RunDialog(*dialog) == QDialog::Accepted;
    }
    controls_.progress->setFormat(phase);
    delete dialog.data();
    return confirmed && !CloneStopEvent.IsSet();
}

bool CloneCommandController::IdentitiesPassWriteChecks() {
    const std::optional<std::string> refusal = CheckIdentitiesForWrite(window_.EnteredIdentities());
    if (!refusal) return true;
    Prompts().Message(&window_, QStringLiteral("Error"), ToQString(*refusal), PromptIcon::Error);
    return false;
}

std::shared_ptr<CloneWork> CloneCommandController::MakeWork(CloneOperation operation) {
    const AppState& state = window_.State();
    auto work = std::make_shared<CloneWork>();
    work->operation = operation;
    work->state = state;
    work->settings = std::make_unique<RadioSettings>(window_.Settings());
    work->progress = std::make_unique<QueuedProgress>(controls_.progress);
    work->archive = std::make_unique<RadioArchive>(window_.ArchiveFolder());
    work->job.state = &work->state;
    work->job.progress = work->progress.get();
    work->job.workDir = window_.WorkDir();
    work->job.timing = timing_;
    work->job.timing.fast = state.fastTransfer != 0;
    work->job.hidDevice = &window_.UsbDevice();
    work->job.archive = work->archive.get();
    work->job.portName = window_.PortName();
    work->write.verifyAfter = state.verifyAfterWrite != 0;
    work->write.backUpToArchive = state.noBackupBeforeWrite == 0;
    const QPointer<CloneCommandController> controller(this);
    work->write.confirmIdentityChange = [controller](const IdentityChanges& changes) {
        return AskGui([controller, changes] { return controller && controller->ConfirmIdentityChange(changes); },
                      false);
    };
    return work;
}

void CloneCommandController::Start(CloneOperation operation, std::unique_ptr<RadioImage> restoreImage,
                                   const IdentitySet& remove) {
    if (CloneBusyEvent.IsSet()) {
        // The running worker ends by itself with "User Cancel."; a check ends in its own time.
        if (!checking_) CloneStopEvent.Set();
        return;
    }
    CloneStopEvent.Reset();
    CloneBusyEvent.Set();
    writing_ = Writes(operation);
    SetBusyLayout(true, operation);

    window_.StoreSelections();
    if (operation != CloneOperation::HandShake && window_.State().modified) window_.GatherSettings();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    window_.SetStatusText(QString::fromLatin1(WorkingText(operation)));

    std::shared_ptr<CloneWork> work = MakeWork(operation);
    work->restoreImage = std::move(restoreImage);
    work->write.remove = remove;
    const QPointer<CloneCommandController> controller(this);
    const bool started = LaunchWorker([work, controller] {
        std::shared_ptr<WorkerOutcome> outcome = RunCloneWork(*work);
        PostToGui([controller, outcome] {
            if (controller) {
                controller->Finish(*outcome);
                return;
            }
            // Nobody is left to show the outcome; the program is free for the next.
            QApplication::restoreOverrideCursor();
            CloneBusyEvent.Reset();
        });
    });
    if (!started) {
        QApplication::restoreOverrideCursor();
        EndBusy();
        window_.ShowStatus(QStringLiteral("Can't start the clone."));
    }
}

bool CloneCommandController::StartCheck(CheckDone done) {
    if (CloneBusyEvent.IsSet()) return false;
    CloneStopEvent.Reset();
    CloneBusyEvent.Set();
    checking_ = true;
    SetBusyLayout(true, CloneOperation::None);
    window_.StoreSelections();
    std::shared_ptr<CloneWork> work = MakeWork(CloneOperation::None);
    work->demoRadio = window_.DemoRadio() && window_.State().comPort == 0;
    const QPointer<CloneCommandController> controller(this);
    const bool started = LaunchWorker([work, controller, done = std::move(done)]() mutable {
        std::shared_ptr<ConnectionReport> report = RunCheckWork(*work);
        PostToGui([controller, report, done = std::move(done)] {
            if (controller) controller->FinishCheck(*report, done);
            else CloneBusyEvent.Reset();
        });
    });
    if (!started) EndBusy();
    return started;
}

void CloneCommandController::FinishCheck(const ConnectionReport& report, const CheckDone& done) {
    EndBusy();
    if (!CloseIfAsked()) done(report);
}

void CloneCommandController::EndBusy() {
    CloneBusyEvent.Reset();
    checking_ = false;
    writing_ = false;
    SetBusyLayout(false, CloneOperation::None);
}

bool CloneCommandController::CloseIfAsked() {
    if (!closeAfterClone_) return false;
    closeAfterClone_ = false;
    window_.close();
    return true;
}

void CloneCommandController::Finish(const WorkerOutcome& outcome) {
    QApplication::restoreOverrideCursor();
    ShowOutcome(outcome);
    if (!closeAfterClone_) {
        ShowUnwrittenFiles(outcome.run.unwritten);
        if (!outcome.run.archiveError.empty() && !BackupRefused(outcome))
            Prompts().Message(&window_, QStringLiteral("Radio Archive"), ToQString(outcome.run.archiveError),
                              PromptIcon::Warning);
    }
    EndBusy();
    CloseIfAsked();
}

void CloneCommandController::FailureBox(const char* title, const WorkerOutcome& outcome) {
    Prompts().Message(&window_, QString::fromLatin1(title), ToQString(OutcomeText(outcome.run)), PromptIcon::Warning);
}

void CloneCommandController::ShowOutcome(const WorkerOutcome& outcome) {
    const bool ok = outcome.run.Ok();
    // The stop that closing the window asked for is no failure to report, unless it left the
    // radio half-written: then the entry that restores it is named before the window goes.
    const bool halfWritten = Writes(outcome.operation) && outcome.stage >= WriteStage::Write;
    const bool stoppedForClose = closeAfterClone_ && outcome.run.result == kResultUserCancel && !halfWritten;
    // Should the user keep the window after all, the status says the command was stopped.
    if (stoppedForClose) {
        window_.ShowStatus(ToQString(OutcomeText(outcome.run)));
        return;
    }
    switch (outcome.operation) {
    case CloneOperation::Write:
    case CloneOperation::Restore: ShowWrite(outcome); break;
    case CloneOperation::Read: ShowRead(outcome); break;
    case CloneOperation::Verify: ShowVerify(outcome); break;
    default:
        // The handshake's text stays until the next change of the status line.
        if (!ok) FailureBox("HandShake Error.", outcome);
        window_.SetStatusText(ok ? QString::fromLatin1(kHandShakeOkText) : QString::fromLatin1(kReady));
        break;
    }
}

// The status line names the archive entry that keeps what the radio held before.
void CloneCommandController::ShowWrite(const WorkerOutcome& outcome) {
    const bool restore = outcome.operation == CloneOperation::Restore;
    if (!outcome.run.Ok()) {
        Prompts().Message(&window_, restore ? QString::fromLatin1(kRestoreErrorTitle) : QStringLiteral("Write Error"),
                          ToQString(WriteFailureText(outcome.stage, outcome.run, "File > Radio Archive... can write it back.")),
                          PromptIcon::Warning);
        window_.ShowStatus(QString::fromLatin1(kReady));
        return;
    }
    QString status = restore ? QString::fromLatin1(kRestoreOkText) : QString::fromLatin1(kWriteOkText);
    if (outcome.readBack) status = ReadBackStatus(*outcome.readBack, status);
    if (!outcome.run.archived.empty()) status += QStringLiteral("\nBackup: ") + ToQString(outcome.run.archived);
    window_.ShowStatus(status);
}

void CloneCommandController::ShowRead(const WorkerOutcome& outcome) {
    if (outcome.run.Ok() && outcome.readBlock) {
        // A close that came meanwhile asks about the document on screen; the radio's settings are
        // in the radio archive.
        if (closeAfterClone_ || !EditsDuringReadMayGo(outcome)) return;
        window_.TakeRadioDocument(*outcome.readBlock);
        window_.ShowStatus(QString::fromLatin1(kReadOkText));
    } else if (outcome.run.Ok() && outcome.unloadable) {
        ShowUnloadableRead(outcome);
    } else {
        FailureBox("Read Error", outcome);
        window_.ShowStatus(QString::fromLatin1(kReadErrorText));
    }
}

// Edits made while the radio was read were not asked about before it began: they are now. When
// they stay, the radio's settings are still in the radio archive.
bool CloneCommandController::EditsDuringReadMayGo(const WorkerOutcome& outcome) {
    if (window_.EditCount() == editsBeforeRead_ || window_.MayDropDocument()) return true;
    QString status = QStringLiteral("Read OK; the document on screen was kept.");
    if (!outcome.run.archived.empty()) status += QStringLiteral("\nRead: ") + ToQString(outcome.run.archived);
    window_.ShowStatus(status);
    return false;
}

void CloneCommandController::ShowVerify(const WorkerOutcome& outcome) {
    if (!outcome.run.Ok()) {
        if (outcome.run.result == kResultUserCancel) {
            window_.ShowStatus(QStringLiteral("User Cancel."));
            return;
        }
        window_.ShowStatus(QString::fromLatin1(kVerifyErrorText));
        FailureBox("Verify Error", outcome);
        return;
    }
    if (outcome.verifyFlags == 0) {
        window_.ShowStatus(QString::fromLatin1(kVerifyOkText));
        return;
    }
    const QString report = ToQString(outcome.reportPath);
    const bool written = outcome.verifyFlags != kVerifyFileError;
    if (!written)
        Prompts().Message(&window_, QStringLiteral("Error"), QStringLiteral("Can't Create file:\n") + report,
                          PromptIcon::Error);
    window_.ShowStatus(QString::fromLatin1(kVerifyErrorText));
    // The viewer is started on a report that could not be written too, but only a written one
    // is worth pointing to.
    if (written) window_.ShowReport(report);
    else Prompts().OpenInTextViewer(report);
}

// Each once: a write followed by its read-back opens the trace twice.
void CloneCommandController::ShowUnwrittenFiles(const std::vector<std::string>& unwritten) {
    if (unwritten.empty()) return;
    QStringList paths;
    for (const std::string& path : unwritten)
        if (!paths.contains(ToQString(path))) paths << ToQString(path);
    Prompts().Message(&window_, QStringLiteral("Trace and Dump Files"),
                      QStringLiteral("These files the user options ask for could not be written:\n") +
                          paths.join(QLatin1Char('\n')),
                      PromptIcon::Warning);
}

// The document on screen stays: the settings read would make a file this program refuses to open.
void CloneCommandController::ShowUnloadableRead(const WorkerOutcome& outcome) {
    QString text = ToQString(UnloadableReadText(*outcome.unloadable));
    text += outcome.reportPath.empty()
                ? QStringLiteral("The radio's exact bytes could not be saved.")
                : QStringLiteral("The radio's exact bytes were saved to:\n") + ToQString(outcome.reportPath);
    Prompts().Message(&window_, QStringLiteral("Read Error"), text, PromptIcon::Warning);
    window_.ShowStatus(QString::fromLatin1(kReadErrorText));
}

QString CloneCommandController::ReadBackStatus(const ReadBackOutcome& readBack, const QString& okText) {
    const ReadBackWords words = ReadBackWordsOf(readBack, okText.toStdString());
    if (!words.problemTitle.empty())
        Prompts().Message(&window_, ToQString(words.problemTitle), ToQString(words.problemText), PromptIcon::Warning);
    return ToQString(words.status);
}

void CloneCommandController::SetBusyLayout(bool busy, CloneOperation operation) {
    struct Command {
        QAction* action;
        CloneOperation operation;
        const char* idleText;
        const char* stopText;
    };
    const Command commands[] = {
        {controls_.write, CloneOperation::Write, kWriteText, "Stop &Write"},
        {controls_.read, CloneOperation::Read, kReadText, "Stop &Read"},
        {controls_.verify, CloneOperation::Verify, kVerifyText, "Stop &Verify"},
        {controls_.handShake, CloneOperation::HandShake, kHandShakeText, "Stop &HandShake"},
    };
    // A restore writes, and stops, as a write; any other running operation shows as a handshake.
    // The check has no Stop: every control is off while it runs.
    const bool known = Writes(operation) || operation == CloneOperation::Read || operation == CloneOperation::Verify;
    const CloneOperation running = !busy || checking_ ? CloneOperation::None
                                   : !known           ? CloneOperation::HandShake
                                   : Writes(operation) ? CloneOperation::Write
                                                       : operation;
    for (const Command& command : commands) {
        const bool isRunning = busy && command.operation == running;
        command.action->setText(QString::fromLatin1(isRunning ? command.stopText : command.idleText));
        command.action->setEnabled(!busy || isRunning);
    }
    controls_.writeRemoving->setEnabled(!busy);
    const bool writing = running == CloneOperation::Write;
    controls_.writeButton->setText(QString::fromLatin1(writing ? "Stop" : "Write to Radio"));
    controls_.writeButton->setEnabled(!busy || writing);
    controls_.readButton->setEnabled(!busy);
    // A command's phases name themselves in the bar while it runs.
    if (!busy) controls_.progress->setTextVisible(false);
}

}  // namespace orven::ui
