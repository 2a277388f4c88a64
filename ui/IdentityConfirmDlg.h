// Asked before a write or restore puts an MMSI or ATIS into a radio that did not hold it: many
// radios take their own MMSI only once. It shows what the radio holds and what would replace it,
// each decoded, and OK opens only once the user has typed each new number again.
#pragma once

#include "clone/CloneRunner.h"

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
    QLineEdit* AddIdentity(const char* name, const QString& held, const QString& now, int againId);
    // OK only while every number typed again is the one to be written.
    void UpdateOk();

    IdentityChange change_;
    QLineEdit* mmsiAgain_ = nullptr;
    QLineEdit* atisAgain_ = nullptr;
    QPushButton* ok_ = nullptr;
    QGridLayout* grid_ = nullptr;
};

}  // namespace orven::ui
