// The channel list of the main window: which band it shows, and editing, adding and removing
// private channels. Only the Private band is held in the settings; the other bands are the
// radio's own tables and cannot be changed.
#include "ui/CCloneMainDlg.h"

#include "model/ChannelList.h"
#include "ui/CChannelSetupDlg.h"
#include "ui/UserPrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>

#include <vector>

namespace orven::ui {

namespace {

// Private records from this many on cannot be added: the Private block is full.
constexpr int kAddLimit = static_cast<int>(kMaxPrivateChannels);
// editIndex of a new channel is its insert position plus this.
constexpr int kNewChannelIndexBase = static_cast<int>(kPrivateFirstSlot);
constexpr int kPrivateBand = static_cast<int>(ChannelBand::Private);

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

QString Line(const std::string& line) { return QString::fromLatin1(line.c_str()); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Band combo and list

std::array<bool, kBandCount> CCloneMainDlg::TickedBands() const {
    std::array<bool, kBandCount> ticked{};
    for (int band = 0; band < kBandCount; ++band) ticked[band] = bandBoxes_[band]->isChecked();
    return ticked;
}

void CCloneMainDlg::FillBandCombo() {
    const QSignalBlocker quiet(bandCombo_);
    bandCombo_->clear();
    for (const std::string& entry : BandComboEntries(TickedBands()))
        bandCombo_->addItem(QString::fromStdString(entry));
    bandCombo_->setCurrentIndex(0);
}

ChannelBand CCloneMainDlg::SelectedBand() const {
    return BandOfName(bandCombo_->currentText().toStdString());
}

int CCloneMainDlg::FillChannelList() {
    channelList_->clear();
    const ChannelBand band = SelectedBand();
    state_.editBand = static_cast<int>(band);
    if (!BandBox(band)->isChecked()) return band == ChannelBand::Private ? 0 : -1;
    const std::vector<std::string> lines = band == ChannelBand::Private
                                               ? PrivateListLines(settings_)
                                               : BuiltInListLines(band);
    for (const std::string& line : lines) channelList_->addItem(Line(line));
    return 0;
}

void CCloneMainDlg::OnModelClicked() {
    MarkModified();
    const bool usa = modelUsa_->isChecked();
    BandBox(ChannelBand::WX)->setChecked(usa);
    BandBox(ChannelBand::Private)->setChecked(!usa);
    OnBandBoxClicked();
}

void CCloneMainDlg::OnBandBoxClicked() {
    MarkModified();
    FillBandCombo();
    FillChannelList();
}

// ---------------------------------------------------------------------------------------------
// Editing private channels

void CCloneMainDlg::ShowRefusal(const char* text) {
    Prompts().Message(this, QStringLiteral("Error"), QString::fromLatin1(text), PromptIcon::None);
}

bool CCloneMainDlg::RefuseUnlessPrivate() {
    if (SelectedBand() == ChannelBand::Private) return false;
    ShowRefusal("Only Private Channel Can be Modified!");
    return true;
}

int CCloneMainDlg::SelectedRow() const {
    const QModelIndexList rows = channelList_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CCloneMainDlg::EditRow(int row) {
    state_.editIndex = row;
    state_.editBand = kPrivateBand;
    CChannelSetupDlg setup(state_, settings_, false, this);
    if (Prompts().RunDialog(setup) != QDialog::Accepted) return;
    MarkModified();
    FillChannelList();
}

void CCloneMainDlg::OnEditChannel() {
    if (RefuseUnlessPrivate()) return;
    const int row = SelectedRow();
    if (row < 0 || row >= kAddLimit) {
        ShowRefusal("Please Select a Channel First!");
        return;
    }
    EditRow(row);
}

void CCloneMainDlg::OnChannelDoubleClicked() {
    if (RefuseUnlessPrivate()) return;
    if (state_.uiReadOnly) {
        ShowRefusal("UI Read Only!");
        return;
    }
    const int row = SelectedRow();
    if (row >= 0 && row < kAddLimit) EditRow(row);
}

void CCloneMainDlg::OnAddChannel() {
    if (RefuseUnlessPrivate()) return;
    const int count = channelList_->count();
    if (count >= kAddLimit) {
        ShowRefusal("Channel Number Limit!");
        return;
    }
    int row = SelectedRow();
    if (row < 0 || row >= count) row = count - 1;
    state_.editIndex = row + kNewChannelIndexBase;
    state_.editBand = kPrivateBand;
    CChannelSetupDlg setup(state_, settings_, true, this);
    if (Prompts().RunDialog(setup) != QDialog::Accepted) return;
    InsertPrivate(settings_, count, row, setup.OwnRecord());
    MarkModified();
    FillChannelList();
}

void CCloneMainDlg::OnRemoveChannel() {
    if (RefuseUnlessPrivate()) return;
    const int count = channelList_->count();
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
    MarkModified();
    FillChannelList();
}

}  // namespace orven::ui
