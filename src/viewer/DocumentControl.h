#pragma once
// Opening, saving, printing and closing the viewer's document, with the
// password prompt and the messages that go with them. The window learns what
// happened from the signals and return values and sets its own caption and
// check marks.

#include <QObject>
#include <QString>

class ModalUi;
class ViewerControl;
class QWidget;

class DocumentControl : public QObject {
    Q_OBJECT
public:
    // window is the parent of the messages and the password prompt.
    DocumentControl(ViewerControl &viewer, ModalUi &ui, QWidget *window);

    // Opens the file. On success the view is reset to outline shown, fit width,
    // continuous pages and the hand tool, and opened() reports the document's
    // path. A failure shows its message. A protected file brings the password
    // prompt, and each answer another try, once the prompt has closed.
    void open(const QString &path, const QString &userPassword, const QString &ownerPassword);
    // An open is running (it may wait with the window still answering).
    bool isOpening() const { return m_opening; }

    // Writes the open document at source to target; a failure shows its message.
    // True when the copy is there (target the document itself included), so the
    // chosen name is done with; false when nothing was to be saved, or cancelled.
    bool saveCopy(const QString &source, const QString &target);
    // Prints the document, when there is one.
    void print();
    void close();

signals:
    void opened(const QString &documentPath);
    // The prompt's Cancel button: no document is being opened any more.
    void passwordCancelled();

private:
    ViewerControl &m_viewer;
    ModalUi &m_ui;
    QWidget *m_window;
    bool m_opening = false;
};
