// A text that keeps the room of a fixed number of lines whatever it says; the tooltip holds the
// whole text. Its size follows the layout, never the text, so nothing around it moves when the
// text changes. How a text longer than its room shows depends on the label:
//   CutAtEnd     each line of the text on one line, cut with "..." at its end; lines beyond the
//                room are left out, and the last line that shows counts them;
//   CutInMiddle  the same, cut in the middle, so that both ends of a name stay in sight;
//   Wrap         the text wrapped at word boundaries onto the lines, the last one cut with "..."
//                when there is more.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

namespace orven::ui {

enum class LongText { CutAtEnd, CutInMiddle, Wrap };

class ElidedLabel : public QWidget {
    Q_OBJECT
public:
    ElidedLabel(int lines, QWidget* parent = nullptr, LongText longText = LongText::CutAtEnd);

    const QString& text() const { return text_; }
    void setText(const QString& text);

    // The lines as they show at the present width.
    QStringList ShownLines() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList CutLines() const;
    QStringList WrappedLines() const;

    int lines_;
    LongText longText_;
    QString text_;
};

}  // namespace orven::ui
