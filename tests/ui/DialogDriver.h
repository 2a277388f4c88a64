// Drives widgets the way a user would, for the window and dialog tests.
#pragma once

#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <stdexcept>

// Readable failure output for Qt texts (and lists of them).
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace orven::test {

namespace ids = ::orven::ids;

// The control with the resource number; fails the test when it is missing.
template <class T>
T& Control(const QObject& root, int id) {
    T* widget = ui::FindById<T>(&root, id);
    EXPECT_NE(widget, nullptr) << "no control " << id;
    if (!widget) throw std::runtime_error("missing control");
    return *widget;
}

// Clicks where a button's indicator or text is: check boxes and radio buttons stretched by their
// layout answer only there.
inline void ClickButton(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(std::min(8, button->width() / 2), button->height() / 2));
}
inline void Click(const QObject& root, int id) { ClickButton(&Control<QAbstractButton>(root, id)); }
// Presses a dialog's OK and reports how it ended, as a modal run would.
inline int PressOk(QDialog& dialog) {
    Click(dialog, ids::kOk);
    return dialog.result();
}

// Replaces an edit's text by typing.
inline void TypeInto(QLineEdit& edit, const QString& text) {
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClicks(&edit, text);
}

// A menu item's text as it shows, without the mnemonic's mark.
inline QString Shown(const QAction* action) { return action->text().remove(QLatin1Char('&')); }

inline QStringList ComboItems(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

}  // namespace orven::test
