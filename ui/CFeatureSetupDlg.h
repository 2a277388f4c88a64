// Edits the radio's brand and model names. With a read-only user interface for this run the
// names are shown but cannot be changed.
#pragma once

#include "model/AppState.h"
#include "model/RadioSettings.h"

#include <QDialog>

class QLineEdit;

namespace orven::ui {

class CFeatureSetupDlg : public QDialog {
    Q_OBJECT

public:
    CFeatureSetupDlg(AppState& state, RadioSettings& settings, QWidget* parent = nullptr);

    // Stores both names (what the edits show) into the settings and closes.
    void accept() override;

private:
    QWidget* MakeNamesGroup();
    QWidget* MakeFeatureGroup();

    AppState& state_;
    RadioSettings& settings_;
    QLineEdit* brand_ = nullptr;
    QLineEdit* model_ = nullptr;
};

}  // namespace orven::ui
