#include "app/MenuShortcutsFirst.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

MenuShortcutsFirst::MenuShortcutsFirst(QWidget *window) : QObject(window), m_window(window)
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool MenuShortcutsFirst::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    const auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    if (!isWindowShortcut(*static_cast<QKeyEvent *>(event)))
        return false;
    // Not overridden: the key goes on to the window's shortcuts.
    event->ignore();
    return true;
}

bool MenuShortcutsFirst::isWindowShortcut(const QKeyEvent &key) const
{
    const QKeySequence pressed(key.keyCombination());
    const QKeySequence withoutKeypad(
        QKeyCombination(key.modifiers() & ~Qt::KeypadModifier, Qt::Key(key.key())));
    const QList<QAction *> actions = m_window->findChildren<QAction *>();
    for (const QAction *action : actions) {
        if (!action->isEnabled())
            continue;
        for (const QKeySequence &shortcut : action->shortcuts())
            if (shortcut == pressed || shortcut == withoutKeypad)
                return true;
    }
    return false;
}
