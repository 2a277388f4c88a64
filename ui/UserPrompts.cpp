#include "ui/UserPrompts.h"

#include "ui/DialogButtons.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

namespace orven::ui {

namespace {

// How much of a message's list shows before it scrolls.
constexpr int kDetailsWidthChars = 80;
constexpr int kDetailsRows = 10;

QMessageBox::Icon BoxIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Error: return QMessageBox::Critical;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QStyle::StandardPixmap StyleIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Warning: return QStyle::SP_MessageBoxWarning;
    case PromptIcon::Error: return QStyle::SP_MessageBoxCritical;
    case PromptIcon::Question: return QStyle::SP_MessageBoxQuestion;
    default: return QStyle::SP_MessageBoxInformation;
    }
}

QString Extension(FileKind kind) { return kind == FileKind::Settings ? QStringLiteral("dat") : QStringLiteral("csv"); }
QString Filter(FileKind kind) { return QStringLiteral("*.") + Extension(kind); }

// A message whose list shows beneath its text at once, in a box that scrolls and can be copied.
void ShowWithList(QWidget* parent, const QString& title, const QString& text, const QString& details,
                  PromptIcon icon) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* top = new QHBoxLayout;
    if (icon != PromptIcon::None) {
        auto* picture = new QLabel(&dialog);
        const int size = dialog.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
        picture->setPixmap(dialog.style()->standardIcon(StyleIcon(icon)).pixmap(size, size));
        top->addWidget(picture, 0, Qt::AlignTop);
    }
    auto* message = new QLabel(text, &dialog);
    message->setWordWrap(true);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(message, 1);
    auto* list = new QPlainTextEdit(details, &dialog);
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setAccessibleName(title);
    const QFontMetrics metrics = list->fontMetrics();
    list->setMinimumSize(metrics.averageCharWidth() * kDetailsWidthChars, metrics.lineSpacing() * kDetailsRows);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(top);
    layout->addWidget(list, 1);
    layout->addLayout(MakeButtonRow(dialog, ButtonRow::OkOnly));
    dialog.exec();
}

class DesktopPrompts : public UserPrompts {
public:
    void Message(QWidget* parent, const QString& title, const QString& text, PromptIcon icon) override {
        QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Ok, parent);
        box.exec();
    }
    void MessageWithDetails(QWidget* parent, const QString& title, const QString& text, const QString& details,
                            PromptIcon icon) override {
        ShowWithList(parent, title, text, details, icon);
    }
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }
    SaveChoice AskToSave(QWidget* parent, const QString& title, const QString& text) override {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                        parent);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        switch (box.exec()) {
        case QMessageBox::Yes: return SaveChoice::Save;
        case QMessageBox::No: return SaveChoice::Discard;
        default: return SaveChoice::Cancel;
        }
    }
    int AskChoice(QWidget* parent, const QString& title, const QString& text, const QStringList& choices) override {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
        QList<QAbstractButton*> buttons;
        for (const QString& choice : choices) buttons << box.addButton(choice, QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(cancel);
        box.setEscapeButton(cancel);
        box.exec();
        return static_cast<int>(buttons.indexOf(box.clickedButton()));
    }
    QString OpenFileName(QWidget* parent, const QString& title, const QString& startDir, FileKind kind) override {
        return QFileDialog::getOpenFileName(parent, title, startDir, Filter(kind));
    }
    QString SaveFileName(QWidget* parent, const QString& title, const QString& startDir, FileKind kind) override {
        QFileDialog dialog(parent, title, startDir, Filter(kind));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(Extension(kind));
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
        return dialog.selectedFiles().first();
    }
    bool OpenInTextViewer(const QString& path) override { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }
    int RunDialog(QDialog& dialog) override { return dialog.exec(); }
    bool CtrlHeld() override { return QApplication::queryKeyboardModifiers() & Qt::ControlModifier; }
};

DesktopPrompts desktopPrompts;
UserPrompts* current = nullptr;

}  // namespace

UserPrompts& Prompts() { return current ? *current : desktopPrompts; }

void SetPrompts(UserPrompts* prompts) { current = prompts; }

}  // namespace orven::ui
