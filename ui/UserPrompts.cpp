#include "ui/UserPrompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace orven::ui {

namespace {

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

QString Extension(FileKind kind) { return kind == FileKind::Settings ? QStringLiteral("dat") : QStringLiteral("csv"); }
QString Filter(FileKind kind) { return QStringLiteral("*.") + Extension(kind); }

class DesktopPrompts : public UserPrompts {
public:
    void Message(QWidget* parent, const QString& title, const QString& text, PromptIcon icon) override {
        QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Ok, parent);
        box.exec();
    }
    void MessageWithDetails(QWidget* parent, const QString& title, const QString& text, const QString& details,
                            PromptIcon icon) override {
        QMessageBox box(BoxIcon(icon), title, text, QMessageBox::Ok, parent);
        box.setDetailedText(details);
        box.exec();
    }
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
        return box.exec() == QMessageBox::Yes;
    }
    int AskChoice(QWidget* parent, const QString& title, const QString& text, const QStringList& choices) override {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
        QList<QAbstractButton*> buttons;
        for (const QString& choice : choices) buttons << box.addButton(choice, QMessageBox::AcceptRole);
        box.setEscapeButton(box.addButton(QMessageBox::Cancel));
        box.exec();
        return static_cast<int>(buttons.indexOf(box.clickedButton()));
    }
    QString OpenFileName(QWidget* parent, const QString& startDir, FileKind kind) override {
        return QFileDialog::getOpenFileName(parent, QString(), startDir, Filter(kind));
    }
    QString SaveFileName(QWidget* parent, const QString& startDir, FileKind kind) override {
        QFileDialog dialog(parent, QString(), startDir, Filter(kind));
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
