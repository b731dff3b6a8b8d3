#pragma once
// The window's menu shortcuts act whatever has the keyboard focus: a text box
// in the window that would take a shortcut key for itself (Ctrl+Z to undo,
// Ctrl+C to copy) leaves it to the menu item. Plain typing is untouched.

#include <QObject>

class QKeyEvent;
class QWidget;

class MenuShortcutsFirst : public QObject {
public:
    // Watches every widget of `window` for as long as `window` lives.
    explicit MenuShortcutsFirst(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isWindowShortcut(const QKeyEvent &key) const;

    QWidget *m_window;
};
