#include "ui/PrintableTextGuard.h"

#include "model/DocumentFields.h"
#include "ui/UserPrompts.h"

#include <QLineEdit>
#include <QMetaObject>

namespace orven::ui {

PrintableTextGuard::PrintableTextGuard(QLineEdit* edit, const QString& what)
    : QObject(edit), edit_(edit), what_(what), accepted_(edit->text()) {
    // A user's edit reports textEdited before textChanged, so accepted_ still holds the text
    // before it when it is judged.
    connect(edit_, &QLineEdit::textChanged, this, [this](const QString& text) { accepted_ = text; });
    connect(edit_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const auto refusal = FieldTextRefusal(what_.toStdString(), text.toUtf8().toStdString());
        if (!refusal) return;
        QMetaObject::invokeMethod(
            this, [this, previous = accepted_, why = QString::fromStdString(*refusal)] { Refuse(previous, why); },
            Qt::QueuedConnection);
    });
}

void PrintableTextGuard::Refuse(const QString& previous, const QString& why) {
    edit_->setText(previous);
    Prompts().Message(edit_->window(), QStringLiteral("Error"), why, PromptIcon::Error);
}

}  // namespace orven::ui
