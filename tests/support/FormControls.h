#pragma once
// A form's controls by their form names, which are their object names: the
// window keeps its widgets to itself.

#include <QAction>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPushButton>
#include <QString>

// The control of that name and class; stops the test when the form has none.
template <class T>
T *control(const QObject &form, const QString &name)
{
    T *found = form.findChild<T *>(name);
    if (!found)
        qFatal("The form has no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

inline QAction *action(const QObject &form, const QString &name)
{
    return control<QAction>(form, name);
}

inline QMenu *menu(const QObject &form, const QString &name)
{
    return control<QMenu>(form, name);
}

// Toolbar button Cmdc(index).
inline QPushButton *button(const QObject &form, int index)
{
    return control<QPushButton>(form, QStringLiteral("Cmdc_%1").arg(index));
}
