#include "ui/ElidedLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

namespace orven::ui {

ElidedLabel::ElidedLabel(int lines, QWidget* parent) : QWidget(parent), lines_(lines) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setFixedHeight(fontMetrics().lineSpacing() * lines_);
}

void ElidedLabel::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    setToolTip(text);
    update();
}

QSize ElidedLabel::sizeHint() const { return minimumSizeHint(); }

QSize ElidedLabel::minimumSizeHint() const { return {0, fontMetrics().lineSpacing() * lines_}; }

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const QFontMetrics metrics = fontMetrics();
    const QStringList lines = text_.split(QLatin1Char('\n'));
    const auto hidden = lines.size() - lines_;
    for (int i = 0; i < lines_ && i < lines.size(); ++i) {
        // The last line that shows says how many did not.
        const QString more = i == lines_ - 1 && hidden > 0 ? QStringLiteral("  (%1 more)").arg(hidden) : QString();
        const QString line = metrics.elidedText(lines[i], Qt::ElideRight, width() - metrics.horizontalAdvance(more));
        painter.drawText(0, i * metrics.lineSpacing() + metrics.ascent(), line + more);
    }
}

}  // namespace orven::ui
