// The hidden service dialog (Ctrl held while choosing Help > About): clone options for this run
// of the program and the program's version notes.
#pragma once

#include "model/AppState.h"

#include <QDialog>

class QCheckBox;

namespace orven::ui {

// The process-wide "first clone" option; it lives for one run and nothing else reads it.
int& FirstCloneFlag();

class CUserDlg : public QDialog {
    Q_OBJECT

public:
    // Shows and, on OK, sets state.traceLog, state.dumpImages, state.uiReadOnly and FirstCloneFlag().
    explicit CUserDlg(AppState& state, QWidget* parent = nullptr);

    void accept() override;

private:
    QWidget* MakeOptionsGroup();
    QWidget* MakeNotesGroup();

    AppState& state_;
    QCheckBox* firstClone_ = nullptr;
    QCheckBox* traceLog_ = nullptr;
    QCheckBox* dumpImages_ = nullptr;
    QCheckBox* uiReadOnly_ = nullptr;
};

}  // namespace orven::ui
