#include "ui/CloneCommandController.h"

#include "clone/CloneEvent.h"
#include "clone/CloneResult.h"
#include "clone/CloneTrace.h"
#include "files/AtomicFile.h"
#include "files/Paths.h"
#include "files/ReportTime.h"
#include "files/VerifyReport.h"
#include "model/IdentityRules.h"
#include "ui/CCloneMainDlg.h"
#include "ui/GuiThreadPost.h"
#include "ui/IdentityConfirmDlg.h"
#include "ui/QueuedProgress.h"
#include "ui/UserPrompts.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

namespace orven::ui {

// What a worker hands back to the window.
struct WorkerOutcome {
    CloneOperation operation = CloneOperation::None;
    CloneOutcome run;                          // result, and the link's reason for a failure
    std::unique_ptr<RadioSettings> readBlock;  // a good read's settings
    std::optional<std::string> unloadable;     // why a read's settings would not open again
    std::int32_t verifyFlags = 0;
    std::string reportPath;
    std::optional<ReadBackOutcome> readBack;  // after a good write, when asked for
};

namespace {

const char* WorkingText(CloneOperation operation) {
    switch (operation) {
    case CloneOperation::Write: return "Writing...";
    case CloneOperation::Read: return "Reading...";
    case CloneOperation::Verify: return "Verifying...";
    default: return "HandShaking...";
    }
}

QString ToQString(const std::string& text) { return QString::fromStdString(text); }

// Everything one exchange needs, owned by the worker so that nothing of the window is shared.
struct CloneWork {
    CloneOperation operation = CloneOperation::None;
    bool verifyAfterWrite = false;
    AppState state{};
    std::unique_ptr<RadioSettings> settings;  // a copy of the window's document
    CloneJob job;
    std::unique_ptr<QueuedProgress> progress;
    std::function<bool(const IdentityChange&)> confirmIdentityChange;  // asks the user on the GUI thread
};

// The radio's exact bytes, kept where the image dump goes, for a read whose settings cannot be
// saved as a settings file.
std::string KeepReadImage(const CloneWork& work) {
    const std::string path = JoinPath(work.job.workDir, kReadDumpFileName);
    return DumpImageFile(path, *work.job.readImage) ? path : std::string();
}

void RunWriteWork(CloneWork& work, WorkerOutcome& outcome) {
    WriteOptions options;
    options.verifyAfter = work.verifyAfterWrite;
    options.confirmIdentityChange = work.confirmIdentityChange;
    WriteOutcome written = RunWrite(work.job, *work.settings, options);
    outcome.readBack = std::move(written.readBack);
    outcome.run = written;
}

void RunReadWork(CloneWork& work, WorkerOutcome& outcome) {
    auto block = std::make_unique<RadioSettings>();
    const ReadOutcome read = RunRead(work.job, *block);
    outcome.run = read;
    if (!read.Ok()) return;
    if (read.unloadable) {
        outcome.unloadable = *read.unloadable;
        outcome.reportPath = KeepReadImage(work);
    } else {
        outcome.readBlock = std::move(block);
    }
}

void RunVerifyWork(CloneWork& work, WorkerOutcome& outcome) {
    const VerifyOutcome verify = RunVerify(work.job, *work.settings, LocalReportTime());
    outcome.run = verify;
    outcome.reportPath = JoinPath(work.job.workDir, kVerifyFileName);
    if (verify.Ok())
        outcome.verifyFlags =
            WriteFileAtomically(outcome.reportPath, std::string_view(verify.report)) ? verify.flags : kVerifyFileError;
}

// The worker's body: one exchange, no widget.
std::shared_ptr<WorkerOutcome> RunCloneWork(CloneWork& work) {
    auto outcome = std::make_shared<WorkerOutcome>();
    outcome->operation = work.operation;
    switch (work.operation) {
    case CloneOperation::Write: RunWriteWork(work, *outcome); break;
    case CloneOperation::Read: RunReadWork(work, *outcome); break;
    case CloneOperation::Verify: RunVerifyWork(work, *outcome); break;
    default: outcome->run = RunHandShake(work.job); break;
    }
    return outcome;
}

}  // namespace

CloneCommandController::CloneCommandController(CCloneMainDlg& window, const Controls& controls)
    : QObject(&window), window_(window), controls_(controls) {
    connect(controls_.write, &QAction::triggered, this, &CloneCommandController::OnWriteToRadio);
    connect(controls_.read, &QAction::triggered, this, &CloneCommandController::OnReadFromRadio);
    connect(controls_.verify, &QAction::triggered, this, &CloneCommandController::OnVerify);
    connect(controls_.handShake, &QAction::triggered, this, &CloneCommandController::OnHandShake);
    connect(controls_.writeButton, &QPushButton::clicked, this, &CloneCommandController::OnWriteToRadio);
    connect(controls_.readButton, &QPushButton::clicked, this, &CloneCommandController::OnReadFromRadio);
}

void CloneCommandController::OnWriteToRadio() {
    if (!IdentitiesPassWriteChecks()) return;
    if (!Running() && !IdentityWarningsAccepted()) return;
    Start(CloneOperation::Write);
}

void CloneCommandController::OnReadFromRadio() { Start(CloneOperation::Read); }

void CloneCommandController::OnVerify() { Start(CloneOperation::Verify); }

void CloneCommandController::OnHandShake() { Start(CloneOperation::HandShake); }

bool CloneCommandController::Running() const { return CloneBusyEvent.IsSet(); }

void CloneCommandController::StopAndCloseWindow() {
    CloneStopEvent.Set();
    closeAfterClone_ = true;
    // The worker waits for the answer: No lets it end, and the window close.
    if (confirmDialog_) confirmDialog_->reject();
}

bool CloneCommandController::IdentityWarningsAccepted() {
    QStringList warnings;
    for (const std::string& warning : window_.IdentityWarningsNow()) warnings << ToQString(warning);
    return warnings.isEmpty() ||
           Prompts().AskYesNo(&window_, QStringLiteral("Identity Warnings"),
                              warnings.join(QLatin1Char('\n')) + QStringLiteral("\n\nWrite to the radio all the same?"));
}

bool CloneCommandController::ConfirmIdentityChange(const IdentityChange& change) {
    if (CloneStopEvent.IsSet()) return false;
    // On the heap and watched: the dialog is the window's child and must not be deleted twice.
    const QPointer<IdentityConfirmDlg> dialog = new IdentityConfirmDlg(change, &window_);
    confirmDialog_ = dialog;
    const bool confirmed = Prompts().RunDialog(*dialog) == QDialog::Accepted;
    delete dialog.data();
    return confirmed && !CloneStopEvent.IsSet();
}

bool CloneCommandController::IdentitiesPassWriteChecks() {
    const std::optional<std::string> refusal = CheckIdentitiesForWrite(window_.EnteredIdentities());
    if (!refusal) return true;
    Prompts().Message(&window_, QStringLiteral("Error"), ToQString(*refusal), PromptIcon::Error);
    return false;
}

void CloneCommandController::Start(CloneOperation operation) {
    if (CloneBusyEvent.IsSet()) {
        // The running worker ends by itself with "User Cancel.".
        CloneStopEvent.Set();
        return;
    }
    CloneStopEvent.Reset();
    operation_ = operation;
    CloneBusyEvent.Set();
    SetBusyLayout(true, operation);

    window_.StoreSelections();
    AppState& state = window_.State();
    if (operation != CloneOperation::HandShake && state.modified) window_.GatherSettings();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    window_.SetStatusText(QString::fromLatin1(WorkingText(operation)));

    auto work = std::make_shared<CloneWork>();
    work->operation = operation;
    work->verifyAfterWrite = state.verifyAfterWrite != 0;
    work->state = state;
    work->settings = std::make_unique<RadioSettings>(window_.Settings());
    work->progress = std::make_unique<QueuedProgress>(controls_.progress);
    work->job.state = &work->state;
    work->job.progress = work->progress.get();
    work->job.workDir = window_.WorkDir();
    work->job.timing = timing_;
    work->job.timing.fast = state.fastTransfer != 0;
    work->job.hidDevice = &window_.UsbDevice();

    const QPointer<CloneCommandController> controller(this);
    work->confirmIdentityChange = [controller](const IdentityChange& change) {
        return AskGui([controller, change] { return controller && controller->ConfirmIdentityChange(change); }, false);
    };
    try {
        std::thread([work, controller] {
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
        }).detach();
    } catch (const std::system_error&) {
        QApplication::restoreOverrideCursor();
        CloneBusyEvent.Reset();
        operation_ = CloneOperation::None;
        SetBusyLayout(false, CloneOperation::None);
        window_.ShowStatus(QStringLiteral("Can't start the clone."));
    }
}

void CloneCommandController::Finish(const WorkerOutcome& outcome) {
    QApplication::restoreOverrideCursor();
    ShowOutcome(outcome);
    if (!closeAfterClone_) ShowUnwrittenFiles(outcome.run.unwritten);
    CloneBusyEvent.Reset();
    operation_ = CloneOperation::None;
    SetBusyLayout(false, CloneOperation::None);
    if (closeAfterClone_) {
        closeAfterClone_ = false;
        window_.close();
    }
}

void CloneCommandController::FailureBox(const char* title, const WorkerOutcome& outcome, bool stoppedForClose) {
    if (stoppedForClose) return;
    Prompts().Message(&window_, QString::fromLatin1(title), ToQString(OutcomeText(outcome.run)), PromptIcon::Warning);
}

void CloneCommandController::ShowOutcome(const WorkerOutcome& outcome) {
    const bool ok = outcome.run.Ok();
    // The stop that closing the window asked for is no failure to report.
    const bool stoppedForClose = closeAfterClone_ && outcome.run.result == kResultUserCancel;
    switch (outcome.operation) {
    case CloneOperation::Write:
        if (!ok) FailureBox("Write Error", outcome, stoppedForClose);
        if (ok && outcome.readBack) ShowReadBack(*outcome.readBack);
        else window_.ShowStatus(QString::fromLatin1(ok ? "Write OK." : kReady));
        break;
    case CloneOperation::Read: ShowRead(outcome, stoppedForClose); break;
    case CloneOperation::Verify: ShowVerify(outcome, stoppedForClose); break;
    default:
        // The handshake's text stays until the next change of the status line.
        if (!ok) FailureBox("HandShake Error.", outcome, stoppedForClose);
        window_.SetStatusText(ok ? QStringLiteral("HandShake OK.") : QString::fromLatin1(kReady));
        break;
    }
}

void CloneCommandController::ShowRead(const WorkerOutcome& outcome, bool stoppedForClose) {
    if (outcome.run.Ok() && outcome.readBlock) {
        window_.Settings() = *outcome.readBlock;
        window_.ShowStatus(QStringLiteral("Read OK."));
        window_.SetModifiedFlag(true);
        window_.ShowSettings();
    } else if (outcome.run.Ok() && outcome.unloadable) {
        ShowUnloadableRead(outcome);
    } else {
        FailureBox("Read Error", outcome, stoppedForClose);
        window_.ShowStatus(QStringLiteral("Read Error."));
    }
}

void CloneCommandController::ShowVerify(const WorkerOutcome& outcome, bool stoppedForClose) {
    if (!outcome.run.Ok()) {
        if (outcome.run.result == kResultUserCancel) {
            window_.ShowStatus(QStringLiteral("User Cancel."));
            return;
        }
        window_.ShowStatus(QStringLiteral("Verify Error."));
        FailureBox("Verify Error", outcome, stoppedForClose);
        return;
    }
    if (outcome.verifyFlags == 0) {
        window_.ShowStatus(QStringLiteral("Verify OK."));
        return;
    }
    const QString report = ToQString(outcome.reportPath);
    const bool written = outcome.verifyFlags != kVerifyFileError;
    if (!written)
        Prompts().Message(&window_, QStringLiteral("Error"), QStringLiteral("Can't Create file:\n") + report,
                          PromptIcon::Error);
    window_.ShowStatus(QStringLiteral("Verify Error."));
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
    QString text = QStringLiteral("The radio's settings cannot be kept as a settings file:\n") +
                   ToQString(*outcome.unloadable) + QStringLiteral(".\n\n");
    text += outcome.reportPath.empty()
                ? QStringLiteral("The radio's exact bytes could not be saved.")
                : QStringLiteral("The radio's exact bytes were saved to:\n") + ToQString(outcome.reportPath);
    Prompts().Message(&window_, QStringLiteral("Read Error"), text, PromptIcon::Warning);
    window_.ShowStatus(QStringLiteral("Read Error."));
}

void CloneCommandController::ShowReadBack(const ReadBackOutcome& readBack) {
    if (readBack.result == kResultOk && readBack.differing.empty()) {
        window_.ShowStatus(QStringLiteral("Write OK. Verify OK."));
        return;
    }
    window_.ShowStatus(QStringLiteral("Verify Error."));
    Prompts().Message(&window_, QStringLiteral("Verify Error"), ToQString(ReadBackReport(readBack)),
                      PromptIcon::Warning);
}

void CloneCommandController::SetBusyLayout(bool busy, CloneOperation operation) {
    struct Command {
        QAction* action;
        CloneOperation operation;
        const char* idleText;
        const char* stopText;
    };
    const Command commands[] = {
        {controls_.write, CloneOperation::Write, "Write to Radio", "Stop Write"},
        {controls_.read, CloneOperation::Read, "Read from Radio", "Stop Read"},
        {controls_.verify, CloneOperation::Verify, "Verify", "Stop Verify"},
        {controls_.handShake, CloneOperation::HandShake, "HandShake", "Stop HandShake"},
    };
    // Any other running operation shows as a handshake.
    const bool known = operation == CloneOperation::Write || operation == CloneOperation::Read ||
                       operation == CloneOperation::Verify;
    const CloneOperation running = known ? operation : CloneOperation::HandShake;
    for (const Command& command : commands) {
        const bool isRunning = busy && command.operation == running;
        command.action->setText(QString::fromLatin1(isRunning ? command.stopText : command.idleText));
        command.action->setEnabled(!busy || isRunning);
    }
    const bool writing = busy && running == CloneOperation::Write;
    controls_.writeButton->setText(QString::fromLatin1(writing ? "Stop" : "Write to Radio"));
    controls_.writeButton->setEnabled(!busy || writing);
    controls_.readButton->setEnabled(!busy);
}

}  // namespace orven::ui
