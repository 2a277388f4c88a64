// The small pair of arrows beside a number field: each press steps the field's decimal value by
// one, within the digits the field holds.
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

class QLineEdit;
class QToolButton;

namespace orven::ui {

// The highest value the upper arrow ever reaches.
inline constexpr std::uint32_t kArrowMaximum = 90000000;

enum class ArrowDirection { Up, Down };

// The field's text after one arrow press. Only a text of decimal digits alone is a value to step:
// any other text (letters, blanks, nothing) comes back unchanged. Down lowers the value by one
// while it is above 0, Up raises it by one while it is below `maximum`. The result keeps at least
// the text's number of digits, so a number with leading zeros keeps them.
QString SteppedDecimalText(const QString& text, ArrowDirection direction, std::uint32_t maximum);

class UpDownArrows : public QWidget {
    Q_OBJECT
public:
    // Steps `field`, a number of at most `digits` digits, on every press; the field must outlive
    // the arrows. `name` is the field's name, for the arrows' own names.
    UpDownArrows(QLineEdit* field, int digits, const QString& name, QWidget* parent = nullptr);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    // After a press changed the field.
    void Stepped();

private:
    void Step(ArrowDirection direction);

    QLineEdit* field_;
    std::uint32_t maximum_;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace orven::ui
