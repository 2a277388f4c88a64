#include "ui/ChannelListPanel.h"

#include "model/ChannelList.h"
#include "ui/CChannelSetupDlg.h"
#include "ui/LayoutParts.h"
#include "ui/DialogButtons.h"
#include "ui/ResourceIds.h"
#include "ui/UserPrompts.h"
#include "ui/WidgetIds.h"

#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <vector>

namespace orven::ui {

namespace {

// Private records from this many on cannot be added: the Private block is full.
constexpr int kAddLimit = static_cast<int>(kMaxPrivateChannels);
// editIndex of a new channel is its insert position plus this.
constexpr int kNewChannelIndexBase = static_cast<int>(kPrivateFirstSlot);
constexpr int kPrivateBand = static_cast<int>(ChannelBand::Private);
// The longest channel list line, in characters: number or label, both frequencies, usage name.
constexpr int kListLineChars = 46;

// Puts `added` directly after private record `row` of a run of `count` records (at the end
// when row is the last one, at record 0 of an empty run).
void InsertPrivate(RadioSettings& s, int count, int row, const ChannelRecord& added) {
    if (count == 0) {
        PrivateChannel(s, 0) = added;
        return;
    }
    for (int i = count - 1; i > row; --i) PrivateChannel(s, i + 1) = PrivateChannel(s, i);
    PrivateChannel(s, row + 1) = added;
}

// Closes the gap of record `row` in a run of `count` records; the vacated last record keeps
// its fields but is no longer in use.
void RemovePrivate(RadioSettings& s, int count, int row) {
    for (int i = row + 1; i < count; ++i) PrivateChannel(s, i - 1) = PrivateChannel(s, i);
    PrivateChannel(s, count - 1).inUse = 0;
}

// A fixed-pitch font one step smaller than the usual one, so a whole line fits the list.
QFont ListFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(std::max(8.0, font.pointSizeF() - 1.0));
    return font;
}

QStringList EveryBandName() {
    std::array<bool, kBandCount> all{};
    all.fill(true);
    QStringList names;
    for (const std::string& name : BandComboEntries(all)) names << QString::fromStdString(name);
    return names;
}

}  // namespace

