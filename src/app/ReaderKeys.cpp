#include "app/ReaderKeys.h"

#include "app/frmPdf.h"
#include "viewer/ViewerControl.h"

#include <QMenuBar>
#include <QScreen>
#include <QShortcut>

ReaderKeys::ReaderKeys(frmPdf &window)
    : QObject(&window), m_window(window),
      m_escape(new QShortcut(QKeySequence(Qt::Key_Escape), &window))
{
    const auto zoom = [this](qint16 command) { return [this, command] { m_window.Cmdc_Click(command); }; };
    for (const QKeySequence &key : {QKeySequence(Qt::CTRL | Qt::Key_Equal),
                                    QKeySequence(Qt::CTRL | Qt::Key_Plus)})
        connect(new QShortcut(key, &window), &QShortcut::activated, this, zoom(3));
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus), &window), &QShortcut::activated,
            this, zoom(4));
    connect(new QShortcut(QKeySequence(Qt::Key_F11), &window), &QShortcut::activated, this,
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
    m_stateBefore = m_window.windowState();
    m_outlineBefore = m_window.Pdfc->OutlineVisible();
    // No height rather than hidden: a hidden menu bar would take the menus'
    // shortcuts with it.
    m_window.menuBar()->setFixedHeight(0);
    m_window.Picbar->hide();
    m_window.Pdfc->setOutlineVisible(0);
    m_escape->setEnabled(true);
    m_geometryBefore = m_window.geometry();
    m_window.setWindowState(m_stateBefore | Qt::WindowFullScreen);
    // Without a window manager to honour the state, the window covers the screen itself.
    if (QScreen *screen = m_window.screen())
        m_window.setGeometry(screen->geometry());
    m_window.Form_Resize();
}

void ReaderKeys::leaveFullScreen()
{
    if (!m_fullScreen)
        return;
    m_fullScreen = false;
    m_escape->setEnabled(false);
    m_window.menuBar()->setMinimumHeight(0);
    m_window.menuBar()->setMaximumHeight(QWIDGETSIZE_MAX);
    m_window.Picbar->show();
    m_window.Pdfc->setOutlineVisible(m_outlineBefore);
    m_window.setWindowState(m_stateBefore & ~Qt::WindowFullScreen);
    if (!(m_stateBefore & Qt::WindowMaximized))
        m_window.setGeometry(m_geometryBefore);
    m_window.Form_Resize();
}
