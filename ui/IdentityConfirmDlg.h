// Asked before a write or restore changes the radio's identities: many radios take their own MMSI
// only once. It lists every change, what the radio holds and what it will hold, each decoded; OK
// opens only once each new value has been typed again and each removal or model change ticked.
#pragma once

#include "clone/IdentityPolicy.h"

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
    // What confirms one change: the value typed again, or a ticked box.
    struct Confirmation {
        IdentityKind kind = IdentityKind::Mmsi;
        std::string next;
        QLineEdit* again = nullptr;
        QCheckBox* accept = nullptr;
    };
    // A row of the comparison and, below it, what confirms the change.
    void AddChange(const IdentityChange& change);
    QLineEdit* AddAgainEdit(const IdentityChange& change, int row);
    // OK only while every change is confirmed.
    void UpdateOk();

    std::vector<Confirmation> confirmations_;
    QPushButton* ok_ = nullptr;
    QGridLayout* grid_ = nullptr;
};

}  // namespace orven::ui
