#include "ui/RemoveIdentitiesDlg.h"

#include "clone/CloneWords.h"
#include "ui/DialogButtons.h"
#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orven::ui {

namespace {
constexpr int kMinimumWidth = 380;  // the introduction in three lines, not six
}  // namespace

RemoveIdentitiesDlg::RemoveIdentitiesDlg(QWidget* parent) : QDialog(parent) {
    WithId(this, ids::kRemoveIdentitiesDialog);
    setModal(true);
    setWindowTitle(QStringLiteral("Write and Remove Identities"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("Write the document into the radio and remove from the radio the "
                                            "identities ticked below, whatever the document says. Each removal is "
                                            "asked about once more before anything is written."),
                             this);
    intro->setWordWrap(true);
    setMinimumWidth(kMinimumWidth);
    layout->addWidget(intro);
    for (const IdentityKind kind : kRadioIdentities) {
        auto* box =
            WithId(new QCheckBox(QString::fromStdString(IdentityLabel(kind)), this), ids::remove::kIdentityFirst + static_cast<int>(kind));
        connect(box, &QCheckBox::toggled, this, &RemoveIdentitiesDlg::UpdateOk);
        layout->addWidget(box);
        boxes_.emplace_back(kind, box);
    }
    layout->addLayout(MakeButtonRow(*this, ButtonRow::OkCancel));
    ok_ = FindById<QPushButton>(this, ids::kOk);
    UpdateOk();
}

IdentitySet RemoveIdentitiesDlg::Chosen() const {
    IdentitySet chosen;
    for (const auto& [kind, box] : boxes_)
        if (box->isChecked()) chosen.insert(kind);
    return chosen;
}

void RemoveIdentitiesDlg::UpdateOk() { ok_->setEnabled(!Chosen().empty()); }

}  // namespace orven::ui
