#include "ui/CaptionGroupBox.h"

#include <QEvent>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionGroupBox>

namespace orven::ui {

// The base class measures its frame while it is being built, before the blank caption below
// takes effect; building it with a caption gives the frame the caption line from the start.
CaptionGroupBox::CaptionGroupBox(QWidget* parent) : QGroupBox(QStringLiteral(" "), parent) {
    setTitle(QString());
}

void CaptionGroupBox::initStyleOption(QStyleOptionGroupBox* option) const {
    QGroupBox::initStyleOption(option);
    if (!option->text.isEmpty()) return;
    option->text = QStringLiteral(" ");
    option->subControls |= QStyle::SC_GroupBoxLabel;
}

void CaptionGroupBox::SetCaptionNote(QLabel* note) {
    note_ = note;
    note_->setParent(this);
    note_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PlaceNote();
    note_->show();
}

void CaptionGroupBox::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    PlaceNote();
}

void CaptionGroupBox::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) PlaceNote();
}

// The note takes the right half of the caption line, where a caption (a model name) never reaches.
void CaptionGroupBox::PlaceNote() {
    if (!note_) return;
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QRect caption = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
    const QRect inside = contentsRect();
    const int left = width() / 2;
    note_->setGeometry(left, caption.top(), inside.right() - left + 1, caption.height());
}

}  // namespace orven::ui
