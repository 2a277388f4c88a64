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

// editIndex of a new channel is its insert position plus this.
constexpr int kNewChannelIndexBase = static_cast<int>(kPrivateFirstSlot);
constexpr int kPrivateBand = static_cast<int>(ChannelBand::Private);
// The longest channel list line, in characters: number or label, both frequencies, usage name.
constexpr int kListLineChars = 46;

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

bool ChannelListPanel::Refused(const ListAction& action) {
    if (!action.refusal) return false;
    Prompts().Message(window(), QStringLiteral("Error"), QString::fromStdString(*action.refusal), PromptIcon::None);
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
    const ListAction action = EditAction(SelectedBand(), SelectedRow());
    if (!Refused(action)) EditRow(action.row);
}

void ChannelListPanel::OnDoubleClicked() {
    const ListAction action = DoubleClickAction(SelectedBand(), SelectedRow(), state_.uiReadOnly != 0);
    if (!Refused(action) && action.row >= 0) EditRow(action.row);
}

void ChannelListPanel::OnAdd() {
    const int count = list_->count();
    const ListAction action = AddAction(SelectedBand(), SelectedRow(), count);
    if (Refused(action)) return;
    state_.editIndex = action.row + kNewChannelIndexBase;
    state_.editBand = kPrivateBand;
    CChannelSetupDlg setup(state_, settings_, true, window());
    if (Prompts().RunDialog(setup) != QDialog::Accepted) return;
    InsertPrivate(settings_, count, action.row, setup.OwnRecord());
    ChannelChanged();
}

void ChannelListPanel::OnRemove() {
    const int count = list_->count();
    const ListAction action = RemoveAction(SelectedBand(), SelectedRow(), count);
    if (Refused(action)) return;
    RemovePrivate(settings_, count, action.row);
    ChannelChanged();
}

}  // namespace orven::ui
