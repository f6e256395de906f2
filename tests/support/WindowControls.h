#pragma once

#include <QObject>
#include <QString>
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
