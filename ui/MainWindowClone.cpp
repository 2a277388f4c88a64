// The clone commands of the main window: Write to Radio, Read from Radio, Verify and HandShake.
//
// The handler does everything that needs the window (checks, busy layout, gathering the
// controls) on the GUI thread, then hands the worker copies of what the exchange needs. The
// worker therefore never waits for the GUI thread and never touches a widget: its progress and
// its end are queued to the GUI thread.
#include "ui/CCloneMainDlg.h"

#include "clone/CloneEvent.h"
#include "clone/CloneResult.h"
#include "model/IdentityRules.h"
#include "clone/CloneTrace.h"
#include "files/AtomicFile.h"
#include "files/Paths.h"
#include "files/ReportTime.h"
#include "files/VerifyReport.h"
#include "ui/GuiThreadPost.h"
#include "ui/QueuedProgress.h"
#include "ui/UserPrompts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

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

// A control's text as the checks read it: into a buffer of 32 characters.
constexpr int kCheckedTextLimit = 31;

const char* WorkingText(CloneOperation operation) {
    switch (operation) {
    case CloneOperation::Write: return "Writing...";
    case CloneOperation::Read: return "Reading...";
    case CloneOperation::Verify: return "Verifying...";
    default: return "HandShaking...";
    }
}

std::string CheckedText(const QLineEdit* edit) {
    return edit->text().left(kCheckedTextLimit).toStdString();
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
};

// The radio's exact bytes, kept where the image dump goes, for a read whose settings cannot be
// saved as a settings file.
std::string KeepReadImage(const CloneWork& work) {
    const std::string path = JoinPath(work.job.workDir, kReadDumpFileName);
    return DumpImageFile(path, *work.job.readImage) ? path : std::string();
}

// The worker's body: one exchange, no widget.
std::shared_ptr<WorkerOutcome> RunCloneWork(CloneWork& work) {
    auto outcome = std::make_shared<WorkerOutcome>();
    outcome->operation = work.operation;
    switch (work.operation) {
    case CloneOperation::Write: {
        WriteOptions options;
        options.verifyAfter = work.verifyAfterWrite;
        WriteOutcome written = RunWrite(work.job, *work.settings, options);
        outcome->readBack = std::move(written.readBack);
        outcome->run = written;
        break;
    }
    case CloneOperation::Read: {
        auto block = std::make_unique<RadioSettings>();
        const ReadOutcome read = RunRead(work.job, *block);
        outcome->run = read;
        if (!read.Ok()) break;
        if (read.unloadable) {
            outcome->unloadable = *read.unloadable;
            outcome->reportPath = KeepReadImage(work);
        } else {
            outcome->readBlock = std::move(block);
        }
        break;
    }
    case CloneOperation::Verify: {
        const VerifyOutcome verify = RunVerify(work.job, *work.settings, LocalReportTime());
        outcome->run = verify;
        outcome->reportPath = JoinPath(work.job.workDir, kVerifyFileName);
        if (verify.Ok())
            outcome->verifyFlags = WriteFileAtomically(outcome->reportPath, std::string_view(verify.report))
                                       ? verify.flags
                                       : kVerifyFileError;
        break;
    }
    default: outcome->run = RunHandShake(work.job); break;
    }
    return outcome;
}

}  // namespace

void CCloneMainDlg::OnWriteToRadio() {
    // The checks run even when the command would only stop the running clone.
    if (!IdentitiesPassWriteChecks()) return;
    StartClone(CloneOperation::Write);
}

void CCloneMainDlg::OnReadFromRadio() { StartClone(CloneOperation::Read); }

void CCloneMainDlg::OnVerify() { StartClone(CloneOperation::Verify); }

void CCloneMainDlg::OnHandShake() { StartClone(CloneOperation::HandShake); }

bool CCloneMainDlg::IdentitiesPassWriteChecks() {
    IdentityEntry entry;
    entry.mmsi = CheckedText(mmsiEdit_);
    entry.mmsiByUser = mmsiByUser_->isChecked();
    entry.atis = CheckedText(atisEdit_);
    entry.atisByUser = atisByUser_->isChecked();
    entry.nmea = CheckedText(nmeaEdit_);
    entry.serial = CheckedText(serialEdit_);
    const std::optional<std::string> refusal = CheckIdentitiesForWrite(entry);
    if (!refusal) return true;
    Prompts().Message(this, QStringLiteral("Error"), ToQString(*refusal), PromptIcon::Error);
    return false;
}

