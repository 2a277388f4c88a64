#include "ui/FleetProgrammingDlg.h"

#include "clone/CloneEvent.h"
#include "files/RadioArchive.h"
#include "model/LineFormat.h"
#include "ui/DialogButtons.h"
#include "ui/GuiThreadPost.h"
#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orven::ui {

namespace {

constexpr const char* kTitle = "Fleet Programming";
constexpr const char* kAllowReuseLabel = "A&llow identities the register gives another radio";
// The restore writes to the main window's port, so the user chooses this one there first.
constexpr const char* kRestoreHint = "choose its port in the main window, then restore it from File > Radio Archive";
// The question lists this many radios; the roster holds the rest.
constexpr std::size_t kQuestionRows = 20;
constexpr int kTableWidthChars = 90;
constexpr int kTextLines = 5;

QString Shown(const std::string& text) { return QString::fromStdString(PrintableText(text)); }

// Follows a register conflict: how this window programs a radio whose MMSI was removed after a sale.
std::string AllowReuseHint() {
    return "A radio sold has its MMSI removed first; when that is done, tick \"" +
           QString::fromLatin1(kAllowReuseLabel).remove(QLatin1Char('&')).toStdString() + "\" and press Start again.";
}

// A report of several lines as the core words it: each line made printable, the breaks kept.
QString ShownLines(const std::string& text) {
    QStringList lines;
    for (const QString& line : QString::fromStdString(text).split(QLatin1Char('\n'))) lines << Shown(line.toStdString());
    return lines.join(QLatin1Char('\n'));
}

// The ports' reports, carried from their threads to the dialog; dropped once it is gone.
class QueuedFleetSink : public FleetSink {
public:
    explicit QueuedFleetSink(std::function<void(std::size_t, const PortStatus&)> port,
                             std::function<void(std::size_t, const RadioReport&)> radio)
        : port_(std::move(port)), radio_(std::move(radio)) {}
    void PortChanged(std::size_t port, const PortStatus& status) override {
        PostToGui([show = port_, port, status] { show(port, status); });
    }
    void RadioFinished(std::size_t port, const RadioReport& report) override {
        PostToGui([show = radio_, port, report] { show(port, report); });
    }

private:
    std::function<void(std::size_t, const PortStatus&)> port_;
    std::function<void(std::size_t, const RadioReport&)> radio_;
};

}  // namespace

