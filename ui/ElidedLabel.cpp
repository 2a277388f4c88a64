#include "ui/ElidedLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

namespace orven::ui {

ElidedLabel::ElidedLabel(int lines, QWidget* parent, LongText longText)
    : QWidget(parent), lines_(lines), longText_(longText) {
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

QStringList ElidedLabel::ShownLines() const {
    return longText_ == LongText::Wrap ? WrappedLines() : CutLines();
}

QStringList ElidedLabel::CutLines() const {
    const QFontMetrics metrics = fontMetrics();
    const Qt::TextElideMode mode = longText_ == LongText::CutInMiddle ? Qt::ElideMiddle : Qt::ElideRight;
    const QStringList lines = text_.split(QLatin1Char('\n'));
    const auto hidden = lines.size() - lines_;
    QStringList shown;
    for (int i = 0; i < lines_ && i < lines.size(); ++i) {
        // The last line that shows says how many did not.
        const QString more = i == lines_ - 1 && hidden > 0 ? QStringLiteral("  (%1 more)").arg(hidden) : QString();
        shown << metrics.elidedText(lines[i], mode, width() - metrics.horizontalAdvance(more)) + more;
    }
    return shown;
}

QStringList ElidedLabel::WrappedLines() const {
    QStringList wrapped;
    for (const QString& paragraph : text_.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width());
            wrapped << paragraph.mid(line.textStart(), line.textLength()).trimmed();
        }
        layout.endLayout();
    }
    if (wrapped.size() <= lines_) return wrapped;
    // The last line that shows takes the rest, cut where it no longer fits.
    QStringList shown = wrapped.mid(0, lines_ - 1);
    shown << fontMetrics().elidedText(wrapped.mid(lines_ - 1).join(QLatin1Char(' ')), Qt::ElideRight, width());
    return shown;
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const QFontMetrics metrics = fontMetrics();
    const QStringList lines = ShownLines();
    for (int i = 0; i < lines.size(); ++i) painter.drawText(0, i * metrics.lineSpacing() + metrics.ascent(), lines[i]);
}

}  // namespace orven::ui
