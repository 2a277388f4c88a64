#include "ui/IdentityConfirmDlg.h"

#include "model/IdentityRules.h"
#include "ui/DialogButtons.h"
#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace orven::ui {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

int KindIndex(IdentityKind kind) { return static_cast<int>(kind); }

}  // namespace

IdentityConfirmDlg::IdentityConfirmDlg(const IdentityChanges& changes, QWidget* parent)
    : QDialog(parent), question_(QuestionOf(changes)) {
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
    for (const IdentityQuestionRow& row : question_.rows) answers_.push_back(AddRow(row));
    grid_->setColumnStretch(2, 1);
    layout->addLayout(grid_);
    layout->addLayout(MakeButtonRow(*this, ButtonRow::OkCancel));
    ok_ = FindById<QPushButton>(this, ids::kOk);
    UpdateOk();
}

IdentityConfirmDlg::Answer IdentityConfirmDlg::AddRow(const IdentityQuestionRow& row) {
    const int gridRow = grid_->rowCount();
    grid_->addWidget(new QLabel(Text(row.name), this), gridRow, 0);
    grid_->addWidget(new QLabel(Text(row.held), this), gridRow, 1);
    grid_->addWidget(new QLabel(Text(row.written), this), gridRow, 2);
    Answer answer;
    if (!row.againPrompt.empty()) {
        answer.again = AddAgainEdit(row, gridRow + 1);
        return answer;
    }
    answer.accept = WithId(new QCheckBox(Text(row.acceptPrompt), this), ids::confirm::kAcceptFirst + KindIndex(row.kind));
    grid_->addWidget(answer.accept, gridRow + 1, 0, 1, 3);
    connect(answer.accept, &QCheckBox::toggled, this, &IdentityConfirmDlg::UpdateOk);
    return answer;
}

QLineEdit* IdentityConfirmDlg::AddAgainEdit(const IdentityQuestionRow& row, int gridRow) {
    auto* again = WithId(new QLineEdit(this), ids::confirm::kAgainFirst + KindIndex(row.kind));
    const bool digits = row.kind != IdentityKind::Serial;
    again->setMaxLength(static_cast<int>(digits ? kIdentityTextLength : kSerialTextLimit));
    if (digits)
        again->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), again));
    grid_->addWidget(new QLabel(Text(row.againPrompt), this), gridRow, 0, 1, 2);
    grid_->addWidget(again, gridRow, 2);
    connect(again, &QLineEdit::textChanged, this, &IdentityConfirmDlg::UpdateOk);
    return again;
}

void IdentityConfirmDlg::UpdateOk() {
    std::vector<std::string> answers;
    for (const Answer& answer : answers_)
        answers.push_back(answer.again ? answer.again->text().toStdString()
                                       : answer.accept->isChecked() ? std::string(kAcceptedAnswer) : std::string());
    ok_->setEnabled(QuestionAnswered(question_, answers));
}

}  // namespace orven::ui
