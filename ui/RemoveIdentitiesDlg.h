// Clone > Write and Remove Identities...: which of the radio's identities a write removes,
// whatever the document says (a radio being sold). OK opens once one is ticked; the write then
// asks about each removal as it asks about any change of an identity.
#pragma once

#include "clone/IdentityPolicy.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QPushButton;

namespace orven::ui {

class RemoveIdentitiesDlg : public QDialog {
    Q_OBJECT
public:
    explicit RemoveIdentitiesDlg(QWidget* parent = nullptr);
    // The identities ticked.
    IdentitySet Chosen() const;

private:
    void UpdateOk();

    std::vector<std::pair<IdentityKind, QCheckBox*>> boxes_;
    QPushButton* ok_ = nullptr;
};

}  // namespace orven::ui
