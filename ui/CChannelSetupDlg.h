// Edits one private channel: its two name characters, its usage, its TX frequency and its mode
// (simplex, or duplex with RX 4.6 MHz above or below TX). RX is never typed; it follows from TX
// and the mode.
//
// For an existing channel (newChannel false) the dialog edits the record of the settings'
// channel store picked by state.editBand and state.editIndex, in place and only on OK. For a new
// channel it edits a record of its own, which the caller copies into the list after OK.
#pragma once

#include "model/AppState.h"
#include "model/ChannelRecord.h"
#include "model/PrivateChannelEdits.h"
#include "model/RadioSettings.h"

#include <QDialog>

#include <optional>
#include <string>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace orven::ui {

class CChannelSetupDlg : public QDialog {
    Q_OBJECT

public:
    CChannelSetupDlg(AppState& state, RadioSettings& settings, bool newChannel, QWidget* parent = nullptr);

    // The new channel after OK (name, usage, frequencies, in use).
    const ChannelRecord& OwnRecord() const { return own_; }

    // Refuses an invalid TX frequency, or one whose RX in the chosen mode lies outside the radio's
    // range, with a message and stays open; otherwise stores the controls into the picked record
    // and closes.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* MakeNameGroup();
    QWidget* MakeUsageGroup();
    QWidget* MakeFrequencyGroup();
    QWidget* MakeModeGroup();
    ChannelRecord* PickedRecord();
    void ShowRecord(const ChannelRecord& record);
    // The controls as the core's form.
    ChannelForm Form() const;
    ChannelMode SelectedMode() const;
    // Shows a refusal, the TX field's leaving kept from warning again meanwhile; false when there was one.
    bool Passes(const std::optional<std::string>& refusal);
    void TxLeft();
    void ModeClicked();

    AppState& state_;
    RadioSettings& settings_;
    const bool newChannel_;
    ChannelRecord own_ = NewChannelRecord();
    bool warning_ = false;  // a TX warning is on screen

    QComboBox* nameFirst_ = nullptr;
    QComboBox* nameSecond_ = nullptr;
    QComboBox* usage_ = nullptr;
    QLineEdit* tx_ = nullptr;
    QLineEdit* rx_ = nullptr;
    QRadioButton* duplexPlus_ = nullptr;
    QRadioButton* simplex_ = nullptr;
    QRadioButton* duplexMinus_ = nullptr;
};

}  // namespace orven::ui
