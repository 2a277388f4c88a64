#include "ui/ConnectionCheckDlg.h"

#include "ui/DialogButtons.h"
#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QTime>
#include <QVBoxLayout>

#include <algorithm>

namespace orven::ui {

namespace {

constexpr int kListWidthChars = 90;
constexpr int kListRows = 14;

const QString kChecking = QStringLiteral("Checking...");
const QString kBusy = QStringLiteral("A clone command is running: check again once it has ended.");
const QString kCopy = QStringLiteral("Copy");
const QString kCopied = QStringLiteral("Copied");

// A mark of its own shape and colour for each status, so that the colour is never the only sign.
struct Look {
    QChar mark;
    QColor colour;
};

Look LookOf(CheckStatus status) {
    switch (status) {
    case CheckStatus::Ok: return {QChar(0x25CF), QColor(0x1B, 0x7F, 0x2A)};    // a disc
    case CheckStatus::Warn: return {QChar(0x25B2), QColor(0xA0, 0x5A, 0x00)};  // a triangle
    default: return {QChar(0x25A0), QColor(0xC0, 0x10, 0x10)};                 // a square
    }
}

QString Html(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }

QString Summary(const ConnectionReport& report) { return QString::fromLatin1(CheckVerdict(report)); }

// The checklist as the command line prints it, and the verdict.
QString AsText(const ConnectionReport& report) {
    return QString::fromStdString(ChecklistText(report)) + Summary(report) + '\n';
}

// A table: the status in the first column, what was found beside it and its fix beneath.
QString AsHtml(const ConnectionReport& report) {
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">");
    for (const CheckLine& line : report.lines) {
        const Look look = LookOf(line.status);
        html += QStringLiteral("<tr><td style=\"color:%1; white-space:pre\"><b>%2 %3</b></td><td>%4</td></tr>")
                    .arg(look.colour.name(), QString(look.mark), QString::fromLatin1(StatusWord(line.status)),
                         Html(line.text));
        if (!line.fix.empty())
            html += QStringLiteral("<tr><td></td><td><i>fix:</i> %1</td></tr>").arg(Html(line.fix));
    }
    return html + QStringLiteral("</table><p><b>%1</b></p>").arg(Summary(report).toHtmlEscaped());
}

}  // namespace

ConnectionCheckDlg::ConnectionCheckDlg(Starter start, QWidget* parent) : QDialog(parent), start_(std::move(start)) {
    WithId(this, ids::kConnectionCheckDialog);
    setWindowTitle(QStringLiteral("Check Connection"));
    auto* layout = new QVBoxLayout(this);
    list_ = WithId(new QTextBrowser(this), ids::check::kChecklist);
    list_->setAccessibleName(windowTitle());
    list_->setMinimumSize(fontMetrics().averageCharWidth() * kListWidthChars, fontMetrics().lineSpacing() * kListRows);
    layout->addWidget(list_, 1);
    checkedAt_ = WithId(new QLabel(this), ids::check::kCheckedAt);
    layout->addWidget(checkedAt_);

    again_ = MakeButton("Check Again", ids::check::kCheckAgain, this);
    copy_ = MakeButton("Copy", ids::check::kCopy, this);
    auto* close = MakeButton("Close", ids::kCancel, this);
    layout->addLayout(MakeActionRow({again_, copy_}, close));

    connect(again_, &QPushButton::clicked, this, &ConnectionCheckDlg::Check);
    // The button stays as wide as its longer text, so that the row does not move.
    copy_->setText(kCopied);
    const int copiedWidth = copy_->sizeHint().width();
    copy_->setText(kCopy);
    copy_->setMinimumWidth(std::max(copiedWidth, copy_->sizeHint().width()));
    connect(copy_, &QPushButton::clicked, this, [this] {
        QApplication::clipboard()->setText(plain_);
        copy_->setText(kCopied);
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void ConnectionCheckDlg::Check() {
    if (checking_) return;
    ShowNote(kChecking);
    checking_ = true;
    again_->setEnabled(false);
    // The dialog may be closed before the report comes.
    const QPointer<ConnectionCheckDlg> self(this);
    if (!start_([self](const ConnectionReport& report) {
            if (self) self->Show(report);
        })) {
        checking_ = false;
        again_->setEnabled(true);
        ShowNote(kBusy);
    }
}

void ConnectionCheckDlg::Show(const ConnectionReport& report) {
    checking_ = false;
    again_->setEnabled(true);
    plain_ = AsText(report);
    copy_->setEnabled(true);
    list_->setHtml(AsHtml(report));
    checkedAt_->setText(QStringLiteral("Checked at %1.").arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))));
}

void ConnectionCheckDlg::ShowNote(const QString& note) {
    plain_.clear();
    copy_->setEnabled(false);
    copy_->setText(kCopy);
    checkedAt_->clear();
    list_->setPlainText(note);
}

}  // namespace orven::ui
