// Asked before a write or restore changes the radio's identities: many radios take their own MMSI
// only once. It shows the core's question: every change, what the radio holds and what it will
// hold, each decoded; OK opens only once each new value has been typed again and each removal or
// model change ticked.
#pragma once

#include "clone/CloneWords.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace orven::ui {

class IdentityConfirmDlg : public QDialog {
    Q_OBJECT
public:
    IdentityConfirmDlg(const IdentityChanges& changes, QWidget* parent = nullptr);

private:
    // What answers one row: the edit in which the value is typed again, or the box to tick.
    struct Answer {
        QLineEdit* again = nullptr;
        QCheckBox* accept = nullptr;
    };
    // A row of the comparison and, below it, what answers it.
    Answer AddRow(const IdentityQuestionRow& row);
    QLineEdit* AddAgainEdit(const IdentityQuestionRow& row, int gridRow);
    // OK only while the answers answer the question.
    void UpdateOk();

    IdentityQuestion question_;
    std::vector<Answer> answers_;
    QPushButton* ok_ = nullptr;
    QGridLayout* grid_ = nullptr;
};

}  // namespace orven::ui