void CCloneMainDlg::StartClone(CloneOperation operation) {
    if (CloneBusyEvent.IsSet()) {
        // The running worker ends by itself with "User Cancel.".
        CloneStopEvent.Set();
        return;
    }
    CloneStopEvent.Reset();
    cloneOperation_ = operation;
    CloneBusyEvent.Set();
    SetBusyLayout(true, operation);

    state_.comPort = portCombo_->currentIndex();
    state_.baudIndex = baudCombo_->currentIndex();
    state_.editBand = bandCombo_->currentIndex();
    if (operation != CloneOperation::HandShake && state_.modified) GatherSettings();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    statusText_->setText(QString::fromLatin1(WorkingText(operation)));

    auto work = std::make_shared<CloneWork>();
    work->operation = operation;
    work->verifyAfterWrite = state_.verifyAfterWrite != 0;
    work->state = state_;
    work->settings = std::make_unique<RadioSettings>(settings_);
    work->progress = std::make_unique<QueuedProgress>(progress_);
    work->job.state = &work->state;
    work->job.progress = work->progress.get();
    work->job.workDir = workDir_;
    work->job.timing = cloneTiming_;
    work->job.timing.fast = state_.fastTransfer != 0;
    work->job.hidDevice = usbDevice_;

    const QPointer<CCloneMainDlg> window(this);
    try {
        std::thread([work, window] {
            std::shared_ptr<WorkerOutcome> outcome = RunCloneWork(*work);
            PostToGui([window, outcome] {
                if (window) {
                    window->FinishClone(*outcome);
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
        cloneOperation_ = CloneOperation::None;
        SetBusyLayout(false, CloneOperation::None);
        ShowStatus(QStringLiteral("Can't start the clone."));
    }
}

void CCloneMainDlg::FinishClone(const WorkerOutcome& outcome) {
    QApplication::restoreOverrideCursor();
    ShowCloneOutcome(outcome);
    CloneBusyEvent.Reset();
    cloneOperation_ = CloneOperation::None;
    SetBusyLayout(false, CloneOperation::None);
    if (closeAfterClone_) {
        closeAfterClone_ = false;
        close();
    }
}

void CCloneMainDlg::ShowCloneOutcome(const WorkerOutcome& outcome) {
    const bool ok = outcome.run.Ok();
    const QString resultText = ToQString(OutcomeText(outcome.run));
    // The stop that closing the window asked for is no failure to report.
    const bool stoppedForClose = closeAfterClone_ && outcome.run.result == kResultUserCancel;
    auto failureBox = [&](const char* title) {
        if (stoppedForClose) return;
        Prompts().Message(this, QString::fromLatin1(title), resultText, PromptIcon::Warning);
    };
    switch (outcome.operation) {
    case CloneOperation::Write:
        if (!ok) failureBox("Write Error");
        if (ok && outcome.readBack) {
            ShowReadBack(*outcome.readBack);
            break;
        }
        ShowStatus(QString::fromLatin1(ok ? "Write OK." : kReady));
        break;
    case CloneOperation::Read:
        if (ok && outcome.readBlock) {
            settings_ = *outcome.readBlock;
            ShowStatus(QStringLiteral("Read OK."));
            SetModifiedFlag(true);
            ShowSettings();
        } else if (ok && outcome.unloadable) {
            ShowUnloadableRead(outcome);
        } else {
            failureBox("Read Error");
            ShowStatus(QStringLiteral("Read Error."));
        }
        break;
    case CloneOperation::Verify:
        if (ok && outcome.verifyFlags == 0) {
            ShowStatus(QStringLiteral("Verify OK."));
        } else if (ok) {
            const QString report = ToQString(outcome.reportPath);
            const bool written = outcome.verifyFlags != kVerifyFileError;
            if (!written)
                Prompts().Message(this, QStringLiteral("Error"), QStringLiteral("Can't Create file:\n") + report,
                                  PromptIcon::Error);
            ShowStatus(QStringLiteral("Verify Error."));
            // The viewer is started on a report that could not be written too, but only a written
            // one is worth pointing to.
            if (written) ShowReport(report);
            else Prompts().OpenInTextViewer(report);
        } else if (outcome.run.result == kResultUserCancel) {
            ShowStatus(QStringLiteral("User Cancel."));
        } else {
            ShowStatus(QStringLiteral("Verify Error."));
            failureBox("Verify Error");
        }
        break;
    default:
        // The handshake's text stays until the next change of the status line.
        if (ok) {
            statusText_->setText(QStringLiteral("HandShake OK."));
        } else {
            failureBox("HandShake Error.");
            statusText_->setText(QString::fromLatin1(kReady));
        }
        break;
    }
}

// The document on screen stays: the settings read would make a file this program refuses to open.
void CCloneMainDlg::ShowUnloadableRead(const WorkerOutcome& outcome) {
    QString text = QStringLiteral("The radio's settings cannot be kept as a settings file:\n") +
                   ToQString(*outcome.unloadable) + QStringLiteral(".\n\n");
    text += outcome.reportPath.empty()
                ? QStringLiteral("The radio's exact bytes could not be saved.")
                : QStringLiteral("The radio's exact bytes were saved to:\n") + ToQString(outcome.reportPath);
    Prompts().Message(this, QStringLiteral("Read Error"), text, PromptIcon::Warning);
    ShowStatus(QStringLiteral("Read Error."));
}

void CCloneMainDlg::ShowReadBack(const ReadBackOutcome& readBack) {
    if (readBack.result == kResultOk && readBack.differing.empty()) {
        ShowStatus(QStringLiteral("Write OK. Verify OK."));
        return;
    }
    ShowStatus(QStringLiteral("Verify Error."));
    Prompts().Message(this, QStringLiteral("Verify Error"), ToQString(ReadBackReport(readBack)), PromptIcon::Warning);
}

void CCloneMainDlg::SetBusyLayout(bool busy, CloneOperation operation) {
    struct Command {
        QAction* action;
        CloneOperation operation;
        const char* idleText;
        const char* stopText;
    };
    const Command commands[] = {
        {writeAction_, CloneOperation::Write, "Write to Radio", "Stop Write"},
        {readAction_, CloneOperation::Read, "Read from Radio", "Stop Read"},
        {verifyAction_, CloneOperation::Verify, "Verify", "Stop Verify"},
        {handShakeAction_, CloneOperation::HandShake, "HandShake", "Stop HandShake"},
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
    writeButton_->setText(QString::fromLatin1(writing ? "Stop" : "Write to Radio"));
    writeButton_->setEnabled(!busy || writing);
    readButton_->setEnabled(!busy);
}

}  // namespace orven::ui
