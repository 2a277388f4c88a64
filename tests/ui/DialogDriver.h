// Drives a dialog's widgets the way a user would, for the dialog tests.
#pragma once

#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace orven::test {

// The control with the resource number; fails the test when it is missing.
template <class T>
T& Control(const QObject& dialog, int id) {
    T* widget = ui::FindById<T>(&dialog, id);
    EXPECT_NE(widget, nullptr) << "no control " << id;
    if (!widget) throw std::runtime_error("missing control");
    return *widget;
}

// Clicks inside the button's text: a check box or radio button stretched by its layout takes
// clicks only on its indicator and text, not on the empty rest of its width.
inline void Click(const QDialog& dialog, int id) {
    QAbstractButton& button = Control<QAbstractButton>(dialog, id);
    const int x = std::min(button.width(), button.sizeHint().width()) / 2;
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(x, button.height() / 2));
}

inline void ClickOk(const QDialog& dialog) { Click(dialog, ids::kOk); }
inline void ClickCancel(const QDialog& dialog) { Click(dialog, ids::kCancel); }

// Replaces an edit's text by typing.
inline void TypeInto(QLineEdit& edit, const QString& text) {
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClicks(&edit, text);
}

}  // namespace orven::test
