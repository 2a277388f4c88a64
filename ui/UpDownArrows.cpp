#include "ui/UpDownArrows.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace orven::ui {

namespace {

// The largest number of `digits` decimal digits, as far as the arrows go.
std::uint32_t LargestOfDigits(int digits) {
    std::uint64_t largest = 1;
    for (int i = 0; i < digits && largest <= kArrowMaximum; ++i) largest *= 10;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(largest - 1, kArrowMaximum));
}

bool AllDigits(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

QToolButton* ArrowButton(Qt::ArrowType arrow, const QString& name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(18, 11);
    button->setAccessibleName(name);
    return button;
}

}  // namespace

QString SteppedDecimalText(const QString& text, ArrowDirection direction, std::uint32_t maximum) {
    // A digit run longer than any value the arrows reach is no value to step either.
    if (!AllDigits(text) || text.size() > 10) return text;
    const std::uint64_t value = text.toULongLong();
    if (direction == ArrowDirection::Down && value == 0) return text;
    if (direction == ArrowDirection::Up && value >= maximum) return text;
    const std::uint64_t stepped = direction == ArrowDirection::Up ? value + 1 : value - 1;
    return QStringLiteral("%1").arg(stepped, static_cast<int>(text.size()), 10, QLatin1Char('0'));
}

UpDownArrows::UpDownArrows(QLineEdit* field, int digits, const QString& name, QWidget* parent)
    : QWidget(parent), field_(field), maximum_(LargestOfDigits(digits)),
      up_(ArrowButton(Qt::UpArrow, name + QStringLiteral(" up by one"), this)),
      down_(ArrowButton(Qt::DownArrow, name + QStringLiteral(" down by one"), this)) {
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
    const QString text = field_->text();
    const QString stepped = SteppedDecimalText(text, direction, maximum_);
    if (stepped == text) return;
    field_->setText(stepped);
    emit Stepped();
}

}  // namespace orven::ui
