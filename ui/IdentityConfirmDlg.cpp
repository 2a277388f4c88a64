#include "ui/IdentityConfirmDlg.h"

#include "model/IdentityRules.h"
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

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

IdentityConfirmDlg::IdentityConfirmDlg(const IdentityChange& change, QWidget* parent)
    : QDialog(parent), question_(QuestionOf(change)) {
    WithId(this, ids::kIdentityConfirmDialog);
    setModal(true);
    setWindowTitle(Text(question_.title));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(Text(question_.intro), this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    grid_ = new QGridLayout;
    grid_->addWidget(new QLabel(Text(question_.heldHeading), this), 0, 1);
    grid_->addWidget(new QLabel(Text(question_.writtenHeading), this), 0, 2);
    for (const IdentityQuestionRow& row : question_.rows) again_.push_back(AddIdentity(row));
    grid_->setColumnStretch(2, 1);
    layout->addLayout(grid_);
    layout->addLayout(MakeButtonRow(*this, ButtonRow::OkCancel));
    ok_ = FindById<QPushButton>(this, ids::kOk);
    UpdateOk();
}

QLineEdit* IdentityConfirmDlg::AddIdentity(const IdentityQuestionRow& identity) {
    const int row = grid_->rowCount();
    grid_->addWidget(new QLabel(Text(identity.name), this), row, 0);
    grid_->addWidget(new QLabel(Text(identity.held), this), row, 1);
    grid_->addWidget(new QLabel(Text(identity.written), this), row, 2);
    const int againId = identity.key == "atis" ? ids::confirm::kAtisAgain : ids::confirm::kMmsiAgain;
    auto* again = WithId(new QLineEdit(this), againId);
    again->setMaxLength(static_cast<int>(kIdentityTextLength));
    again->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), again));
    grid_->addWidget(new QLabel(Text(identity.againPrompt), this), row + 1, 0, 1, 2);
    grid_->addWidget(again, row + 1, 2);
    connect(again, &QLineEdit::textChanged, this, &IdentityConfirmDlg::UpdateOk);
    return again;
}

void IdentityConfirmDlg::UpdateOk() {
    std::vector<std::string> typed;
    for (const QLineEdit* again : again_) typed.push_back(again->text().toStdString());
    ok_->setEnabled(QuestionAnswered(question_, typed));
}

}  // namespace orven::ui