FleetProgrammingDlg::FleetProgrammingDlg(FleetSetup setup, QWidget* parent)
    : QDialog(parent), setup_(std::move(setup)), archive_(std::make_unique<RadioArchive>(setup_.archiveFolder)) {
    WithId(this, ids::kFleetDialog);
    setModal(true);
    setWindowTitle(QString::fromLatin1(kTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildFiles());

    problems_ = WithId(new QPlainTextEdit(this), ids::fleet::kProblems);
    problems_->setReadOnly(true);
    problems_->setAccessibleName(QStringLiteral("Problems of the roster"));
    problems_->setMaximumHeight(fontMetrics().lineSpacing() * kTextLines);
    problems_->setPlaceholderText(QStringLiteral("The roster is checked when you press Start, before any radio is touched."));
    layout->addWidget(problems_);

    table_ = WithId(new QTableWidget(0, kColumnCount, this), ids::fleet::kPortTable);
    table_->setHorizontalHeaderLabels({QStringLiteral("Port"), QStringLiteral("Radio"), QStringLiteral("Serial"),
                                       QStringLiteral("Step"), QStringLiteral("Result")});
    // The step carries the longest texts (a port's trouble among them); the result is one word.
    table_->horizontalHeader()->setSectionResizeMode(kStepColumn, QHeaderView::Stretch);
    table_->verticalHeader()->hide();
    table_->setAccessibleName(QStringLiteral("Ports"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setMinimumWidth(fontMetrics().averageCharWidth() * kTableWidthChars);
    layout->addWidget(table_, 1);

    reports_ = WithId(new QPlainTextEdit(this), ids::fleet::kReports);
    reports_->setReadOnly(true);
    reports_->setAccessibleName(QStringLiteral("Radios programmed"));
    reports_->setMaximumHeight(fontMetrics().lineSpacing() * kTextLines);
    layout->addWidget(reports_);
    summary_ = new QLabel(this);
    layout->addWidget(summary_);

    start_ = MakeButton("Start", ids::fleet::kStart, this);
    stop_ = MakeButton("Stop", ids::fleet::kStop, this);
    close_ = MakeButton("Close", ids::kCancel, this);
    layout->addLayout(MakeActionRow({start_, stop_}, close_));
    connect(start_, &QPushButton::clicked, this, &FleetProgrammingDlg::OnStart);
    connect(stop_, &QPushButton::clicked, this, &FleetProgrammingDlg::OnStop);
    connect(close_, &QPushButton::clicked, this, &FleetProgrammingDlg::reject);
    SetRunning(false);
}

FleetProgrammingDlg::~FleetProgrammingDlg() {
    if (!worker_.joinable()) return;
    CloneStopEvent.Set();
    worker_.join();
    CloneBusyEvent.Reset();
}

QWidget* FleetProgrammingDlg::BuildFiles() {
    auto* box = new QWidget(this);
    auto* form = new QFormLayout(box);
    form->setContentsMargins(0, 0, 0, 0);
    const auto fileRow = [this, form](const char* label, int editId, int browseId, FileKind kind, const char* title,
                                      QPushButton*& browse) {
        auto* edit = WithId(new QLineEdit(this), editId);
        browse = MakeButton("Browse...", browseId, this);
        connect(browse, &QPushButton::clicked, this,
                [this, edit, kind, title] { Browse(edit, kind, QString::fromLatin1(title)); });
        auto* row = new QHBoxLayout;
        row->addWidget(edit, 1);
        row->addWidget(browse);
        // A caption without a buddy would show its "&" and take no Alt key.
        auto* caption = new QLabel(QString::fromLatin1(label), this);
        caption->setBuddy(edit);
        form->addRow(caption, row);
        return edit;
    };
    template_ = fileRow("&Template:", ids::fleet::kTemplateEdit, ids::fleet::kTemplateBrowse, FileKind::Settings,
                        "Choose the Template", templateBrowse_);
    roster_ = fileRow("&Roster:", ids::fleet::kRosterEdit, ids::fleet::kRosterBrowse, FileKind::Spreadsheet,
                      "Choose the Roster", rosterBrowse_);
    template_->setToolTip(QStringLiteral("The settings file whose channels and settings every radio takes"));
    roster_->setToolTip(QStringLiteral("CSV with a header: Serial (required), MMSI, ATIS, NMEA2000, Name; one row per radio"));

    ports_ = WithId(new QListWidget(this), ids::fleet::kPortList);
    for (const QString& name : setup_.ports) {
        auto* item = new QListWidgetItem(name, ports_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    ports_->setMaximumHeight(fontMetrics().lineSpacing() * kTextLines);
    form->addRow(QStringLiteral("&Ports:"), ports_);
    once_ = WithId(new QCheckBox(QStringLiteral("Program the radios present and &stop"), this), ids::fleet::kOnce);
    once_->setToolTip(QStringLiteral("Otherwise each port waits for its next radio until you press Stop"));
    form->addRow(QString(), once_);

    // Writing a serial number is an identity change: only the one named here, and only once.
    assign_ = WithId(new QLineEdit(this), ids::fleet::kAssignEdit);
    assign_->setPlaceholderText(QStringLiteral("none: a radio without a serial number is left untouched"));
    assign_->setToolTip(QStringLiteral("The roster's serial number that a radio holding none takes, with that row's identities"));
    auto* assignCaption = new QLabel(QStringLiteral("&Assign serial:"), this);
    assignCaption->setBuddy(assign_);
    form->addRow(assignCaption, assign_);
    allowReuse_ = WithId(new QCheckBox(QString::fromLatin1(kAllowReuseLabel), this),
                         ids::fleet::kAllowReuse);
    allowReuse_->setToolTip(QStringLiteral("Only after a radio was sold and its MMSI removed: the register then still lists it"));
    form->addRow(QString(), allowReuse_);
    return box;
}

void FleetProgrammingDlg::Browse(QLineEdit* edit, FileKind kind, const QString& title) {
    const QString chosen = Prompts().OpenFileName(this, title, QString::fromStdString(setup_.workDir), kind);
    if (!chosen.isEmpty()) edit->setText(chosen);
}

bool FleetProgrammingDlg::ReadPlan() {
    // An empty field would be refused as a file named "" that does not exist.
    QStringList unchosen;
    if (template_->text().isEmpty())
        unchosen << QStringLiteral("Choose the template: the settings file whose channels and settings every radio takes.");
    if (roster_->text().isEmpty())
        unchosen << QStringLiteral("Choose the roster: the CSV that gives each serial number its identities.");
    if (!unchosen.isEmpty()) {
        problems_->setPlainText(unchosen.join(QLatin1Char('\n')));
        return false;
    }
    const FleetPlanRead read = ReadFleetPlan(template_->text().toStdString(), roster_->text().toStdString(),
                                             assign_->text().trimmed().toStdString(), allowReuse_->isChecked(),
                                             archive_.get(), AllowReuseHint());
    QStringList lines;
    for (const std::string& problem : read.problems) lines << Shown(problem);
    for (const std::string& warning : read.warnings) lines << QStringLiteral("warning: ") + Shown(warning);
    problems_->setPlainText(lines.join(QLatin1Char('\n')));
    if (!read.plan) return false;
    plan_ = std::make_unique<FleetPlan>(*read.plan);
    return true;
}

std::vector<std::string> FleetProgrammingDlg::TickedPorts() const {
    std::vector<std::string> names;
    for (int i = 0; i < ports_->count(); ++i)
        if (ports_->item(i)->checkState() == Qt::Checked) names.push_back(ports_->item(i)->text().toStdString());
    return names;
}

bool FleetProgrammingDlg::MakeLinks(const std::vector<std::string>& names) {
    links_.clear();
    std::string problem = names.empty() ? std::string("Tick the ports the radios are on.") : PortListProblem(names);
    CloneJob base;
    base.state = &setup_.state;
    base.timing = setup_.timing;
    base.timing.fast = setup_.state.fastTransfer != 0;
    base.workDir = setup_.workDir;
    base.hidDevice = setup_.usbDevice;
    base.archive = archive_.get();
    for (std::size_t i = 0; problem.empty() && i < names.size(); ++i) {
        links_.push_back(MakeFleetPortLink(names[i], base, *plan_->model));
        if (!links_.back()) problem = "Unknown port: " + names[i];
    }
    if (problem.empty()) return true;
    links_.clear();
    Prompts().Message(this, QString::fromLatin1(kTitle), Shown(problem), PromptIcon::Warning);
    return false;
}

bool FleetProgrammingDlg::Confirmed() {
    const FleetQuestion q = QuestionOfPlan(*plan_);
    QString text = Shown(q.text) + QStringLiteral("\n\n");
    for (std::size_t i = 0; i < q.rows.size() && i < kQuestionRows; ++i) text += Shown(q.rows[i]) + QLatin1Char('\n');
    if (q.rows.size() > kQuestionRows)
        text += QStringLiteral("... and %1 more in the roster\n").arg(q.rows.size() - kQuestionRows);
    text += QLatin1Char('\n') + Shown(q.question);
    return Prompts().AskYesNo(this, Shown(q.title), text);
}

void FleetProgrammingDlg::OnStart() {
    if (Running() || CloneBusyEvent.IsSet()) return;
    summary_->clear();
    if (!ReadPlan()) {
        summary_->setText(QStringLiteral("Nothing was programmed: the roster or template is refused."));
        return;
    }
    if (!MakeLinks(TickedPorts())) return;
    if (!Confirmed()) {
        summary_->setText(QStringLiteral("Nothing was programmed."));
        return;
    }
    Launch();
}

void FleetProgrammingDlg::Launch() {
    table_->setRowCount(static_cast<int>(links_.size()));
    for (std::size_t i = 0; i < links_.size(); ++i) {
        for (int c = 0; c < kColumnCount; ++c) table_->setItem(static_cast<int>(i), c, new QTableWidgetItem);
        table_->item(static_cast<int>(i), kPortColumn)->setText(Shown(links_[i]->job.portName));
    }
    reports_->clear();
    const QPointer<FleetProgrammingDlg> dialog(this);
    sink_ = std::make_unique<QueuedFleetSink>(
        [dialog](std::size_t port, const PortStatus& status) {
            if (dialog) dialog->ShowPort(port, status);
        },
        [dialog](std::size_t port, const RadioReport& report) {
            if (dialog) dialog->ShowRadio(port, report);
        });
    FleetOptions options;
    options.once = once_->isChecked();
    CloneStopEvent.Reset();
    CloneBusyEvent.Set();
    SetRunning(true);
    worker_ = std::thread([this, dialog, options] {
        const FleetSummary summary = RunFleet(*plan_, links_, archive_.get(), *sink_, options);
        PostToGui([dialog, summary] {
            if (dialog) dialog->Finished(summary);
        });
    });
}

void FleetProgrammingDlg::OnStop() {
    if (!Running()) return;
    CloneStopEvent.Set();
    stop_->setEnabled(false);
    summary_->setText(QStringLiteral("Stopping every port..."));
}

void FleetProgrammingDlg::ShowPort(std::size_t port, const PortStatus& status) {
    const int row = static_cast<int>(port);
    if (row >= table_->rowCount()) return;
    QString step = QString::fromStdString(status.step);
    if (status.percent >= 0) step += QStringLiteral(" %1%").arg(status.percent);
    if (!status.problem.empty()) step += QStringLiteral(": ") + Shown(status.problem);
    table_->item(row, kRadioColumn)->setText(Shown(status.name));
    table_->item(row, kSerialColumn)->setText(Shown(status.serial));
    table_->item(row, kStepColumn)->setText(step);
    table_->item(row, kStepColumn)->setToolTip(step);
    table_->item(row, kResultColumn)->setText(Shown(status.result));
}

void FleetProgrammingDlg::ShowRadio(std::size_t port, const RadioReport& report) {
    const QString line = ShownLines(RadioReportText(report, kRestoreHint));
    reports_->appendPlainText(line);
    if (static_cast<int>(port) < table_->rowCount()) table_->item(static_cast<int>(port), kResultColumn)->setToolTip(line);
}

void FleetProgrammingDlg::Finished(const FleetSummary& summary) {
    if (worker_.joinable()) worker_.join();
    CloneBusyEvent.Reset();
    SetRunning(false);
    QString text = Shown(FleetSummaryText(summary));
    if (!summary.closed.empty()) text = Shown(summary.closed) + QLatin1Char('\n') + text;
    summary_->setText(text);
    if (!closeWhenEnded_) return;
    // The table goes with the dialog: a radio left half-written is named, with its backup, first.
    QStringList failed;
    for (const RadioReport& report : summary.radios)
        if (report.verdict == RadioVerdict::Failed) failed << ShownLines(RadioReportText(report, kRestoreHint));
    if (!failed.isEmpty())
        Prompts().Message(this, QString::fromLatin1(kTitle),
                          QStringLiteral("Every port has stopped. These radios were not programmed whole:\n\n") +
                              failed.join(QStringLiteral("\n\n")),
                          PromptIcon::Warning);
    QDialog::reject();
}

void FleetProgrammingDlg::SetRunning(bool running) {
    start_->setEnabled(!running);
    stop_->setEnabled(running);
    template_->setEnabled(!running);
    roster_->setEnabled(!running);
    templateBrowse_->setEnabled(!running);
    rosterBrowse_->setEnabled(!running);
    ports_->setEnabled(!running);
    once_->setEnabled(!running);
    assign_->setEnabled(!running);
    allowReuse_->setEnabled(!running);
}

void FleetProgrammingDlg::reject() {
    if (!Running()) return QDialog::reject();
    if (closeWhenEnded_) return;
    const QString question = QStringLiteral("The radios are being programmed. Stop every port and close?");
    if (!Prompts().AskYesNo(this, QString::fromLatin1(kTitle), question)) return;
    if (!Running()) return QDialog::reject();  // the run ended while the question waited
    closeWhenEnded_ = true;
    OnStop();
}

}  // namespace orven::ui
