// The main window's links to the web service: the usage ping and start page at
// start-up, the Help items that open pages in the user's browser, and About.

#include "ui/ModalUi.h"
#include "app/frmPdf.h"
#include "web/BrowserOpener.h"
#include "web/StartPagePane.h"
#include "web/frmAbout.h"
#include "web/frmCount.h"

#include <QUrl>

void frmPdf::startWebServices()
{
    if (m_webServicesStarted)
        return; // once a run, the ping and the start page
    m_webServicesStarted = true;
    countWindow = new frmCount(webServiceBase(), this);
    countWindow->setVisible(false);
    // The service should see a start's ping before its start page, so the pane
    // asks for the page only once the ping has gone out (or failed).
    const QString startAddress = webServiceBase() + QStringLiteral("/start/");
    connect(countWindow, &frmCount::pingSent, Toweb,
            [this, startAddress] { Toweb->Navigate(startAddress); });
}

void frmPdf::unloadCountWindow()
{
    delete countWindow;
    countWindow = nullptr;
}

void frmPdf::OpenWebPage(const QString &address)
{
    browser::open(QUrl(address));
}

void frmPdf::mnuNethelp_Click()
{
    const QString address = webServiceBase() + QStringLiteral("/help/");
    OpenWebPage(address);
}

void frmPdf::mnuFankui_Click()
{
    const QString address = webServiceBase() + QStringLiteral("/fk/");
    OpenWebPage(address);
}

void frmPdf::mnuJup_Click()
{
    const QString address = webServiceBase() + QStringLiteral("/newver/");
    OpenWebPage(address);
}

void frmPdf::mnuAbout_Click()
{
    frmAbout dialog(*this, noDocumentCaption(), versionText());
    ui().runModal(&dialog);
}
