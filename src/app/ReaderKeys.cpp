#include "app/ReaderKeys.h"

#include "viewer/ViewerControl.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>

ReaderKeys::ReaderKeys(Window window)
    : QObject(&window.form), m_window(std::move(window)),
      m_escape(new QShortcut(QKeySequence(Qt::Key_Escape), &m_window.form))
{
    QMainWindow *const form = &m_window.form;
    const auto zoom = [this](qint16 command) { return [this, command] { m_window.command(command); }; };
    for (const QKeySequence &key : {QKeySequence(Qt::CTRL | Qt::Key_Equal),
                                    QKeySequence(Qt::CTRL | Qt::Key_Plus)})
        connect(new QShortcut(key, form), &QShortcut::activated, this, zoom(3));
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus), form), &QShortcut::activated,
            this, zoom(4));
    connect(new QShortcut(QKeySequence(Qt::Key_F11), form), &QShortcut::activated, this,
            &ReaderKeys::toggleFullScreen);
    // Escape is the window's only while the pages fill the screen.
    m_escape->setEnabled(false);
    connect(m_escape, &QShortcut::activated, this, &ReaderKeys::leaveFullScreen);
}

void ReaderKeys::toggleFullScreen()
{
    if (m_fullScreen)
        leaveFullScreen();
    else
        enterFullScreen();
}

void ReaderKeys::enterFullScreen()
{
    m_fullScreen = true;
    m_stateBefore = m_window.form.windowState();
    m_outlineBefore = m_window.pages.OutlineVisible();
    // No height rather than hidden: a hidden menu bar would take the menus'
    // shortcuts with it.
    m_window.form.menuBar()->setFixedHeight(0);
    m_window.toolbar.hide();
    m_window.pages.setOutlineVisible(0);
    m_escape->setEnabled(true);
    m_geometryBefore = m_window.form.geometry();
    m_window.form.setWindowState(m_stateBefore | Qt::WindowFullScreen);
    // Without a window manager to honour the state, the window covers the screen itself.
    if (QScreen *screen = m_window.form.screen())
        m_window.form.setGeometry(screen->geometry());
    m_window.layOut();
}

void ReaderKeys::leaveFullScreen()
{
    if (!m_fullScreen)
        return;
    m_fullScreen = false;
    m_escape->setEnabled(false);
    m_window.form.menuBar()->setMinimumHeight(0);
    m_window.form.menuBar()->setMaximumHeight(QWIDGETSIZE_MAX);
    m_window.toolbar.show();
    m_window.pages.setOutlineVisible(m_outlineBefore);
    m_window.form.setWindowState(m_stateBefore & ~Qt::WindowFullScreen);
    if (!(m_stateBefore & Qt::WindowMaximized))
        m_window.form.setGeometry(m_geometryBefore);
    m_window.layOut();
}
