#include "ui/RadioArchiveDlg.h"

#include "clone/CloneWords.h"
#include "files/AtomicFile.h"
#include "files/ProgrammingRegister.h"
#include "model/LineFormat.h"
#include "ui/DialogButtons.h"
#include "ui/ResourceIds.h"
#include "ui/UserPrompts.h"
#include "ui/WidgetIds.h"

#include <QBrush>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orven::ui {

namespace {

constexpr int kListColumns = 5;  // radio serial, time, operation, MMSI, damage
constexpr int kListWidthChars = 70;
constexpr int kListRows = 12;

// A text of the archive as shown: "-" for none; bytes from a radio or a file made printable.
QString Shown(const std::string& text) {
    return text.empty() ? QStringLiteral("-") : QString::fromStdString(PrintableText(text));
}

}  // namespace

RadioArchiveDlg::RadioArchiveDlg(const RadioArchive& archive, const QString& portName, QWidget* parent)
    : QDialog(parent), archive_(archive), portName_(portName), entries_(archive.List()) {
    WithId(this, ids::kRadioArchiveDialog);
    setModal(true);
    setWindowTitle(QStringLiteral("Radio Archive"));
    auto* layout = new QVBoxLayout(this);
    auto* folder = new QLabel(QStringLiteral("Folder: ") + QString::fromStdString(archive.Folder()), this);
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(folder);

    list_ = WithId(new QTreeWidget(this), ids::archive::kEntryList);
    list_->setAccessibleName(windowTitle());
    list_->setColumnCount(kListColumns);
    list_->setHeaderLabels({QStringLiteral("Radio serial"), QStringLiteral("Time"), QStringLiteral("Operation"),
                            QStringLiteral("MMSI"), QStringLiteral("Damaged")});
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setMinimumSize(fontMetrics().averageCharWidth() * kListWidthChars, fontMetrics().lineSpacing() * kListRows);
    layout->addWidget(list_, 1);

    // Two lines whatever it says, so the buttons stay put.
    note_ = WithId(new QLabel(this), ids::archive::kEntryNote);
    note_->setWordWrap(true);
    note_->setFixedHeight(fontMetrics().lineSpacing() * 2);
    layout->addWidget(note_);

    open_ = MakeButton("Open", ids::archive::kOpen, this);
    restore_ = MakeButton("Restore...", ids::archive::kRestore, this);
    register_ = MakeButton("Save Register...", ids::archive::kSaveRegister, this);
    register_->setToolTip(QStringLiteral("The programmed radios as CSV: each serial number with the identities its "
                                         "last write gave it, when, the result and the backup"));
    auto* close = MakeButton("Close", ids::kCancel, this);
    layout->addLayout(MakeActionRow({open_, restore_, register_}, close));

    connect(list_, &QTreeWidget::currentItemChanged, this, &RadioArchiveDlg::SelectionChanged);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (open_->isEnabled()) OnOpen();
    });
    connect(open_, &QPushButton::clicked, this, &RadioArchiveDlg::OnOpen);
    connect(restore_, &QPushButton::clicked, this, &RadioArchiveDlg::OnRestore);
    connect(register_, &QPushButton::clicked, this, &RadioArchiveDlg::OnSaveRegister);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    FillList();
}

void RadioArchiveDlg::FillList() {
    for (const ArchiveEntry& entry : entries_) {
        const ArchiveRecord& r = entry.record;
        const QString damage = entry.Damaged() ? QString::fromStdString(entry.damage) : QString();
        auto* item = new QTreeWidgetItem(list_, {Shown(r.serial), Shown(r.time), Shown(r.operation), Shown(r.mmsi), damage});
        item->setToolTip(0, Shown(entry.id));
        if (entry.Damaged())
            for (int column = 0; column < kListColumns; ++column) item->setForeground(column, QBrush(Qt::darkRed));
    }
    for (int column = 0; column < kListColumns; ++column) list_->resizeColumnToContents(column);
    if (entries_.empty()) {
        note_->setText(QString::fromLatin1(kArchiveEmptyText));
        open_->setEnabled(false);
        restore_->setEnabled(false);
        return;
    }
    list_->setCurrentItem(list_->topLevelItem(list_->topLevelItemCount() - 1));
    list_->scrollToItem(list_->currentItem());
}

std::optional<ArchiveEntry> RadioArchiveDlg::Chosen() const {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0 || row >= static_cast<int>(entries_.size())) return std::nullopt;
    return entries_[static_cast<std::size_t>(row)];
}

void RadioArchiveDlg::SelectionChanged() {
    const std::optional<ArchiveEntry> entry = Chosen();
    const bool settings = entry && !SettingsFileOf(*entry).empty();
    open_->setEnabled(settings);
    // A damaged entry's bytes are never written into a radio; what can be read of it stays at hand.
    restore_->setEnabled(entry && !entry->Damaged());
    note_->setText(entry ? QString::fromStdString(EntryNote(*entry)) : QString());
}

void RadioArchiveDlg::OnOpen() { done(kOpenChosen); }

void RadioArchiveDlg::OnRestore() {
    const std::optional<ArchiveEntry> entry = Chosen();
    if (!entry) return;
    const std::string question =
        RestoreQuestion(entry->id, entry->record.serial, entry->record.time, portName_.toStdString());
    if (Prompts().AskYesNo(this, QString::fromLatin1(kRestoreTitle), QString::fromStdString(question))) done(kRestoreChosen);
}

// The register is drawn from the archive's log, so it never goes into the archive: saved over the
// log it would erase the very record it lists.
void RadioArchiveDlg::OnSaveRegister() {
    const QString title = QStringLiteral("Save Register");
    const QString path = Prompts().SaveFileName(this, title, QString(), FileKind::Spreadsheet);
    if (path.isEmpty()) return;
    const std::string target = path.toLocal8Bit().toStdString();
    if (const std::optional<std::string> refusal = ArchiveOutputRefusal(target))
        return Prompts().Message(this, title, QString::fromStdString(*refusal) + QLatin1Char('.'), PromptIcon::Warning);
    const LogRead log = archive_.ReadLog();
    const std::vector<RegisterRow> rows = RegisterNow(log);
    if (!WriteFileAtomically(target, std::string_view(RegisterCsv(rows))))
        return Prompts().Message(this, title,
                                 QStringLiteral("Can't Create file:\n%1\n(%2)")
                                     .arg(path, QString::fromStdString(SaveObstacle(target))),
                                 PromptIcon::Warning);
    QString saved = QStringLiteral("The register of %1 radio(s) was saved to %2.").arg(rows.size()).arg(path);
    // A write the log lost a line of is missing from the register: a dealer must not hand it on unawares.
    if (log.damaged > 0) saved += QStringLiteral(" %1%2.").arg(log.damaged).arg(QString::fromLatin1(kDamagedLogLinesText));
    note_->setText(saved);
}

}  // namespace orven::ui
