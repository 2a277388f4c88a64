#include "ui/CUserDlg.h"

#include "ui/DialogButtons.h"
#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

#include <cstdint>

namespace orven::ui {

namespace {

// Newest first; an entry of one blank separates the releases.
constexpr const char* kVersionNotes[] = {
    "V1.15  2024-11-04",
    "- Channel Setup checks the Tx frequency as soon as the field is left.",
    "- Model Wizard previews the private channels of the chosen country.",
    "- Feature Setup for the brand and model names.",
    " ",
    "V1.14  2024-06-17",
    "- Clone over USB without the serial adaptor.",
    "- The USB radio is detected while the program runs.",
    " ",
    "V1.12  2024-01-22",
    "- Verify compares the radio with the settings and writes Verify.txt.",
    "- Export Freq Table writes FreqTabl.txt.",
    "- HandShake checks that a radio answers.",
    " ",
    "V1.10  2023-09-08",
    "- Settings checksum shown under View.",
    "- Europe: Private band and the country presets.",
    " ",
    "V1.00  2023-05-15",
    "- First release: Read, Write and settings files over the serial adaptor.",
};

constexpr int kNotesVisibleRows = 10;

QCheckBox* OptionBox(QWidget* parent, const char* text, int id, bool on) {
    auto* box = WithId(new QCheckBox(QString::fromLatin1(text), parent), id);
    box->setChecked(on);
    return box;
}

std::uint32_t Flag(const QCheckBox* box) { return box->isChecked() ? 1 : 0; }

}  // namespace

int& FirstCloneFlag() {
    static int firstClone = 0;
    return firstClone;
}

CUserDlg::CUserDlg(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    WithId(this, ids::kUserDialog);
    setModal(true);
    setWindowTitle(QStringLiteral("User Dialog"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeOptionsGroup());
    layout->addWidget(MakeNotesGroup(), 1);
    layout->addLayout(MakeButtonRow(*this, ButtonRow::OkCancel));
}

QWidget* CUserDlg::MakeOptionsGroup() {
    auto* group = new QGroupBox(QStringLiteral("Options"), this);
    firstClone_ = OptionBox(group, "First Clone.", ids::user::kFirstClone, FirstCloneFlag() != 0);
    traceLog_ = OptionBox(group, "Create logo file.", ids::user::kTraceLog, state_.traceLog != 0);
    dumpImages_ = OptionBox(group, "Create ROM map file.", ids::user::kDumpImages, state_.dumpImages != 0);
    uiReadOnly_ = OptionBox(group, "UI Read Only.", ids::user::kUiReadOnly, state_.uiReadOnly != 0);
    auto* layout = new QVBoxLayout(group);
    for (QCheckBox* box : {firstClone_, traceLog_, dumpImages_, uiReadOnly_}) layout->addWidget(box);
    return group;
}

QWidget* CUserDlg::MakeNotesGroup() {
    auto* group = new QGroupBox(QStringLiteral("Version Notes"), this);
    auto* notes = WithId(new QListWidget(group), ids::user::kVersionNotes);
    notes->setAccessibleName(group->title());
    notes->setSelectionMode(QAbstractItemView::NoSelection);
    for (const char* line : kVersionNotes) notes->addItem(QString::fromLatin1(line));
    const QFontMetrics metrics(notes->font());
    notes->setMinimumHeight(metrics.lineSpacing() * kNotesVisibleRows);
    notes->setMinimumWidth(notes->sizeHintForColumn(0) + metrics.averageCharWidth() * 4);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(notes);
    return group;
}

void CUserDlg::accept() {
    state_.traceLog = Flag(traceLog_);
    state_.dumpImages = Flag(dumpImages_);
    state_.uiReadOnly = Flag(uiReadOnly_);
    FirstCloneFlag() = static_cast<int>(Flag(firstClone_));
    QDialog::accept();
}

}  // namespace orven::ui
