#pragma once
// The main window: menus, toolbar, the viewer and the start-page pane, and the
// handlers behind them. Handlers live beside this file, one file a menu or concern
// (menu_file.cpp, openPdf.cpp, ...); what they call lives in its own folder
// (viewer/, bookmarks/, web/) and knows nothing of this window.

#include "ui/CommonDialog.h"

#include <QMainWindow>
#include <QString>
#include <QVector>
#include <array>
#include <functional>

class BookmarkMenu;
class DocumentControl;
class ModalUi;
class ReaderKeys;
class StartPagePane;
class ViewerControl;
class WebServices;
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

    // Opening (openPdf.cpp), the viewer's events (viewer_events.cpp), File menu (menu_file.cpp).
    void openPdf(const QString &path, const QString &userPassword, const QString &ownerPassword);
    void Pdfc_PageChanged(int page);
    void Pdfc_ContextMenuRequested(int x, int y);
    void mnuSf_Click();
    void mnuPr_Click();
    void mnuCf_Click();

    // Options, Zoom and Mode menus (menu_options.cpp, menu_zoom.cpp, menu_mode.cpp).
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

    // Search menu (menu_search.cpp).
    void mnuFindnext_Click();
    void mnuJiansuo_Click();
    void mnuCopy_Click();
    void mnuSt_Click();

    // Bookmarks menu (menu_bookmarks.cpp).
    void createBookmarkItems();   // start-up: items 1..20 created, item 0 disabled, Showbk
    void mnuAddbk_Click();
    void mnuBkm_Click();
    void mnuBk_Click(qint16 Index);
    void Showbk();

    // Help menu, the web service and About (menu_help.cpp).
    void startWebServices();      // start-up: load frmCount, send Toweb to the start page
    void unloadCountWindow();
    void OpenWebPage(const QString &address);
    void mnuNethelp_Click();
    void mnuFankui_Click();
    void mnuJup_Click();
    void mnuAbout_Click();

    // What the window shows around the pages (frmPdf_chrome.cpp).
    // Sets the caption of toolbar button Cmdc(index).
    void setToolbarCaption(int index, const QString &caption);
    // Puts the keyboard focus on the pages, where the reading keys act.
    void focusPages();

    // "Vellumo V3.1", the caption while no document is shown.
    static QString noDocumentCaption();
    static QString versionText(); // "V3.1"

    ModalUi &ui() const { return *m_ui; }
    // The file dialog's memory and the find prompt's; controls are reached by their
    // form names, which are their object names.
    const CommonDialog &fileDialog() const { return Cdf; }
    const QString &rememberedFindText() const { return lastFindText; }
    // Element 0 the "尚未添加书签" placeholder, 1..20 created at start-up.
    const QVector<QAction *> &mnuBk() const;

    // Ends the program at once; tests replace it.
    std::function<void()> quitProgram;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Controls and menu items, by their form names.
    QMenu *mnuFile, *mnuOp, *mnuXuan, *mnuSuof, *mnuSearch, *mnuMode, *mnuShu, *mnuHelp;
    QAction *mnuOpen, *mnuCf, *hen1, *mnuSf, *hen2, *mnuPr, *hen3, *mnuExit;
    QAction *mnuBack, *mnuLastpage, *mnuBp, *mnuNp, *mnuGopage, *hen5;
    QAction *mnuTo0, *mnuTo90, *mnuTo180, *mnuTo360;
    QAction *mnuDa, *mnuXiao, *hen6, *mnuShiji, *mnuChicun, *mnuKuandu;
    QAction *mnuFindt, *mnuFindnext, *hen9, *mnuJiansuo, *hen10, *mnuCopy, *mnuSt;
    QAction *mnuSp, *mnuMp, *hen7, *mnuTuoya, *mnuXuanze, *hen8, *mnuSm, *mnuHm;
    QAction *mnuAddbk, *mnuBkm, *henshu;
    QAction *mnuNethelp, *mnuFankui, *hen12, *mnuJup, *hen13, *mnuAbout;

    QWidget *Picbar;
    std::array<QPushButton *, 11> Cmdc{};
    QLabel *lblPage;
    QLineEdit *Txtp;
    ViewerControl *Pdfc;
    StartPagePane *Toweb;
    CommonDialog Cdf;

    QString lastFindText;
    QString lastSearchText;

    void buildMenus();
    void buildToolbar();
    QAction *addItem(QMenu *menu, QAction *&item, const char *name, const QString &caption,
                     const QKeySequence &shortcut, void (frmPdf::*handler)());
    QAction *addSeparator(QMenu *menu, QAction *&item, const char *name);
    // A document is open: the start page goes, check marks and caption follow.
    void documentOpened(const QString &documentPath);
    // What a find or a search-all answered when it found nothing: "nothing"
    // for 0, "nothing in the part that could be searched" for SearchIncomplete,
    // no message for a hit or a cancelled wait.
    void reportMiss(int answer, const QString &nothing, const QString &partly,
                    const QString &title);

    ModalUi *m_ui;
    ReaderKeys *m_readerKeys = nullptr;
    DocumentControl *m_document = nullptr;
    BookmarkMenu *m_bookmarkMenu = nullptr;
    WebServices *m_web = nullptr;
    QString m_bookmarkDir;
    QString m_commandLine;
};
