// The clone commands of the main window: Write to Radio, Read from Radio, Verify, HandShake, the
// restore of a radio archive entry, and the connection check.
//
// A command's handler does everything that needs the window (the identity checks, the busy
// layout, gathering the controls) on the GUI thread, then hands a worker thread copies of what
// the exchange needs. The worker never touches a widget: its progress and its end are queued to
// the GUI thread, where the outcome is shown. The one thing it waits for is the user's answer
// when a write would change the radio's identity (a blocking queued call); the GUI thread never
// waits for the worker.
#pragma once

#include "clone/CloneRunner.h"
#include "clone/CloneTiming.h"
#include "files/RadioArchive.h"
#include "model/RadioImage.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QProgressBar;
class QPushButton;

namespace orven {
struct ConnectionReport;
}

namespace orven::ui {

class CCloneMainDlg;
class IdentityConfirmDlg;

// The Clone menu's commands as the idle layout names them, with their mnemonics.
inline constexpr const char* kWriteText = "&Write to Radio";
inline constexpr const char* kReadText = "&Read from Radio";
inline constexpr const char* kVerifyText = "&Verify";
inline constexpr const char* kHandShakeText = "&HandShake";
struct CloneWork;
struct WorkerOutcome;

class CloneCommandController : public QObject {
    Q_OBJECT
public:
    // The controls of the clone commands, made by the window; the busy layout switches them.
    struct Controls {
        QAction* write = nullptr;
        QAction* read = nullptr;
        QAction* verify = nullptr;
        QAction* handShake = nullptr;
        QAction* writeRemoving = nullptr;  // Write and Remove Identities...
        QPushButton* writeButton = nullptr;
        QPushButton* readButton = nullptr;
        QProgressBar* progress = nullptr;
    };

    // Connects the controls to the commands; the controller lives as the window's child.
    CloneCommandController(CCloneMainDlg& window, const Controls& controls);

    // Each starts its command's worker, or asks the running one to stop. Write checks the
    // identity fields first, unless it would only stop.
    void OnWriteToRadio();
    // Asks which identities to remove, then writes as Write to Radio does, removing them.
    void OnWriteRemovingIdentities();
    void OnReadFromRadio();
    void OnVerify();
    void OnHandShake();
    // Writes an archive entry's exact bytes back into the radio, with a write's backup, identity
    // confirmation and read-back.
    void StartRestore(const ArchiveEntry& entry);
    // Checks the connection on a worker, for the port and baud rate chosen in the window, with the
    // job a clone command would have: the one thing that runs until it ends, with the clone
    // controls off. `done` gets the report on the GUI thread. False, and nothing started, while a
    // clone command or a check runs.
    using CheckDone = std::function<void(const ConnectionReport&)>;
    bool StartCheck(CheckDone done);

    // Whether a clone command runs.
    bool Running() const;
    // Whether a close may stop the running command: a write that may already be sending is asked
    // about first (No, the default, lets it go on), as stopping it leaves the radio half-written.
    bool MayStopForClose();
    // Asks the running command to stop; the window is closed once its worker has ended.
    void StopAndCloseWindow();

    // How long the clone engines wait; the product's timing unless replaced.
    void SetTiming(const CloneTiming& timing) { timing_ = timing; }
    const CloneTiming& Timing() const { return timing_; }

private:
    // `remove`: the identities a write removes from the radio.
    void Start(CloneOperation operation, std::unique_ptr<RadioImage> restoreImage = nullptr,
               const IdentitySet& remove = {});
    // A write after its checks and questions.
    void StartWrite(const IdentitySet& remove);
    // What the worker needs, copied from the window: the document, the state, the job and the
    // write's policies.
    std::shared_ptr<CloneWork> MakeWork(CloneOperation operation);
    bool IdentitiesPassWriteChecks();
    // The warnings the identities deserve, asked about once more: Yes goes on.
    bool IdentityWarningsAccepted();
    // On the GUI thread, asked by the worker: whether the user confirms the identity changes.
    bool ConfirmIdentityChange(const IdentityChanges& changes);
    // On the GUI thread, once the worker's exchange has ended.
    void Finish(const WorkerOutcome& outcome);
    void FinishCheck(const ConnectionReport& report, const CheckDone& done);
    // The program is free for the next command, and the controls say so.
    void EndBusy();
    // Closes the window when a close came while the command ran; true when it did.
    bool CloseIfAsked();
    void ShowOutcome(const WorkerOutcome& outcome);
    void ShowWrite(const WorkerOutcome& outcome);
    void ShowRead(const WorkerOutcome& outcome);
    bool EditsDuringReadMayGo(const WorkerOutcome& outcome);
    void ShowVerify(const WorkerOutcome& outcome);
    // The status after a read-back, and the message when it failed or found other bytes.
    QString ReadBackStatus(const ReadBackOutcome& readBack, const QString& okText);
    void ShowUnloadableRead(const WorkerOutcome& outcome);
    // Names the trace and dump files that were asked for and could not be written.
    void ShowUnwrittenFiles(const std::vector<std::string>& unwritten);
    void FailureBox(const char* title, const WorkerOutcome& outcome);
    // Switches the buttons and the Clone menu between the idle and the busy layout.
    void SetBusyLayout(bool busy, CloneOperation operation);

    CCloneMainDlg& window_;
    Controls controls_;
    bool checking_ = false;  // the busy one is the connection check, which nothing stops
    bool writing_ = false;   // the busy one is a write or a restore
    CloneTiming timing_ = kProductTiming;
    bool closeAfterClone_ = false;  // a close came while a clone ran
    unsigned editsBeforeRead_ = 0;  // the document's edit count when the running read began
    QPointer<IdentityConfirmDlg> confirmDialog_;  // while the worker waits for its answer
};

}  // namespace orven::ui
