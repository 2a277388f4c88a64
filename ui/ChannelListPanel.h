// The "Channel List" group of the main window: the band combo, the channels of the chosen band,
// and Edit, Add and Remove (or a double-click) for private channels. Only the Private band is held
// in the settings; the other bands are the radio's own tables and cannot be changed.
#pragma once

#include "model/AppState.h"
#include "model/ChannelBand.h"
#include "model/PrivateChannelEdits.h"
#include "model/RadioSettings.h"

#include <QGroupBox>

#include <array>

class QComboBox;
class QListWidget;
class QPushButton;

namespace orven::ui {

class ChannelListPanel : public QGroupBox {
    Q_OBJECT
public:
    // Edits the private channels of `settings` in place; both references outlive the panel.
    ChannelListPanel(AppState& state, RadioSettings& settings, QWidget* parent);

    // The band combo's entries for the ticked band boxes (indexed by ChannelBand), the first one
    // selected. The list shows a band only while its box is ticked.
    void FillBandCombo(const std::array<bool, kBandCount>& ticked);
    // The channel list for the selected band; -1 (and an empty list) when a built-in band is
    // selected whose box is off, else 0.
    int FillChannelList();
    // The band the band combo's current text names.
    ChannelBand SelectedBand() const;
    // The band combo's current entry, as the state remembers it.
    int BandEntry() const;

signals:
    // A private channel was edited, added or removed.
    void Modified();

private:
    // Shows the refusal of a list button; true when there was one.
    bool Refused(const ListAction& action);
    int SelectedRow() const;
    void EditRow(int row);
    void ChannelChanged();
    void OnEdit();
    void OnAdd();
    void OnRemove();
    void OnDoubleClicked();

    AppState& state_;
    RadioSettings& settings_;
    std::array<bool, kBandCount> ticked_{};
    QComboBox* bandCombo_ = nullptr;
    QListWidget* list_ = nullptr;
};

}  // namespace orven::ui