ChannelListPanel::ChannelListPanel(AppState& state, RadioSettings& settings, QWidget* parent)
    : QGroupBox(QStringLiteral("Channel List"), parent), state_(state), settings_(settings) {
    auto* column = Tight(new QVBoxLayout(this));

    auto* bandRow = new QHBoxLayout;
    bandCombo_ = SteadyDropDown(ids::main::kBandCombo, EveryBandName(), this);
    auto* bandLabel = new QLabel(QStringLiteral("Band"), this);
    bandLabel->setBuddy(bandCombo_);
    bandCombo_->setAccessibleName(bandLabel->text());
    bandRow->addWidget(bandLabel);
    bandRow->addWidget(bandCombo_);
    bandRow->addStretch(1);
    column->addLayout(bandRow);

    list_ = WithId(new QListWidget(this), ids::main::kChannelList);
    list_->setAccessibleName(title());
    // The lines are laid out in columns of characters.
    list_->setFont(ListFont());
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    const int scrollBar = list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    list_->setMinimumWidth(QFontMetrics(list_->font()).horizontalAdvance(QString(kListLineChars, QLatin1Char('0'))) +
                           scrollBar + 4 * list_->frameWidth() + 8);
    column->addWidget(list_, 1);

    auto* buttons = new QHBoxLayout;
    QPushButton* edit = MakeButton("Edit", ids::main::kEditButton, this);
    QPushButton* add = MakeButton("Add", ids::main::kAddButton, this);
    QPushButton* remove = MakeButton("Remove", ids::main::kRemoveButton, this);
    for (QPushButton* button : {edit, add, remove}) buttons->addWidget(button);
    column->addLayout(buttons);

    connect(bandCombo_, &QComboBox::currentIndexChanged, this, [this] { FillChannelList(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, &ChannelListPanel::OnDoubleClicked);
    connect(edit, &QPushButton::clicked, this, &ChannelListPanel::OnEdit);
    connect(add, &QPushButton::clicked, this, &ChannelListPanel::OnAdd);
    connect(remove, &QPushButton::clicked, this, &ChannelListPanel::OnRemove);
}

// ---------------------------------------------------------------------------------------------
// Band combo and list

void ChannelListPanel::FillBandCombo(const std::array<bool, kBandCount>& ticked) {
    ticked_ = ticked;
    const QSignalBlocker quiet(bandCombo_);
    bandCombo_->clear();
    for (const std::string& entry : BandComboEntries(ticked_)) bandCombo_->addItem(QString::fromStdString(entry));
    bandCombo_->setCurrentIndex(0);
}

ChannelBand ChannelListPanel::SelectedBand() const { return BandOfName(bandCombo_->currentText().toStdString()); }

int ChannelListPanel::BandEntry() const { return bandCombo_->currentIndex(); }

int ChannelListPanel::FillChannelList() {
    list_->clear();
    const ChannelBand band = SelectedBand();
    state_.editBand = static_cast<int>(band);
    if (!ticked_[static_cast<int>(band)]) return band == ChannelBand::Private ? 0 : -1;
    const std::vector<std::string> lines =
        band == ChannelBand::Private ? PrivateListLines(settings_) : BuiltInListLines(band);
    for (const std::string& line : lines) list_->addItem(QString::fromLatin1(line.c_str()));
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Editing private channels

void ChannelListPanel::ShowRefusal(const char* text) {
    Prompts().Message(window(), QStringLiteral("Error"), QString::fromLatin1(text), PromptIcon::None);
}

bool ChannelListPanel::RefuseUnlessPrivate() {
    if (SelectedBand() == ChannelBand::Private) return false;
    ShowRefusal("Only Private Channel Can be Modified!");
    return true;
}

int ChannelListPanel::SelectedRow() const {
    const QModelIndexList rows = list_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ChannelListPanel::ChannelChanged() {
    emit Modified();
    FillChannelList();
}

void ChannelListPanel::EditRow(int row) {
    state_.editIndex = row;
    state_.editBand = kPrivateBand;
    CChannelSetupDlg setup(state_, settings_, false, window());
    if (Prompts().RunDialog(setup) == QDialog::Accepted) ChannelChanged();
}

void ChannelListPanel::OnEdit() {
    if (RefuseUnlessPrivate()) return;
    const int row = SelectedRow();
    if (row < 0 || row >= kAddLimit) {
        ShowRefusal("Please Select a Channel First!");
        return;
    }
    EditRow(row);
}

void ChannelListPanel::OnDoubleClicked() {
    if (RefuseUnlessPrivate()) return;
    if (state_.uiReadOnly) {
        ShowRefusal("UI Read Only!");
        return;
    }
    const int row = SelectedRow();
    if (row >= 0 && row < kAddLimit) EditRow(row);
}

void ChannelListPanel::OnAdd() {
    if (RefuseUnlessPrivate()) return;
    const int count = list_->count();
    if (count >= kAddLimit) {
        ShowRefusal("Channel Number Limit!");
        return;
    }
    int row = SelectedRow();
    if (row < 0 || row >= count) row = count - 1;
    state_.editIndex = row + kNewChannelIndexBase;
    state_.editBand = kPrivateBand;
    CChannelSetupDlg setup(state_, settings_, true, window());
    if (Prompts().RunDialog(setup) != QDialog::Accepted) return;
    InsertPrivate(settings_, count, row, setup.OwnRecord());
    ChannelChanged();
}

void ChannelListPanel::OnRemove() {
    if (RefuseUnlessPrivate()) return;
    const int count = list_->count();
    if (count == 0) {
        ShowRefusal("NO Channel!");
        return;
    }
    const int row = SelectedRow();
    if (row < 0) {
        ShowRefusal("Please Select a Channel!");
        return;
    }
    RemovePrivate(settings_, count, row);
    ChannelChanged();
}

}  // namespace orven::ui
