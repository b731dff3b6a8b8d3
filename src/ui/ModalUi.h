#pragma once
// Every modal exchange with the user goes through this seam, so handlers can be
// driven by a script in tests. QtModalUi shows the real dialogs.

#include <QString>

class LongWork;
class QDialog;
class QMenu;
class QPrinter;
class QWidget;

class ModalUi {
public:
    enum class Icon { Information, Error };

    virtual ~ModalUi() = default;

    // Cancel yields "".
    virtual QString inputBox(QWidget *parent, const QString &prompt, const QString &title,
                             const QString &defaultText) = 0;
    // One OK button.
    virtual void messageBox(QWidget *parent, const QString &text, const QString &title,
                            Icon icon) = 0;
    // filter uses the "description|pattern" form; start is the folder to start
    // in, or a file path whose name is filled in; "" when cancelled. The save
    // dialog gives a name typed without extension the filter's extension.
    virtual QString openFileName(QWidget *parent, const QString &filter,
                                 const QString &start) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &filter,
                                 const QString &start) = 0;
    // Pops the menu up at the mouse pointer and returns when it closes.
    virtual void popupMenu(QMenu *menu) = 0;
    // Runs a modal window until it closes.
    virtual void runModal(QDialog *dialog) = 0;
    // The system print dialog; false when cancelled.
    virtual bool printDialog(QWidget *parent, QPrinter *printer) = 0;
    // Waits, with a cancellable progress dialog showing the work's progress,
    // until the work has ended; false when the user cancelled, and then the
    // caller cancels the work. The event loop keeps running meanwhile.
    virtual bool waitWithProgress(QWidget *parent, const QString &label, LongWork &work) = 0;
};
