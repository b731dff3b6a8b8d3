#pragma once
// Keys a reader expects beside the menus' (which use none of them): Ctrl+=,
// Ctrl++ and Ctrl+- zoom as the toolbar does, F11 shows the pages alone on the
// whole screen and F11 or Escape returns to the window as it was.

#include <QObject>
#include <QRect>
#include <functional>

class QMainWindow;
class QShortcut;
class QWidget;
class ViewerControl;

class ReaderKeys : public QObject {
    Q_OBJECT
public:
    // What the keys act on, handed over by the window that owns them.
    struct Window {
        QMainWindow &form;                      // its keys, state, geometry and menu bar
        QWidget &toolbar;                       // hidden while the pages fill the screen
        ViewerControl &pages;                   // its outline goes too
        std::function<void(qint16)> command;    // a toolbar command by its number
        std::function<void()> layOut;           // places the panes for the window's size
    };

    explicit ReaderKeys(Window window);

    bool fullScreen() const { return m_fullScreen; }
    void toggleFullScreen();

private:
    void enterFullScreen();
    void leaveFullScreen();

    Window m_window;
    QShortcut *m_escape;
    bool m_fullScreen = false;
    Qt::WindowStates m_stateBefore;
    QRect m_geometryBefore;
    int m_outlineBefore = 1;
};
