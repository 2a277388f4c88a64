// A group box whose caption line keeps its height when the caption is empty, so that its
// contents stay where they are whatever the caption says. The right half of the caption line
// can carry a note, a label placed there outside the group's layout.
#pragma once

#include <QGroupBox>

class QLabel;

namespace orven::ui {

class CaptionGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit CaptionGroupBox(QWidget* parent = nullptr);

    // Shows the label at the right end of the caption line; the group takes it as its child.
    void SetCaptionNote(QLabel* note);

protected:
    // An empty caption is laid out, drawn and measured as a blank one.
    void initStyleOption(QStyleOptionGroupBox* option) const override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void PlaceNote();

    QLabel* note_ = nullptr;
};

}  // namespace orven::ui
