// Tools > Fleet Programming: one template into the radios met on several ports, each with the
// identities its serial number has in a roster. The user chooses the template, the roster and the
// ports; Start has the core read and check both (each refusal shown by line and column, no radio
// touched), asks once for the whole run, then runs every port at once. A row per port shows its
// radio, step and last result as the ports report them; Stop ends every port, and closing the
// dialog while it runs asks first. The dialog only chooses, asks and shows.
#pragma once

#include "clone/CloneRunner.h"
#include "clone/FleetRun.h"
#include "model/AppState.h"
#include "ui/UserPrompts.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <thread>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace orven {
class CHidDevice;
class RadioArchive;
}  // namespace orven

namespace orven::ui {

// What the window lends a run: its line settings, folders and USB device, and the ports it knows.
struct FleetSetup {
    AppState state{};  // baud rate, fast transfer, trace options
    CloneTiming timing = kProductTiming;
    std::string workDir;
    std::string archiveFolder;
    CHidDevice* usbDevice = nullptr;
    QStringList ports;  // offered to tick: USB and the serial ports present
};

class FleetProgrammingDlg : public QDialog {
    Q_OBJECT
public:
    // The table's columns.
    enum Column { kPortColumn, kRadioColumn, kSerialColumn, kStepColumn, kResultColumn, kColumnCount };

    explicit FleetProgrammingDlg(FleetSetup setup, QWidget* parent = nullptr);
    ~FleetProgrammingDlg() override;

    bool Running() const { return worker_.joinable(); }
    // While a run goes on, asks first; a Yes stops every port and closes once they have ended.
    void reject() override;

private:
    QWidget* BuildFiles();
    void Browse(QLineEdit* edit, FileKind kind, const QString& title);
    void OnStart();
    void OnStop();
    // The plan of the chosen files, or nothing with its refusals shown.
    bool ReadPlan();
    std::vector<std::string> TickedPorts() const;
    bool MakeLinks(const std::vector<std::string>& names);
    bool Confirmed();
    void Launch();
    void ShowPort(std::size_t port, const PortStatus& status);
    void ShowRadio(std::size_t port, const RadioReport& report);
    void Finished(const FleetSummary& summary);
    void SetRunning(bool running);

    FleetSetup setup_;
    std::unique_ptr<RadioArchive> archive_;
    std::unique_ptr<FleetPlan> plan_;
    std::vector<std::unique_ptr<FleetPortLink>> links_;
    std::unique_ptr<FleetSink> sink_;
    std::thread worker_;
    bool closeWhenEnded_ = false;

    QLineEdit* template_ = nullptr;
    QLineEdit* roster_ = nullptr;
    QPushButton* templateBrowse_ = nullptr;
    QPushButton* rosterBrowse_ = nullptr;
    QListWidget* ports_ = nullptr;
    QCheckBox* once_ = nullptr;
    QLineEdit* assign_ = nullptr;
    QCheckBox* allowReuse_ = nullptr;
    QPlainTextEdit* problems_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPlainTextEdit* reports_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace orven::ui
