#pragma once
// Keys a reader expects beside the menus' (which use none of them): Ctrl+=,
// Ctrl++ and Ctrl+- zoom as the toolbar does, F11 shows the pages alone on the
// whole screen and F11 or Escape returns to the window as it was.

#include <QObject>
#include <QRect>

class frmPdf;
class QShortcut;

class ReaderKeys : public QObject {
    Q_OBJECT
public:
    explicit ReaderKeys(frmPdf &window);

    bool fullScreen() const { return m_fullScreen; }
    void toggleFullScreen();

private:
    void enterFullScreen();
    void leaveFullScreen();

    frmPdf &m_window;
    QShortcut *m_escape;
    bool m_fullScreen = false;
    Qt::WindowStates m_stateBefore;
    QRect m_geometryBefore;
    int m_outlineBefore = 1;
};
