#include "app/frmPdf.h"

#include "ui/AppIcon.h"
#include "app/MenuShortcutsFirst.h"
#include "app/PaneLayout.h"
#include "app/ReaderKeys.h"
#include "ui/Twips.h"
#include "ui/ModalUi.h"
#include "viewer/DocumentControl.h"
#include "viewer/ViewerControl.h"
#include "web/BrowserOpener.h"
#include "web/StartPagePane.h"
#include "web/WebServices.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {
constexpr std::chrono::seconds webServicesLatest(2);
} // namespace

frmPdf::frmPdf(const Setup &setup, QWidget *parent)
    : QMainWindow(parent),
      quitProgram([] { QCoreApplication::exit(0); }),
      m_ui(setup.ui),
      m_bookmarkDir(setup.bookmarkDir),
      m_commandLine(setup.commandLine)
{
    setObjectName(QStringLiteral("frmPdf"));
    setAcceptDrops(true);
    setWindowTitle(QStringLiteral("PDF"));
    setWindowIcon(appIcon());

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    buildMenus();
    buildToolbar();
    new MenuShortcutsFirst(this);

    Pdfc = setup.viewer;
    Pdfc->setParent(client);
    Pdfc->setObjectName(QStringLiteral("Pdfc"));
    Pdfc->setGeometry(twips::rect(600, 1200, 8175, 6855));
    connect(Pdfc, &ViewerControl::PageChanged, this, &frmPdf::Pdfc_PageChanged);
    connect(Pdfc, &ViewerControl::ContextMenuRequested, this, &frmPdf::Pdfc_ContextMenuRequested);
    connect(Pdfc, &ViewerControl::linkActivated, this, &browser::open);
    m_document = new DocumentControl(*Pdfc, *m_ui, this);
    connect(m_document, &DocumentControl::opened, this, &frmPdf::documentOpened);
    connect(m_document, &DocumentControl::passwordCancelled, this,
            [this] { setWindowTitle(noDocumentCaption()); });
    m_web = new WebServices(setup.webServiceBase, *m_ui, this);

    Toweb = new StartPagePane(noDocumentCaption(), client);
    Toweb->setObjectName(QStringLiteral("Toweb"));
    Toweb->setGeometry(twips::rect(360, 720, 10815, 7335));

    m_readerKeys = new ReaderKeys({*this, *Picbar, *Pdfc, [this](qint16 command) { Cmdc_Click(command); },
                                   [this] { Form_Resize(); }});

    setTabOrder(Pdfc, Picbar);
    QWidget *previous = Picbar;
    for (int i = 0; i <= 9; ++i) {
        setTabOrder(previous, Cmdc[i]);
        previous = Cmdc[i];
    }
    setTabOrder(previous, Txtp);
    setTabOrder(Txtp, Cmdc[10]);
    setTabOrder(Cmdc[10], Toweb);

    // A client height that shows a page and the toolbar; a width of 12750 twips would
    // cut off the page box at the toolbar's right end, so the window starts as wide
    // as the toolbar.
    const QSize clientSize(twips::toPixels(15135), twips::toPixels(8535));
    resize(clientSize.width(), clientSize.height() + menuBar()->sizeHint().height());
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

frmPdf::~frmPdf() = default;

void frmPdf::Form_Load()
{
    setWindowTitle(noDocumentCaption());

    Cmdc[0]->move(0, Cmdc[0]->y());
    const double width0 = twips::fromPixels(Cmdc[0]->width());
    for (int i = 1; i <= 9; ++i) {
        const float left = float(width0) * float(i);
        Cmdc[i]->move(twips::toPixels(left), Cmdc[0]->y());
    }

    Form_Resize();

    if (!m_commandLine.isEmpty())
        openPdf(m_commandLine, QString(), QString());

    createBookmarkItems();
    if (!Pdfc->DocumentPath().isEmpty()) {
        // A document covers the start page: the ping and the page (network and
        // TLS set-up) wait until the document's first page is on screen, or a
        // while when it never gets there (a minimised window).
        connect(Pdfc, &ViewerControl::firstPageShown, this, &frmPdf::startWebServices,
                Qt::SingleShotConnection);
        QTimer::singleShot(webServicesLatest, this, &frmPdf::startWebServices);
    } else {
        startWebServices();
    }
    focusPages();
}

void frmPdf::Form_Resize()
{
    if (m_readerKeys && m_readerKeys->fullScreen()) { // the pages alone, edge to edge
        Pdfc->setGeometry(centralWidget()->rect());
        Toweb->setGeometry(Pdfc->geometry());
        return;
    }
    const QRect outer = frameGeometry();
    const std::optional<PaneRect> r =
        computePaneLayout(isMinimized(), float(twips::fromPixels(outer.width())),
                          float(twips::fromPixels(outer.height())),
                          float(twips::fromPixels(Picbar->height())));
    if (!r)
        return;
    Pdfc->setGeometry(twips::rect(r->left, r->top, r->width, r->height));
    Toweb->setGeometry(Pdfc->geometry());
}

void frmPdf::Form_Unload()
{
    unloadCountWindow();
}

void frmPdf::mnuExit_Click()
{
    quitProgram();
}

void frmPdf::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QMainWindow::closeEvent(event);
}

void frmPdf::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmPdf::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}
