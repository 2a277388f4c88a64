// Answers the desktop's own message boxes, questions and dialogs the way a user does, by the keys
// pressed: each modal window that opens gets the next step, run once it is on screen.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

namespace orven::test {

class ModalDriver : public QObject {
public:
    using Step = std::function<void(QWidget&)>;

    explicit ModalDriver(std::deque<Step> steps) : steps_(std::move(steps)) { qApp->installEventFilter(this); }
    ~ModalDriver() override { qApp->removeEventFilter(this); }

    // A step that presses a key in the modal window.
    static Step Press(Qt::Key key) {
        return [key](QWidget& modal) { QTest::keyClick(&modal, key); };
    }
    // A step that presses the button with this text.
    static Step Choose(const QString& text) {
        return [text](QWidget& modal) {
            for (QAbstractButton* button : modal.findChildren<QAbstractButton*>())
                if (button->text().remove(QLatin1Char('&')) == text) return button->click();
            QTest::keyClick(&modal, Qt::Key_Escape);
        };
    }
    // A step that types a name into a file dialog and presses Enter.
    static Step ChooseFile(const QString& path) {
        return [path](QWidget& modal) {
            QLineEdit* name = modal.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (name) name->setText(path);
            QTest::keyClick(name ? static_cast<QWidget*>(name) : &modal, Qt::Key_Return);
        };
    }

    QStringList seen;  // the titles of the modal windows that opened, in turn

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Show || !widget || !widget->isWindow() || !widget->isModal()) return false;
        seen << widget->windowTitle();
        // A modal window the steps did not foresee is closed, so that a test never hangs.
        Step step = steps_.empty() ? Step([](QWidget& modal) {
            if (auto* dialog = qobject_cast<QDialog*>(&modal)) dialog->reject();
        })
                                   : std::move(steps_.front());
        if (!steps_.empty()) steps_.pop_front();
        QTimer::singleShot(0, widget, [target = QPointer<QWidget>(widget), step] {
            if (target) step(*target);
        });
        return false;
    }

private:
    std::deque<Step> steps_;
};

}  // namespace orven::test
