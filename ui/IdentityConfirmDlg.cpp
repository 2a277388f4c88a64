#include "ui/IdentityConfirmDlg.h"

#include "model/IdentityRules.h"
#include "ui/DialogButtons.h"
#include "ui/IdentityDescriptions.h"
#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

namespace orven::ui {

namespace {

QString ToQString(const std::string& text) { return QString::fromStdString(text); }

int KindIndex(IdentityKind kind) { return static_cast<int>(kind); }

// A value is typed again, a removal or a new model only ticked.
bool Retyped(const IdentityChange& change) { return !change.Removes() && change.kind != IdentityKind::Model; }

QString Intro(const IdentityChanges& changes) {
    const bool once = std::any_of(changes.begin(), changes.end(), [](const IdentityChange& c) {
        return c.kind == IdentityKind::Mmsi || c.kind == IdentityKind::Atis;
    });
    QString text = QStringLiteral("This changes the radio's identities.");
    if (once) text += QStringLiteral(" Many radios take their own MMSI and ATIS only once.");
    return text + QStringLiteral(" Check each change: type each new value again and tick each removal.");
}

QString AgainText(IdentityKind kind) {
    if (kind == IdentityKind::Atis) return QStringLiteral("Type the new ATIS again (its last 9 digits):");
    return QStringLiteral("Type the new %1 again:").arg(QLatin1String(IdentityName(kind)));
}

QString AcceptText(const IdentityChange& change) {
    if (change.kind == IdentityKind::Model)
        return QStringLiteral("Make the radio a %1 model").arg(ToQString(change.next));
    return QStringLiteral("Remove the %1 from the radio").arg(QLatin1String(IdentityName(change.kind)));
}

}  // namespace

IdentityConfirmDlg::IdentityConfirmDlg(const IdentityChanges& changes, QWidget* parent) : QDialog(parent) {
    WithId(this, ids::kIdentityConfirmDialog);
    setModal(true);
    setWindowTitle(QStringLiteral("Confirm Identity Changes"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(Intro(changes), this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    grid_ = new QGridLayout;
    grid_->addWidget(new QLabel(QStringLiteral("In the radio now"), this), 0, 1);
    grid_->addWidget(new QLabel(QStringLiteral("To be written"), this), 0, 2);
    for (const IdentityChange& change : changes) AddChange(change);
    grid_->setColumnStretch(2, 1);
    layout->addLayout(grid_);
    layout->addLayout(MakeButtonRow(*this, ButtonRow::OkCancel));
    ok_ = FindById<QPushButton>(this, ids::kOk);
    UpdateOk();
}

void IdentityConfirmDlg::AddChange(const IdentityChange& change) {
    const int row = grid_->rowCount();
    grid_->addWidget(new QLabel(IdentityLabel(change.kind), this), row, 0);
    grid_->addWidget(new QLabel(ToQString(DescribedHeld(change)), this), row, 1);
    grid_->addWidget(new QLabel(ToQString(DescribedIdentity(change.kind, change.next)), this), row, 2);
    if (change.confirmed) return;
    Confirmation& confirmation = confirmations_.emplace_back();
    confirmation.kind = change.kind;
    confirmation.next = change.next;
    if (Retyped(change)) {
        confirmation.again = AddAgainEdit(change, row + 1);
        return;
    }
    confirmation.accept =
        WithId(new QCheckBox(AcceptText(change), this), ids::confirm::kAcceptFirst + KindIndex(change.kind));
    grid_->addWidget(confirmation.accept, row + 1, 0, 1, 3);
    connect(confirmation.accept, &QCheckBox::toggled, this, &IdentityConfirmDlg::UpdateOk);
}

QLineEdit* IdentityConfirmDlg::AddAgainEdit(const IdentityChange& change, int row) {
    auto* again = WithId(new QLineEdit(this), ids::confirm::kAgainFirst + KindIndex(change.kind));
    const bool digits = change.kind != IdentityKind::Serial;
    again->setMaxLength(static_cast<int>(digits ? kIdentityTextLength : kSerialTextLimit));
    if (digits)
        again->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), again));
    grid_->addWidget(new QLabel(AgainText(change.kind), this), row, 0, 1, 2);
    grid_->addWidget(again, row, 2);
    connect(again, &QLineEdit::textChanged, this, &IdentityConfirmDlg::UpdateOk);
    return again;
}

void IdentityConfirmDlg::UpdateOk() {
    const bool all = std::all_of(confirmations_.begin(), confirmations_.end(), [](const Confirmation& c) {
        if (c.accept) return c.accept->isChecked();
        return !c.again->text().isEmpty() && SameIdentity(c.kind, c.again->text().toStdString(), c.next);
    });
    ok_->setEnabled(all);
}

}  // namespace orven::ui
