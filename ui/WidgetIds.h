// Widgets and menu actions carry their resource number, so a handler or a test can find a
// control the way the program names it.
#pragma once

#include <QAction>
#include <QObject>
#include <QString>
#include <QWidget>

namespace orven::ui {

inline QString IdName(int id) { return QStringLiteral("id%1").arg(id); }

// Gives the object its resource number and returns it, for use in constructors.
template <class T>
T* WithId(T* object, int id) {
    object->setObjectName(IdName(id));
    object->setProperty("resourceId", id);
    return object;
}

// The child of `root` with the resource number (widgets and actions), or nullptr.
template <class T>
T* FindById(const QObject* root, int id) {
    return root->findChild<T*>(IdName(id));
}

}  // namespace orven::ui
