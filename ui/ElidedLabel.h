// A text that keeps the room of a fixed number of lines whatever it says: each line of the text
// shows on one line, cut with "..." where it is too long, and lines beyond the room are left out
// (the last line that shows counts them); the tooltip holds the whole text. Its size follows the layout, never the text, so nothing
// around it moves when the text changes.
#pragma once

#include <QString>
#include <QWidget>

namespace orven::ui {

class ElidedLabel : public QWidget {
    Q_OBJECT
public:
    ElidedLabel(int lines, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    void setText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int lines_;
    QString text_;
};

}  // namespace orven::ui
