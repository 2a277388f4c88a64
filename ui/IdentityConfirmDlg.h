// Asked before a write or restore puts an MMSI or ATIS into a radio that did not hold it: many
// radios take their own MMSI only once. It shows what the radio holds and what would replace it,
// each decoded, and OK opens only once the user has typed each new number again.
#pragma once

#include "clone/CloneRunner.h"
#include "clone/CloneWords.h"

#include <vector>

#include <QDialog>

class QGridLayout;
class QLineEdit;
class QPushButton;

namespace orven::ui {

class IdentityConfirmDlg : public QDialog {
    Q_OBJECT
public:
    IdentityConfirmDlg(const IdentityChange& change, QWidget* parent = nullptr);

private:
    // A row of the comparison and, below it, the edit in which the new number is typed again.
    QLineEdit* AddIdentity(const IdentityQuestionRow& row);
    // OK only while every number typed again is the one to be written.
    void UpdateOk();

    IdentityQuestion question_;
    std::vector<QLineEdit*> again_;
    QPushButton* ok_ = nullptr;
    QGridLayout* grid_ = nullptr;
};

}  // namespace orven::ui
