// Keeps a text field that goes into a settings file or a radio to printable ASCII. An edit that
// brings in anything else (typed or pasted) is refused with a message naming the character and
// its position, and the field goes back to the text it held before.
#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

namespace orven::ui {

class PrintableTextGuard : public QObject {
    Q_OBJECT
public:
    // Guards the edit for its life; `what` names the field in the message ("The serial number").
    PrintableTextGuard(QLineEdit* edit, const QString& what);

private:
    // After the edit has finished its own change: the text before it comes back.
    void Refuse(const QString& previous, const QString& why);

    QLineEdit* edit_;
    QString what_;
    QString accepted_;  // the text before the edit being made
};

}  // namespace orven::ui
