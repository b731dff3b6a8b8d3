#pragma once
// The embedded PDF viewer as the main window sees it: a widget that holds the open
// document and does all rendering, navigation, zoom, search, selection and printing.
// The shell keeps no copy of its state; it reads modes back from here.

#include <QString>
#include <QUrl>
#include <QWidget>

class ViewerControl : public QWidget {
    Q_OBJECT
public:
    // Status values of OpenDocument.
    enum OpenStatus : int {
        Opened = 0,
        CannotOpen = 1,        // missing, not permitted, a directory, I/O error
        PageTreeUnreadable = 2,
        Damaged = 3,           // not a PDF, or damaged beyond repair
        PasswordNeeded = 4,
        Cancelled = 5,         // the user gave up waiting for a slow file; nothing to report
    };

    explicit ViewerControl(QWidget *parent = nullptr) : QWidget(parent) {}

    virtual int OpenDocument(const QString &path, const QString &userPassword,
                             const QString &ownerPassword) = 0;
    virtual void CloseDocument() = 0;

    virtual int CurrentPage() const = 0;      // first page is 1
    virtual void setCurrentPage(int page) = 0;
    virtual int PageCount() const = 0;
    virtual double ZoomFactor() const = 0;    // 1.0 = 100 %
    virtual void setZoomFactor(double factor) = 0;

    virtual QString SelectedText() const = 0;
    virtual void PrintDocument() = 0;
    // Writes the open document's file to target, byte for byte as it was read
    // when opened, replacing a file already there all at once.
    enum SaveStatus : int { Saved = 0, SaveFailed = 1, SaveCancelled = 2 };
    virtual int SaveCopy(const QString &target) = 0;
    // What FindText and SearchAll answer when the user cancelled the wait for the
    // document's text: not a "not found", so the shell shows nothing.
    static constexpr int SearchCancelled = -1;
    // What they answer when nothing was found but part of the document's text could
    // not be searched: a plain "not found" would be wrong there.
    static constexpr int SearchIncomplete = -2;
    virtual int FindText(const QString &text) = 0;   // 0 = not found
    virtual void FindNext() = 0;
    virtual int SearchAll(const QString &text) = 0;  // 0 = nothing found

    virtual qint16 MouseMode() const = 0;     // 0 hand tool, 1 text tool
    virtual void setMouseMode(qint16 mode) = 0;
    virtual QString DocumentPath() const = 0; // "" exactly when no document is open

    virtual int OutlineVisible() const = 0;   // 1 shown, 0 hidden
    virtual void setOutlineVisible(int visible) = 0;
    virtual void setPageLayout(qint16 layout) = 0; // 0 single page, 1 continuous
    virtual void setFitMode(qint16 mode) = 0;      // 0 fit window, 1 actual size, 2 fit width
    virtual void setRotation(int degrees) = 0;     // 0, 90, 180, 270

signals:
    void PageChanged(int page);
    void ContextMenuRequested(int x, int y);
    // The user followed a link out of the document (http, https or mailto);
    // the viewer opens nothing itself.
    void linkActivated(const QUrl &url);
    // Once per opened document: its first screenful is painted. Work the first
    // page does not need can start now without slowing it down.
    void firstPageShown();
};
