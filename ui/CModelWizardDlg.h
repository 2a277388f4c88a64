// The model wizard: builds the default settings of a model type into a buffer and, for the
// European types, the private channels of a chosen country. The caller takes the buffer over
// only after OK.
#pragma once

#include "model/AppState.h"
#include "model/RadioSettings.h"

#include <QDialog>

class QComboBox;
class QListWidget;
class QRadioButton;

namespace orven::ui {

class CModelWizardDlg : public QDialog {
    Q_OBJECT

public:
    // Reads and writes state.modelType and state.countryIndex; fills buffer.
    CModelWizardDlg(AppState& state, RadioSettings& buffer, QWidget* parent = nullptr);

    // Stores the chosen model (and country) and builds the buffer's settings, then closes.
    void accept() override;

private:
    QWidget* MakeModelGroup();
    QWidget* MakeCountryGroup();
    void SelectModel(int modelType);
    int SelectedModel() const;
    void EnableCountryParts();
    void ShowCountryPresets();

    AppState& state_;
    RadioSettings& buffer_;
    QRadioButton* usa_ = nullptr;
    QRadioButton* eurInt_ = nullptr;
    QRadioButton* eurIntUsa_ = nullptr;
    QComboBox* country_ = nullptr;
    QListWidget* preview_ = nullptr;
};

}  // namespace orven::ui
