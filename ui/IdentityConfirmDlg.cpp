#include "ui/IdentityConfirmDlg.h"

#include "model/IdentityRules.h"
#include "model/MarineIdentity.h"
#include "ui/DialogButtons.h"
#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace orven::ui {

namespace {

// What the radio holds, as the comparison names it.
QString Held(const std::string& number, bool known, std::string (*described)(std::string_view)) {
    if (!known) return QStringLiteral("not known (no backup was read)");
    return number.empty() ? QStringLiteral("none") : QString::fromStdString(described(number));
}

QString Intro(const IdentityChange& change) {
    const char* what = change.MmsiChanges() && change.AtisChanges() ? "a new MMSI and ATIS"
                       : change.MmsiChanges()                     ? "a new MMSI"
                                                                  : "a new ATIS";
    return QStringLiteral("This write puts %1 into the radio. Many radios take these numbers only once: "
                          "check them and type each new one again.")
        .arg(QLatin1String(what));
}

}  // namespace

IdentityConfirmDlg::IdentityConfirmDlg(const IdentityChange& change, QWidget* parent)
    : QDialog(parent), change_(change) {
    WithId(this, ids::kIdentityConfirmDialog);
    setModal(true);
    setWindowTitle(QStringLiteral("Confirm New Identity"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(Intro(change), this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    grid_ = new QGridLayout;
    grid_->addWidget(new QLabel(QStringLiteral("In the radio now"), this), 0, 1);
    grid_->addWidget(new QLabel(QStringLiteral("To be written"), this), 0, 2);
    if (change.MmsiChanges())
        mmsiAgain_ = AddIdentity("MMSI", Held(change.heldMmsi, change.heldKnown, DescribedMmsi),
                                 QString::fromStdString(DescribedMmsi(change.newMmsi)), ids::confirm::kMmsiAgain);
    if (change.AtisChanges())
        atisAgain_ = AddIdentity("ATIS", Held(change.heldAtis, change.heldKnown, DescribedAtis),
                                 QString::fromStdString(DescribedAtis(change.newAtis)), ids::confirm::kAtisAgain);
    grid_->setColumnStretch(2, 1);
    layout->addLayout(grid_);
    layout->addLayout(MakeButtonRow(*this, ButtonRow::OkCancel));
    ok_ = FindById<QPushButton>(this, ids::kOk);
    UpdateOk();
}

QLineEdit* IdentityConfirmDlg::AddIdentity(const char* name, const QString& held, const QString& now, int againId) {
    const int row = grid_->rowCount();
    grid_->addWidget(new QLabel(QLatin1String(name), this), row, 0);
    grid_->addWidget(new QLabel(held, this), row, 1);
    grid_->addWidget(new QLabel(now, this), row, 2);
    auto* again = WithId(new QLineEdit(this), againId);
    again->setMaxLength(static_cast<int>(kIdentityTextLength));
    again->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), again));
    const bool atis = againId == ids::confirm::kAtisAgain;
    grid_->addWidget(new QLabel(atis ? QStringLiteral("Type the new ATIS again (its last 9 digits):")
                                     : QStringLiteral("Type the new MMSI again:"),
                                this),
                     row + 1, 0, 1, 2);
    grid_->addWidget(again, row + 1, 2);
    connect(again, &QLineEdit::textChanged, this, &IdentityConfirmDlg::UpdateOk);
    return again;
}

void IdentityConfirmDlg::UpdateOk() {
    const auto matches = [](const QLineEdit* again, const std::string& number) {
        return !again || again->text().toStdString() == number;
    };
    ok_->setEnabled(matches(mmsiAgain_, change_.newMmsi) && matches(atisAgain_, change_.newAtis));
}

}  // namespace orven::ui
