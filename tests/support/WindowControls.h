#pragma once

#include <QApplication>
#include <QObject>
#include <QString>
#include <QWidget>
#include <QtGlobal>

// A window's control by its objectName, as scripts and the guide name it: the windows keep their
// controls to themselves. A name that the window lacks ends the test there, saying which.
template <class T> T* Control(const QObject& window, const char* name) {
    T* control = window.findChild<T*>(QString::fromLatin1(name));
    if (!control)
        qFatal("%s has no %s named %s", qPrintable(window.objectName()),
               T::staticMetaObject.className(), name);
    return control;
}
template <class T> T* Control(const QObject* window, const char* name) {
    return Control<T>(*window, name);
}

// The window shown under this objectName, if any.
inline QWidget* ShownWindow(const QString& name) {
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows)
        if (window->objectName() == name && window->isVisible())
            return window;
    return nullptr;
}

// The open window of this class, shown or not; windows that went are deleted first.
template <class F> F* FindWindow() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows)
        if (auto* found = qobject_cast<F*>(window))
            return found;
    return nullptr;
}
