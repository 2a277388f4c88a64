#include "ui/UpDownArrows.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>

namespace orven::ui {

namespace {

// The value of the leading decimal digits, held as the radio's 32-bit counters hold it: a
// longer number stops at the largest such value.
std::uint32_t LeadingDecimal(const QString& text) {
    std::uint64_t value = 0;
    const QString trimmed = text.trimmed();
    for (QChar c : trimmed) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) break;
        value = value * 10 + static_cast<std::uint64_t>(c.unicode() - '0');
        if (value > std::numeric_limits<std::uint32_t>::max())
            return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(value);
}

QToolButton* ArrowButton(Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(18, 11);
    return button;
}

}  // namespace

QString SteppedDecimalText(const QString& text, ArrowDirection direction) {
    std::uint32_t value = LeadingDecimal(text);
    if (direction == ArrowDirection::Down && value >= 1) --value;
    if (direction == ArrowDirection::Up && value < kArrowMaximum) ++value;
    return QString::number(value);
}

UpDownArrows::UpDownArrows(QLineEdit* field, QWidget* parent)
    : QWidget(parent), field_(field), up_(ArrowButton(Qt::UpArrow, this)),
      down_(ArrowButton(Qt::DownArrow, this)) {
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(up_);
    column->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, [this] { Step(ArrowDirection::Up); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(ArrowDirection::Down); });
}

void UpDownArrows::Step(ArrowDirection direction) {
    field_->setText(SteppedDecimalText(field_->text(), direction));
    emit Stepped();
}

}  // namespace orven::ui
