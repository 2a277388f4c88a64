// The small pair of arrows beside a number field: each press steps the field's decimal value by
// one, within the range the radio accepts.
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

class QLineEdit;
class QToolButton;

namespace orven::ui {

// The highest value the upper arrow reaches.
inline constexpr std::uint32_t kArrowMaximum = 90000000;

enum class ArrowDirection { Up, Down };

// The field's text after one arrow press. The text counts as an unsigned decimal number (its
// leading digits, 0 when there are none); Down lowers it by one while it is at least 1, Up
// raises it by one while it is below kArrowMaximum. The result is plain decimal, so leading
// zeros disappear.
QString SteppedDecimalText(const QString& text, ArrowDirection direction);

class UpDownArrows : public QWidget {
    Q_OBJECT
public:
    // Steps `field` on every press; the field must outlive the arrows.
    UpDownArrows(QLineEdit* field, QWidget* parent = nullptr);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    // After the field was stepped.
    void Stepped();

private:
    void Step(ArrowDirection direction);

    QLineEdit* field_;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace orven::ui
