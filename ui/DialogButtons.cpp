#include "ui/DialogButtons.h"

#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace orven::ui {

QLayout* MakeButtonRow(QDialog& dialog, ButtonRow buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* ok = WithId(new QPushButton(QStringLiteral("OK"), &dialog), ids::kOk);
    ok->setDefault(true);
    ok->setMinimumWidth(ok->sizeHint().width() * 4 / 3);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    row->addWidget(ok);
    if (buttons == ButtonRow::OkCancel) {
        auto* cancel = WithId(new QPushButton(QStringLiteral("Cancel"), &dialog), ids::kCancel);
        cancel->setAutoDefault(false);
        cancel->setMinimumWidth(ok->minimumWidth());
        QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
        row->addWidget(cancel);
    }
    return row;
}

QPushButton* MakeButton(const char* text, int id, QWidget* parent) {
    auto* button = WithId(new QPushButton(QString::fromLatin1(text), parent), id);
    button->setAutoDefault(false);
    return button;
}

QLayout* MakeActionRow(std::initializer_list<QPushButton*> actions, QPushButton* leave) {
    auto* row = new QHBoxLayout;
    for (QPushButton* action : actions) row->addWidget(action);
    row->addStretch(1);
    row->addWidget(leave);
    return row;
}

}  // namespace orven::ui
