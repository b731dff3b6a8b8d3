#pragma once
// The main window: menus, toolbar, the viewer and the start-page pane, and the
// handlers behind them. Handlers are defined in the folder of their subsystem
// (commands/, viewer/, bookmarks/, web/), so this header reads as the form's definition.

#include "ui/CommonDialog.h"

#include <QList>
#include <QMainWindow>
#include <QString>
#include <QVector>
#include <array>
#include <functional>

namespace BookmarkStore {
struct Bookmark;
}
class ModalUi;
class ReaderKeys;
class ViewerControl;
class StartPagePane;
class frmCount;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QWidget;

class frmPdf : public QMainWindow {
    Q_OBJECT
public:
    // Everything that varies between the program and the tests comes in from outside.
    struct Setup {
        ViewerControl *viewer = nullptr;   // becomes a child of the window
        ModalUi *ui = nullptr;             // must outlive the window
        QString webServiceBase;            // e.g. "http://vellumo.example", no trailing slash
        QString bookmarkDir;               // directory that holds bk.ini
        QString commandLine;               // the argument text, quotation marks kept
    };

    explicit frmPdf(const Setup &setup, QWidget *parent = nullptr);
    ~frmPdf() override;

    // Start-up and shutdown (app/frmPdf.cpp).
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void mnuExit_Click();

    // Command dispatcher and the menu items that forward to it (app/dispatcher.cpp).
    void Cmdc_Click(qint16 Index);
    void mnuOpen_Click();
    void mnuBp_Click();
    void mnuNp_Click();
    void mnuDa_Click();
    void mnuXiao_Click();
    void mnuFindt_Click();

    // Opening, events, save/print/close (viewer/).
    void openPdf(const QString &path, const QString &userPassword, const QString &ownerPassword);
    void Pdfc_PageChanged(int page);
    void Pdfc_ContextMenuRequested(int x, int y);
    void mnuSf_Click();
    void mnuPr_Click();
    void mnuCf_Click();

    // Navigation and view (commands/).
    void mnuBack_Click();
    void mnuLastpage_Click();
    void mnuGopage_Click();
    void mnuTo0_Click();
    void mnuTo90_Click();
    void mnuTo180_Click();
    void mnuTo360_Click();
    void mnuShiji_Click();
    void mnuChicun_Click();
    void mnuKuandu_Click();
    void mnuSp_Click();
    void mnuMp_Click();
    void mnuTuoya_Click();
    void mnuXuanze_Click();
    void mnuSm_Click();
    void mnuHm_Click();

    // Search and selection (commands/).
    void mnuFindnext_Click();
    void mnuJiansuo_Click();
    void mnuCopy_Click();
    void mnuSt_Click();

    // Bookmarks (bookmarks/).
    void createBookmarkItems();   // start-up: items 1..20 created, item 0 disabled, Showbk
    void mnuAddbk_Click();
    void mnuBkm_Click();
    void mnuBk_Click(qint16 Index);
    void Showbk();

    // Web links and About (web/).
    void startWebServices();      // start-up: load frmCount, send Toweb to the start page
    void unloadCountWindow();
    void OpenWebPage(const QString &address);
    void mnuNethelp_Click();
    void mnuFankui_Click();
    void mnuJup_Click();
    void mnuAbout_Click();

    // Sets the caption of toolbar button Cmdc(index); see frmPdf_design.cpp.
    void setToolbarCaption(int index, const QString &caption);
    // Puts the keyboard focus on the pages, where the reading keys act.
    void focusPages();

    // "Vellumo V3.1", the caption while no document is shown.
    static QString noDocumentCaption();
    static QString versionText(); // "V3.1"

    ModalUi &ui() const { return *m_ui; }
    QString webServiceBase() const { return m_webServiceBase; }
    QString bookmarkDir() const { return m_bookmarkDir; }

    // Ends the program at once; tests replace it.
    std::function<void()> quitProgram;

    // Controls and menu items, by their form names.
    QMenu *mnuFile, *mnuOp, *mnuXuan, *mnuSuof, *mnuSearch, *mnuMode, *mnuShu, *mnuHelp;
    QAction *mnuOpen, *mnuCf, *hen1, *mnuSf, *hen2, *mnuPr, *hen3, *mnuExit;
    QAction *mnuBack, *mnuLastpage, *mnuBp, *mnuNp, *mnuGopage, *hen5;
    QAction *mnuTo0, *mnuTo90, *mnuTo180, *mnuTo360;
    QAction *mnuDa, *mnuXiao, *hen6, *mnuShiji, *mnuChicun, *mnuKuandu;
    QAction *mnuFindt, *mnuFindnext, *hen9, *mnuJiansuo, *hen10, *mnuCopy, *mnuSt;
    QAction *mnuSp, *mnuMp, *hen7, *mnuTuoya, *mnuXuanze, *hen8, *mnuSm, *mnuHm;
    QAction *mnuAddbk, *mnuBkm, *henshu;
    QVector<QAction *> mnuBk;     // element 0 the "尚未添加书签" placeholder, 1..20 created at start-up
    QAction *mnuNethelp, *mnuFankui, *hen12, *mnuJup, *hen13, *mnuAbout;

    QWidget *Picbar;
    std::array<QPushButton *, 11> Cmdc{};
    QLabel *lblPage;
    QLineEdit *Txtp;
    ViewerControl *Pdfc;
    StartPagePane *Toweb;
    CommonDialog Cdf;
    frmCount *countWindow = nullptr;
    bool m_webServicesStarted = false;

    QString lastFindText;
    QString lastSearchText;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    QAction *addItem(QMenu *menu, QAction *&item, const char *name, const QString &caption,
                     const QKeySequence &shortcut, void (frmPdf::*handler)());
    QAction *addSeparator(QMenu *menu, QAction *&item, const char *name);
    // The bookmark items as Showbk sets them, for bookmarks already read.
    void showBookmarks(const QList<BookmarkStore::Bookmark> &bookmarks);
    // What a find or a search-all answered when it found nothing: "nothing"
    // for 0, "nothing in the part that could be searched" for SearchIncomplete,
    // no message for a hit or a cancelled wait.
    void reportMiss(int answer, const QString &nothing, const QString &partly,
                    const QString &title);

    ModalUi *m_ui;
    ReaderKeys *m_readerKeys = nullptr;
    QString m_webServiceBase;
    QString m_bookmarkDir;
    QString m_commandLine;
    bool m_opening = false; // openPdf is running: a drop then opens nothing
};
